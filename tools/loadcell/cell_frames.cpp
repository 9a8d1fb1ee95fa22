#include "cell_frames.h"

namespace loadcell {
namespace {

constexpr uint8_t kStart = 0x02;
constexpr uint8_t kEnd = 0x0D;
constexpr uint8_t kAddressForm = 0xFF;
constexpr int kAddressOffset = 0x40;

uint8_t At(const std::string& s, size_t i) {
    return static_cast<uint8_t>(s[i]);
}

uint8_t Sum(const std::string& s, size_t from, size_t to) {
    unsigned sum = 0;
    for (size_t i = from; i < to; ++i)
        sum += At(s, i);
    return static_cast<uint8_t>(sum);
}

// The frame's body runs from `at` for `body` bytes, then its sum and end byte follow.
// Returns the whole frame's length, or 0 when the frame is not whole there.
size_t Sealed(const std::string& s, size_t at, size_t body) {
    const size_t sumAt = at + body;
    const uint8_t sum = Sum(s, at + 1, sumAt);
    if (sumAt == s.size()) return sum == 0 ? body : 0; // cut by the zero byte of its sum
    if (sumAt + 2 > s.size() || At(s, sumAt) != sum || At(s, sumAt + 1) != kEnd) return 0;
    return body + 2;
}

size_t ReadingAt(const std::string& s, size_t at, ReplyFrame& frame) {
    constexpr size_t kBody = 8; // start, address, status, five digits
    if (at + kBody > s.size() || At(s, at) != kStart) return 0;
    int32_t code = 0;
    for (size_t k = 0; k < 5; ++k) {
        const uint8_t digit = At(s, at + 3 + k);
        if (digit < 0x30 || digit > 0x3F) return 0;
        code |= static_cast<int32_t>(digit - 0x30) << (4 * k);
    }
    const size_t length = Sealed(s, at, kBody);
    if (length) frame = {ReplyFrame::Kind::Reading, At(s, at + 1) - kAddressOffset, code};
    return length;
}

size_t WriteAnswerAt(const std::string& s, size_t at, ReplyFrame& frame) {
    constexpr size_t kBody = 3;
    if (at + kBody > s.size()) return 0;
    if (At(s, at) == kStart && At(s, at + 1) == 'O' && At(s, at + 2) == 'K') {
        const size_t length = Sealed(s, at, kBody);
        if (length) frame = {ReplyFrame::Kind::Accepted, 0, 0};
        return length;
    }
    if (At(s, at) == kAddressForm && At(s, at + 1) == 'N') {
        const size_t length = Sealed(s, at, kBody);
        if (length) frame = {ReplyFrame::Kind::AddressForm, At(s, at + 2) - kAddressOffset, 0};
        return length;
    }
    return 0;
}

} // namespace

std::string RequestFrame(Request request, int argument) {
    const char* letters = request == Request::Read ? "RDS" : "SNM";
    std::string frame(7, '\0');
    frame[0] = static_cast<char>(kStart);
    for (size_t i = 0; i < 3; ++i)
        frame[1 + i] = letters[i];
    frame[4] = static_cast<char>((argument & 0xFF) + kAddressOffset);
    frame[5] = static_cast<char>(Sum(frame, 1, 5));
    frame[6] = static_cast<char>(kEnd);
    return frame;
}

Heard Hear(const std::string& request, const std::string& bytes) {
    Heard heard;
    heard.bytes = bytes.size();
    size_t at = 0;
    // A two-wire adapter hands back what it sent before any cell answers.
    if (!request.empty() && bytes.compare(0, request.size(), request) == 0) {
        heard.echo = true;
        at = request.size();
    }
    while (at < bytes.size()) {
        ReplyFrame frame;
        size_t length = ReadingAt(bytes, at, frame);
        if (!length) length = WriteAnswerAt(bytes, at, frame);
        if (!length) {
            heard.rest = bytes.substr(at);
            break;
        }
        heard.frames.push_back(frame);
        at += length;
    }
    return heard;
}

} // namespace loadcell
