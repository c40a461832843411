#include "channels/TcpRequestText.h"

#include "channels/Hl7Text.h"

namespace quillory {

TcpRequestText::State TcpRequestText::append(std::string_view piece) {
    if (state_ != State::Collecting || piece.empty())
        return state_;
    // The marker may straddle the previous piece; look back only that far, not at the whole text.
    const std::size_t from =
        text_.size() < kFrameEnd.size() ? 0 : text_.size() - kFrameEnd.size() + 1;
    text_.append(piece);
    if (text_.find(kFrameEnd, from) != std::string::npos)
        state_ = State::EndMarkerSeen;
    else if (text_.size() > limit_)
        state_ = State::TooLarge;
    return state_;
}

} // namespace quillory
