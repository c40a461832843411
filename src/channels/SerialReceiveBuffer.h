#pragma once

#include "channels/QueryExchange.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace quillory {

// The characters gathered from the serial line between frames. Every complete frame is handed
// out in arrival order, including one that began in the same read as the end of another, and
// bytes in front of a start byte are dropped once the start byte arrives: a stale end marker
// in them would otherwise turn the next frame into an empty one.
class SerialReceiveBuffer {
public:
    struct Event {
        enum class Kind { Frame, Overflow };
        Kind kind;
        // Frame: from the start byte to the end marker, both included.
        // Overflow: what was dropped when the buffer passed the limit.
        std::string text;
    };

    explicit SerialReceiveBuffer(std::size_t limit = kMaxRequestBytes) : limit_(limit) {}

    std::vector<Event> append(std::string_view bytes);

    const std::string& pending() const { return buffer_; }

private:
    void takeFrames(std::vector<Event>& events);
    void bound(std::vector<Event>& events);

    std::size_t limit_;
    std::string buffer_;
    bool inFrame_ = false;     // buffer_ starts with a start byte
    std::size_t scanFrom_ = 1; // no end marker starts in buffer_ before this
};

} // namespace quillory
