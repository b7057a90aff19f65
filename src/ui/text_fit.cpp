#include "ui/text_fit.h"

namespace velmora {

namespace {

bool IsContinuation(char ch) { return (static_cast<unsigned char>(ch) & 0xC0) == 0x80; }

// The byte offset of character `index` of `text` (its size when there are fewer).
std::size_t OffsetOf(std::string_view text, std::size_t index) {
    std::size_t at = 0;
    for (; at < text.size(); ++at) {
        if (!IsContinuation(text[at]) && index-- == 0) break;
    }
    return at;
}

constexpr std::string_view kEllipsis = "\xE2\x80\xA6";

}  // namespace

std::size_t CharCount(std::string_view text) {
    std::size_t count = 0;
    for (char ch : text) count += IsContinuation(ch) ? 0 : 1;
    return count;
}

std::string ShortenMiddle(std::string_view text, std::size_t keep) {
    const std::size_t count = CharCount(text);
    if (count <= keep) return std::string(text);
    keep = keep < 3 ? 3 : keep;
    // The end holds the name itself: it gets the larger half.
    const std::size_t head = (keep - 1) / 2;
    const std::size_t tail = keep - 1 - head;
    std::string out(text.substr(0, OffsetOf(text, head)));
    out += kEllipsis;
    out += text.substr(OffsetOf(text, count - tail));
    return out;
}

std::string ShortenLongLines(std::string_view text, std::size_t keep) {
    std::string out;
    for (std::size_t from = 0;;) {
        const std::size_t end = text.find('\n', from);
        out += ShortenMiddle(text.substr(from, end == std::string_view::npos ? end : end - from),
                             keep);
        if (end == std::string_view::npos) return out;
        out += '\n';
        from = end + 1;
    }
}

}  // namespace velmora
