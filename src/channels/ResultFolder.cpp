#include "channels/ResultFolder.h"

#include "channels/ResultFileName.h"
#include "core/Error.h"

#include <QFile>
#include <QSaveFile>

namespace quillory {

namespace {

std::unique_ptr<QSaveFile> openSaveFile(const std::string& path) {
    auto file = std::make_unique<QSaveFile>(QFile::decodeName(path.c_str()));
    if (!file->open(QIODevice::WriteOnly))
        throw Error("Cannot create " + path + ": " + file->errorString().toStdString());
    return file;
}

void write(QSaveFile& file, std::string_view content, const std::string& path) {
    if (file.write(content.data(), qint64(content.size())) != qint64(content.size()))
        throw Error("Cannot write " + path + ": " + file.errorString().toStdString());
}

void commit(QSaveFile& file, const std::string& path) {
    if (!file.commit())
        throw Error("Cannot complete " + path + ": " + file.errorString().toStdString());
}

} // namespace

ResultFolder::ResultFolder(std::string folder) : folder_(std::move(folder)) {
    if (!folder_.empty() && folder_.back() != '/')
        folder_.push_back('/');
}

ResultFolder::~ResultFolder() {
    try {
        finishFirstRunFile();
    } catch (const Error&) {
        // Nothing left to tell: the cycle that used this folder has ended.
    }
}

std::string ResultFolder::path(const std::string& name) const {
    return folder_ + name;
}

void ResultFolder::writeFile(const std::string& name, std::string_view content) {
    const std::string target = path(name);
    auto file = openSaveFile(target);
    write(*file, content, target);
    commit(*file, target);
}

void ResultFolder::appendToFirstRunFile(std::string_view message) {
    const std::string target = path(firstRunFileName);
    if (!firstRun_) {
        firstRun_ = openSaveFile(target);
        firstRunMessages_ = 0;
    }
    try {
        write(*firstRun_, message, target);
    } catch (const Error&) {
        giveUpFirstRunFile();
        throw;
    }
    ++firstRunMessages_;
}

void ResultFolder::giveUpFirstRunFile() {
    firstRun_->cancelWriting();
    firstRun_.reset();
    lost_ = lost_ || firstRunMessages_ > 0;
}

void ResultFolder::finishFirstRunFile() {
    if (!firstRun_)
        return;
    if (!firstRun_->commit()) {
        const std::string reason = firstRun_->errorString().toStdString();
        giveUpFirstRunFile();
        throw Error("Cannot complete " + path(firstRunFileName) + ": " + reason);
    }
    firstRun_.reset();
}

} // namespace quillory
