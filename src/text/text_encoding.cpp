#include "text/text_encoding.h"

#include <algorithm>

#include "platform/utf.h"

namespace velmora {
namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeMark = "\xFF\xFE";

bool IsAsciiUnit(std::string_view bytes, std::size_t unit) {
    const auto low = static_cast<unsigned char>(bytes[2 * unit]);
    return low != 0 && low < 0x80 && bytes[2 * unit + 1] == 0;
}

}  // namespace

std::optional<UnicodeForm> FindUnicodeForm(std::string_view bytes) {
    if (bytes.substr(0, kUtf8Mark.size()) == kUtf8Mark)
        return UnicodeForm{TextEncoding::Utf8, kUtf8Mark.size()};
    if (bytes.substr(0, kUtf16LeMark.size()) == kUtf16LeMark)
        return UnicodeForm{TextEncoding::Utf16Le, kUtf16LeMark.size()};
    if (bytes.size() >= 4 && IsAsciiUnit(bytes, 0) && IsAsciiUnit(bytes, 1))
        return UnicodeForm{TextEncoding::Utf16Le, 0};
    return std::nullopt;
}

std::optional<TextEncoding> FindUnreadableMark(std::string_view bytes) {
    using namespace std::string_view_literals;
    if (bytes.substr(0, 4) == "\xFF\xFE\0\0"sv) return TextEncoding::Utf32Le;
    if (bytes.substr(0, 4) == "\0\0\xFE\xFF"sv) return TextEncoding::Utf32Be;
    if (bytes.substr(0, 2) == "\xFE\xFF"sv) return TextEncoding::Utf16Be;
    return std::nullopt;
}

bool IsMultiByteUtf8(std::string_view text) {
    const bool beyondAscii =
        std::any_of(text.begin(), text.end(), [](char c) { return (c & 0x80) != 0; });
    return beyondAscii && IsValidUtf8(text);
}

}  // namespace velmora
