#pragma once

#include "practice/ErrorReport.h"

#include <string>
#include <vector>

namespace quillory::test {

class CollectingErrorReport : public ErrorReport {
public:
    void showError(const std::string& message) override { messages.push_back(message); }
    std::vector<std::string> messages;
};

} // namespace quillory::test
