#include "channels/SerialReceiveBuffer.h"

#include "channels/Hl7Text.h"

#include <algorithm>

namespace quillory {

namespace {

std::size_t scanStartAfter(const std::string& buffer) {
    return std::max<std::size_t>(
        1, buffer.size() >= kFrameEnd.size() ? buffer.size() - kFrameEnd.size() + 1 : 0);
}

} // namespace

std::vector<SerialReceiveBuffer::Event> SerialReceiveBuffer::append(std::string_view bytes) {
    std::vector<Event> events;
    const std::size_t old = buffer_.size();
    buffer_.append(bytes);
    if (!inFrame_) {
        const std::size_t start = buffer_.find(kFrameStart, old);
        if (start != std::string::npos) {
            buffer_.erase(0, start);
            inFrame_ = true;
            scanFrom_ = 1;
        }
    }
    takeFrames(events);
    bound(events);
    return events;
}

void SerialReceiveBuffer::takeFrames(std::vector<Event>& events) {
    if (!inFrame_)
        return;
    // Frames are cut out by position and the buffer shortened once, so a large read holding
    // many frames costs no more than its length.
    std::size_t start = 0;
    std::size_t scan = scanFrom_;
    for (;;) {
        const std::size_t end = buffer_.find(kFrameEnd, scan);
        if (end == std::string::npos)
            break;
        const std::size_t frameEnd = end + kFrameEnd.size();
        events.push_back({Event::Kind::Frame, buffer_.substr(start, frameEnd - start)});
        start = buffer_.find(kFrameStart, frameEnd);
        if (start == std::string::npos) {
            buffer_.clear();
            inFrame_ = false;
            return;
        }
        scan = start + 1;
    }
    buffer_.erase(0, start);
    scanFrom_ = scanStartAfter(buffer_);
}

void SerialReceiveBuffer::bound(std::vector<Event>& events) {
    if (buffer_.size() <= limit_)
        return;
    const std::size_t last = buffer_.rfind(kFrameStart);
    Event dropped{Event::Kind::Overflow, {}};
    if (last == std::string::npos || buffer_.size() - last > limit_) {
        dropped.text = std::move(buffer_);
        buffer_.clear();
        inFrame_ = false;
    } else {
        dropped.text = buffer_.substr(0, last);
        buffer_.erase(0, last);
        inFrame_ = true;
        scanFrom_ = scanStartAfter(buffer_);
    }
    events.push_back(std::move(dropped));
}

} // namespace quillory
