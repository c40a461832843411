#pragma once

#include "core/Dialogs.h"

#include <deque>
#include <string>
#include <vector>

namespace quillory::test {

// Records every box shown and answers questions from a script (Yes when the script is empty).
class ScriptedDialogs : public Dialogs {
public:
    struct Shown {
        std::string caption, text;
    };

    void showMessage(const std::string& caption, const std::string& text) override {
        shown.push_back({caption, text});
    }
    bool askYesNo(const std::string& caption, const std::string& text) override {
        shown.push_back({caption, text});
        if (answers.empty())
            return true;
        const bool yes = answers.front();
        answers.pop_front();
        return yes;
    }
    bool askText(const std::string& caption, const std::string& prompt,
                 std::string& text) override {
        shown.push_back({caption, prompt});
        if (texts.empty())
            return false;
        text = texts.front();
        texts.pop_front();
        return true;
    }

    std::vector<Shown> shown;
    std::deque<bool> answers;
    std::deque<std::string> texts;
};

} // namespace quillory::test
