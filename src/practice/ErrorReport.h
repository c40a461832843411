#pragma once

#include <string>

namespace quillory {

// Where a failure that no caller receives is shown: the tray program's error box, the command
// line tool's stderr, a test's list.
class ErrorReport {
public:
    virtual ~ErrorReport() = default;
    virtual void showError(const std::string& message) = 0;
};

} // namespace quillory
