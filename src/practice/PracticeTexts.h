#pragma once

#include <string>
#include <string_view>

namespace quillory::texts {

inline constexpr const char* invalidDataPath =
    "The Practice is either missing files, or the data path for this practice is not valid on "
    "the Practice Management System!";

// Ends the chart selection when Exit or a signal stopped it; the cycle never stores a new last
// pull date after it.
inline constexpr const char* selectionStopped = "The chart selection was stopped.";

inline std::string chartNotFound(std::string_view requested) {
    std::string text = "Chart Number \"";
    text.append(requested);
    text.append("\" Not Found!");
    return text;
}

} // namespace quillory::texts
