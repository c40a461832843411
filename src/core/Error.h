#pragma once

#include <stdexcept>
#include <string>

namespace quillory {

// The one exception type of the project. Its what() is the text shown to the user.
class Error : public std::runtime_error {
public:
    explicit Error(const std::string& message) : std::runtime_error(message) {}
};

} // namespace quillory
