#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// What the query channels decide from a received frame, apart from any socket or port.
namespace quillory {

inline constexpr std::string_view kQueryType = "QRY^Q01";
inline constexpr std::string_view kInvalidRequest = "Invalid HL7 Request!";
// Received text beyond this without a complete frame is dropped: no real query comes near it.
inline constexpr std::size_t kMaxRequestBytes = 1024 * 1024;

// The REQUEST field of a log record: the text followed by exactly eight spaces.
std::string logRequestText(std::string_view text);

struct FrameAnswer {
    bool isQuery = false;  // MSH-9 is exactly "QRY^Q01"
    std::string reply;     // the request without its frame; sent without frame bytes
    std::string logResult; // what the log records as the outcome
};

// Decides the answer to received text that holds a complete frame. A frame whose header lacks
// a second segment or a ninth field is no query: it gets no reply and no record.
FrameAnswer answerFrame(std::string_view received);

} // namespace quillory
