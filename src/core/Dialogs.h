#pragma once

#include <string>

namespace quillory {

// Every message box, question and input box of the program goes through this, so that tests can
// script the answers and the command-line tool can print instead of asking.
class Dialogs {
public:
    virtual ~Dialogs() = default;
    // A message with an OK button.
    virtual void showMessage(const std::string& caption, const std::string& text) = 0;
    // A question with Yes and No buttons; true for Yes.
    virtual bool askYesNo(const std::string& caption, const std::string& text) = 0;
    // A single-line input box; false for Cancel.
    virtual bool askText(const std::string& caption, const std::string& prompt,
                         std::string& text) = 0;
};

} // namespace quillory
