#include "platform/utf.h"

#include <cstdint>
#include <cstring>

namespace velmora {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Reads one code point at `pos` and advances past it. An ill-formed sequence yields U+FFFD
// and consumes its maximal valid prefix (at least one byte), so one bad byte never swallows
// the well-formed text after it.
char32_t NextUtf8(std::string_view text, std::size_t& pos) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(pos++);
    if (lead < 0x80) return lead;

    std::size_t count = 0;
    char32_t cp = 0;
    unsigned char lo = 0x80, hi = 0xBF;  // allowed range of the first continuation byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        count = 1;
        cp = lead & 0x1Fu;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        count = 2;
        cp = lead & 0x0Fu;
        if (lead == 0xE0) lo = 0xA0;  // overlong
        if (lead == 0xED) hi = 0x9F;  // surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        count = 3;
        cp = lead & 0x07u;
        if (lead == 0xF0) lo = 0x90;  // overlong
        if (lead == 0xF4) hi = 0x8F;  // beyond U+10FFFF
    } else {
        return kReplacement;
    }
    for (std::size_t i = 0; i < count; ++i) {
        if (pos >= text.size()) return kReplacement;
        const unsigned char c = byte(pos);
        if (c < lo || c > hi) return kReplacement;
        lo = 0x80;
        hi = 0xBF;
        cp = (cp << 6) | (c & 0x3Fu);
        ++pos;
    }
    return cp;
}

// The one UTF-8 encoder: writes the bytes of the scalar value `cp` at `out`, returns their end.
char* EncodeUtf8(char32_t cp, char* out) {
    if (cp < 0x80) {
        *out++ = static_cast<char>(cp);
    } else if (cp < 0x800) {
        *out++ = static_cast<char>(0xC0 | (cp >> 6));
        *out++ = static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        *out++ = static_cast<char>(0xE0 | (cp >> 12));
        *out++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        *out++ = static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        *out++ = static_cast<char>(0xF0 | (cp >> 18));
        *out++ = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        *out++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        *out++ = static_cast<char>(0x80 | (cp & 0x3F));
    }
    return out;
}

// Shared by the two UTF-16 sources: `unit(i)` gives the i-th 16-bit unit of `count`. Two
// passes, the first for the exact length, so each result is allocated once.
template <typename UnitAt>
std::string Utf16UnitsToUtf8(std::size_t count, UnitAt unit) {
    const auto isHigh = [](char32_t u) { return u >= 0xD800 && u <= 0xDBFF; };
    const auto isLow = [](char32_t u) { return u >= 0xDC00 && u <= 0xDFFF; };
    // Most names are plain ASCII: that leading run is measured once and copied straight
    // through, and only the rest goes the general way.
    std::size_t ascii = 0;
    while (ascii < count && unit(ascii) < 0x80) ++ascii;
    std::size_t length = ascii;
    for (std::size_t i = ascii; i < count; ++i) {
        const char32_t u = unit(i);
        if (u < 0x80)
            length += 1;
        else if (u < 0x800)
            length += 2;
        else if (isHigh(u) && i + 1 < count && isLow(unit(i + 1)))
            length += 4, ++i;
        else
            length += 3;  // the unit itself, or U+FFFD for a lone surrogate
    }
    std::string out(length, '\0');
    char* p = out.data();
    for (std::size_t i = 0; i < ascii; ++i) *p++ = static_cast<char>(unit(i));
    for (std::size_t i = ascii; i < count; ++i) {
        const char32_t u = unit(i);
        if (isHigh(u) && i + 1 < count && isLow(unit(i + 1))) {
            p = EncodeUtf8(0x10000 + ((u - 0xD800) << 10) + (unit(i + 1) - 0xDC00), p);
            ++i;
        } else {
            p = EncodeUtf8(isHigh(u) || isLow(u) ? kReplacement : u, p);
        }
    }
    return out;
}

}  // namespace

void AppendUtf8(std::string& out, char32_t cp) {
    char bytes[4];
    out.append(bytes, EncodeUtf8(cp, bytes));
}

std::string Utf16ToUtf8(std::u16string_view text) {
    return Utf16UnitsToUtf8(text.size(), [&](std::size_t i) { return char32_t{text[i]}; });
}

std::string Utf16LeBytesToUtf8(std::string_view bytes) {
    return Utf16UnitsToUtf8(bytes.size() / 2, [&](std::size_t i) {
        return static_cast<char32_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                     (static_cast<unsigned char>(bytes[2 * i + 1]) << 8));
    });
}

std::u16string Utf8ToUtf16(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    std::size_t pos = 0;
    while (pos < text.size()) {
        const char32_t cp = NextUtf8(text, pos);
        if (cp < 0x10000) {
            out.push_back(static_cast<char16_t>(cp));
        } else {
            out.push_back(static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF)));
        }
    }
    return out;
}

bool IsValidUtf8(std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size()) {
        // Paths are mostly ASCII: skip eight such bytes at a time.
        std::uint64_t block;
        if (pos + 8 <= text.size() &&
            (std::memcpy(&block, text.data() + pos, 8), (block & 0x8080808080808080u) == 0)) {
            pos += 8;
            continue;
        }
        if (static_cast<unsigned char>(text[pos]) < 0x80) {
            ++pos;
            continue;
        }
        const std::size_t start = pos;
        // U+FFFD written out in UTF-8 is valid; only a replacement made by NextUtf8 is not.
        if (NextUtf8(text, pos) == kReplacement &&
            text.substr(start, pos - start) != "\xEF\xBF\xBD") {
            return false;
        }
    }
    return true;
}

std::string MakeValidUtf8(std::string_view text) {
    if (IsValidUtf8(text)) return std::string(text);
    std::string out;
    out.reserve(text.size() + 8);
    std::size_t pos = 0;
    while (pos < text.size()) AppendUtf8(out, NextUtf8(text, pos));
    return out;
}

}  // namespace velmora
