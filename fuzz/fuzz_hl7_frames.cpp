// Feeds arbitrary bytes, cut into arbitrary pieces, to what the query channels do with received
// text: the HL7 text helpers, the TCP request text, the serial receive buffer and the answer
// decision. Any input is allowed; a crash, a sanitizer report or a broken invariant is a fault.
//
// Input: two bytes that choose how the rest is cut into pieces and how small the bound on
// received text is (the real 1 MiB would take far too long per run), then the received bytes.
#include "channels/Hl7Text.h"
#include "channels/QueryExchange.h"
#include "channels/SerialReceiveBuffer.h"
#include "channels/TcpRequestText.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

using namespace quillory;

namespace {

void check(bool condition) {
    if (!condition)
        std::abort();
}

std::vector<std::string_view> cut(std::string_view bytes, std::uint16_t seed) {
    std::vector<std::string_view> pieces;
    std::uint32_t state = seed | 1u;
    while (!bytes.empty()) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        // Mostly small pieces, now and then a large one.
        const std::size_t size = (state & 0xF) == 0 ? 1 + state % 4096 : 1 + (state >> 4) % 64;
        pieces.push_back(bytes.substr(0, size));
        bytes.remove_prefix(std::min(size, bytes.size()));
    }
    return pieces;
}

void checkAnswer(std::string_view received) {
    const FrameAnswer answer = answerFrame(received);
    if (!answer.isQuery) {
        check(answer.reply.empty() && answer.logResult.empty());
        return;
    }
    check(answer.reply == StripFrame(received));
    StringList header;
    check(SplitHeaderFields(answer.reply, header) && header.size() > 8 && header[8] == kQueryType);
    check(answer.logResult == ReplyResultText(answer.reply));
}

void textHelpers(std::string_view text, char delimiter) {
    StringList pieces{"kept"};
    SplitByDelimiter(text, delimiter, pieces);
    check(pieces.front() == "kept");
    std::string joined;
    for (std::size_t i = 1; i < pieces.size(); ++i)
        joined += (i > 1 ? std::string(1, delimiter) : "") + pieces[i];
    check(joined == text || joined + delimiter == text);

    const std::string stripped = StripFrame(text);
    check(stripped.size() <= text.size());
    check(stripped.find(kFrameEnd) == std::string::npos);
    if (!stripped.empty())
        check(text.find(stripped) != std::string_view::npos);
    if (HasCompleteFrame(text))
        checkAnswer(text);
    const std::string result = ReplyResultText(text);
    check(result == "Data Sent OK" || text.find(result) != std::string_view::npos);
}

void tcp(const std::vector<std::string_view>& pieces, std::string_view whole, std::size_t limit) {
    TcpRequestText request(limit);
    for (std::string_view piece : pieces) {
        if (request.append(piece) != TcpRequestText::State::Collecting)
            break;
    }
    const std::string& text = request.text();
    check(whole.substr(0, text.size()) == text); // every byte kept, in order
    const bool marker = text.find(kFrameEnd) != std::string::npos;
    switch (request.state()) {
    case TcpRequestText::State::Collecting:
        check(!marker && text.size() == whole.size() && text.size() <= limit);
        break;
    case TcpRequestText::State::EndMarkerSeen:
        check(marker);
        if (HasCompleteFrame(text))
            checkAnswer(text);
        break;
    case TcpRequestText::State::TooLarge:
        check(!marker && text.size() > limit);
        break;
    }
}

void serial(const std::vector<std::string_view>& pieces, std::size_t limit) {
    SerialReceiveBuffer buffer(limit);
    std::size_t largest = 0;
    for (std::string_view piece : pieces) {
        largest = std::max(largest, piece.size());
        for (const SerialReceiveBuffer::Event& event : buffer.append(piece)) {
            if (event.kind == SerialReceiveBuffer::Event::Kind::Overflow) {
                check(!event.text.empty());
                continue;
            }
            const std::string& frame = event.text;
            check(frame.size() >= 1 + kFrameEnd.size() && frame.front() == kFrameStart);
            check(frame.find(kFrameEnd) == frame.size() - kFrameEnd.size());
            checkAnswer(frame);
        }
        check(buffer.pending().size() <= limit + largest);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2)
        return 0;
    const std::uint16_t seed = std::uint16_t(data[0] | data[1] << 8);
    const std::string_view bytes(reinterpret_cast<const char*>(data) + 2, size - 2);
    const std::size_t limit = 8 + (seed >> 6) % 2048;
    const std::vector<std::string_view> pieces = cut(bytes, seed);
    textHelpers(bytes, char(data[0]));
    tcp(pieces, bytes, limit);
    serial(pieces, limit);
    return 0;
}
