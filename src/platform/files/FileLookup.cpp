#include "platform/files/FileLookup.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

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
    // Paths are bytes; decodeName/encodeName keep names that are not UTF-8 intact.
    const QString dirPath = QFile::decodeName(folder.empty() ? "." : folder.c_str());
    const QString fileName = QFile::decodeName(QByteArray(name.data(), qsizetype(name.size())));
    const QFileInfo exact(QDir(dirPath), fileName);
    if (exact.isFile())
        return QFile::encodeName(exact.filePath()).toStdString();
    const QStringList entries = QDir(dirPath).entryList(QDir::Files | QDir::Hidden);
    for (const QString& entry : entries) {
        if (entry.compare(fileName, Qt::CaseInsensitive) == 0)
            return QFile::encodeName(QDir(dirPath).filePath(entry)).toStdString();
    }
    return std::nullopt;
}

} // namespace quillory::platform
