#pragma once

#include <memory>
#include <string>
#include <string_view>

class QSaveFile;

namespace quillory {

// The folder the laboratory's software watches. Every file is written under a temporary name
// that does not end in ".HL7" and renamed when complete, so the watcher never reads half a file.
// Failures throw quillory::Error.
class ResultFolder {
public:
    explicit ResultFolder(std::string folder);
    ~ResultFolder(); // a first-run file still open is completed, keeping what it holds
    ResultFolder(const ResultFolder&) = delete;
    ResultFolder& operator=(const ResultFolder&) = delete;

    // Writes one whole file, replacing any file of that name.
    void writeFile(const std::string& name, std::string_view content);
    // Appends a message to the first-run file, creating it at the first call; a call after a
    // failed creation tries again.
    void appendToFirstRunFile(std::string_view message);
    // Completes the first-run file, if one was started.
    void finishFirstRunFile();

private:
    std::string path(const std::string& name) const;

    std::string folder_;
    std::unique_ptr<QSaveFile> firstRun_;
};

} // namespace quillory
