// Conversion between the program's inner strings (UTF-8) and the encodings at its edges:
// UTF-16 for the system, 8-bit ANSI code pages for list and language files.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace velmora {

// Both replace every ill-formed sequence (a lone surrogate, a stray or truncated UTF-8
// byte, an overlong form, a value beyond U+10FFFF) by U+FFFD; they never fail.
std::string Utf16ToUtf8(std::u16string_view text);
std::u16string Utf8ToUtf16(std::string_view text);

// UTF-16 held as little-endian byte pairs, as a file stores it; an odd last byte is ignored.
std::string Utf16LeBytesToUtf8(std::string_view bytes);

// `text` itself when it is well-formed UTF-8, else a copy with U+FFFD for every bad sequence.
std::string MakeValidUtf8(std::string_view text);
bool IsValidUtf8(std::string_view text);

// Appends the UTF-8 form of the code point `cp` (which must be a scalar value).
void AppendUtf8(std::string& out, char32_t cp);

// Turns bytes in an 8-bit code page into UTF-8. The Windows layer supplies one for the
// system's ANSI code page.
using AnsiDecoder = std::function<std::string(std::string_view bytes)>;

}  // namespace velmora
