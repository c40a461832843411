#include "channels/QueryExchange.h"

#include "channels/Hl7Text.h"

namespace quillory {

std::string logRequestText(std::string_view text) {
    std::string request;
    request.reserve(text.size() + 8);
    request.append(text);
    request.append(8, ' ');
    return request;
}

FrameAnswer answerFrame(std::string_view received) {
    FrameAnswer answer;
    std::string request = StripFrame(received);
    StringList header;
    if (!SplitHeaderFields(request, header) || header.size() < 9 || header[8] != kQueryType)
        return answer;
    answer.isQuery = true;
    answer.logResult = ReplyResultText(request);
    answer.reply = std::move(request);
    return answer;
}

} // namespace quillory
