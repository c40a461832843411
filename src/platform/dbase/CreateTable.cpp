#include "platform/dbase/CreateTable.h"

#include "core/Error.h"
#include "platform/dbase/DbfLayout.h"
#include "platform/dbase/MemoFile.h"
#include "platform/dbase/PosixFile.h"

#include <unistd.h>

namespace quillory::dbase {

namespace {

std::string tableName(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    return name.substr(0, name.rfind('.'));
}

// Writes bytes to a new file beside path and returns it, flushed to disk.
PosixFile writeTemporary(const std::string& path, const std::string& bytes) {
    const std::string temporary = path + ".new";
    ::unlink(temporary.c_str());
    try {
        PosixFile file(temporary, PosixFile::Mode::CreateNew);
        file.write(0, bytes);
        file.sync();
        return file;
    } catch (...) {
        ::unlink(temporary.c_str());
        throw;
    }
}

} // namespace

void createTable(const std::string& path, Format format, const std::vector<Field>& fields) {
    const DbfLayout layout = makeLayout(format, fields);
    if (fileExists(path))
        throw Error(path + " already exists");
    // The memo file comes first: a table without its memo file cannot be opened. An empty memo
    // file may replace one that no table uses.
    if (layout.hasMemo()) {
        PosixFile memo = writeTemporary(MemoFile::pathFor(path, format),
                                        MemoFile::emptyFile(format, tableName(path)));
        memo.renameTo(MemoFile::pathFor(path, format));
    }
    const PosixFile table =
        writeTemporary(path, buildHeader(layout, 0) + std::string(1, kEndOfFile));
    linkAsNew(table.path(), path);
}

} // namespace quillory::dbase
