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
    // Appends a message to the first-run file, creating it at the first call. After a failure
    // the file is given up; the next call starts a new one.
    void appendToFirstRunFile(std::string_view message);
    // Completes the first-run file, if one was started.
    void finishFirstRunFile();
    // True when messages appended earlier were lost with a first-run file that could not be
    // written or completed.
    bool firstRunMessagesLost() const { return lost_; }

private:
    std::string path(const std::string& name) const;
    void giveUpFirstRunFile();

    std::string folder_;
    std::unique_ptr<QSaveFile> firstRun_;
    std::size_t firstRunMessages_ = 0;
    bool lost_ = false;
};

} // namespace quillory
