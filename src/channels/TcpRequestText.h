#pragma once

#include "channels/QueryExchange.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace quillory {

// The text received on one TCP connection, joined from its pieces byte for byte (zero bytes
// included), until the end marker arrives or the text grows past the limit.
class TcpRequestText {
public:
    enum class State { Collecting, EndMarkerSeen, TooLarge };

    explicit TcpRequestText(std::size_t limit = kMaxRequestBytes) : limit_(limit) {}

    // Appends a piece and returns the new state; pieces after the collecting state are ignored.
    State append(std::string_view piece);

    State state() const { return state_; }
    const std::string& text() const { return text_; }

private:
    std::size_t limit_;
    std::string text_;
    State state_ = State::Collecting;
};

} // namespace quillory
