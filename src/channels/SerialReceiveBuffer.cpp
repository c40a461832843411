#include "channels/SerialReceiveBuffer.h"

#include "channels/Hl7Text.h"
#include "channels/QueryExchange.h"

#include <algorithm>

namespace quillory {

namespace {

std::size_t scanStartAfter(const std::string& buffer) {
    return std::max<std::size_t>(1, buffer.size() >= kFrameEnd.size()
                                        ? buffer.size() - kFrameEnd.size() + 1
                                        : 0);
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
    while (inFrame_) {
        const std::size_t end = buffer_.find(kFrameEnd, scanFrom_);
        if (end == std::string::npos) {
            scanFrom_ = scanStartAfter(buffer_);
            return;
        }
        const std::size_t frameSize = end + kFrameEnd.size();
        events.push_back({Event::Kind::Frame, buffer_.substr(0, frameSize)});
        const std::size_t next = buffer_.find(kFrameStart, frameSize);
        if (next == std::string::npos) {
            buffer_.clear();
            inFrame_ = false;
        } else {
            buffer_.erase(0, next);
            scanFrom_ = 1;
        }
    }
}

void SerialReceiveBuffer::bound(std::vector<Event>& events) {
    if (buffer_.size() <= kMaxRequestBytes)
        return;
    const std::size_t last = buffer_.rfind(kFrameStart);
    Event dropped{Event::Kind::Overflow, {}};
    if (last == std::string::npos || buffer_.size() - last > kMaxRequestBytes) {
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
