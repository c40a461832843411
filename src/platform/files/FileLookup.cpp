#include "platform/files/FileLookup.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <sys/stat.h>

namespace quillory::platform {

std::string withTrailingSeparator(std::string folder) {
    if (!folder.empty() && folder.back() != '/')
        folder.push_back('/');
    return folder;
}

std::string fileBeside(const std::string& path, const std::string& name) {
    const QFileInfo info(QFile::decodeName(path.c_str()));
    return QFile::encodeName(info.dir().filePath(QFile::decodeName(name.c_str()))).toStdString();
}

std::optional<std::string> findFileIgnoringCase(const std::string& folder, std::string_view name) {
    // One stat() for the usual exact match: this runs before every message that is built.
    const std::string exact = withTrailingSeparator(folder) + std::string(name);
    struct stat info {};
    if (::stat(exact.c_str(), &info) == 0 && S_ISREG(info.st_mode))
        return exact;
    // Paths are bytes; decodeName/encodeName keep names that are not UTF-8 intact.
    const QString dirPath = QFile::decodeName(folder.empty() ? "." : folder.c_str());
    const QString fileName = QFile::decodeName(QByteArray(name.data(), qsizetype(name.size())));
    const QStringList entries = QDir(dirPath).entryList(QDir::Files | QDir::Hidden);
    for (const QString& entry : entries) {
        if (entry.compare(fileName, Qt::CaseInsensitive) == 0)
            return QFile::encodeName(QDir(dirPath).filePath(entry)).toStdString();
    }
    return std::nullopt;
}

} // namespace quillory::platform
