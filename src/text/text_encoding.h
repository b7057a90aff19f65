// How a list file or a language file is written. The file manager writes a list in the ANSI
// code page (%L), in UTF-8 (%UL) or in UTF-16 LE (%WL), not always with a byte-order mark;
// a language file saved by a text editor may be in any of the three as well.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

namespace velmora {

enum class TextEncoding { Ansi, Utf8, Utf16Le, Utf16Be, Utf32Le, Utf32Be };

struct UnicodeForm {
    TextEncoding encoding;   // Utf8 or Utf16Le
    std::size_t markLength;  // bytes of the byte-order mark at the start; 0 without one
};

// The Unicode form that the bytes declare or give away; nothing for 8-bit text.
// A byte-order mark decides (EF BB BF: UTF-8; FF FE: UTF-16 LE). Without one, the bytes are
// UTF-16 LE when their first two characters are ASCII, each followed by its zero high byte:
// every list starts with a drive letter, a backslash or a line end, every language file
// line with a digit or a comment character, and in 8-bit text such a zero would have ended
// the text or the line after one character.
std::optional<UnicodeForm> FindUnicodeForm(std::string_view bytes);

// The encoding whose byte-order mark starts `bytes` when it is one that the program does not
// read: UTF-32 LE (FF FE 00 00, which FindUnicodeForm would take for UTF-16 LE's mark followed
// by a zero), UTF-32 BE (00 00 FE FF) or UTF-16 BE (FE FF); nothing otherwise.
std::optional<TextEncoding> FindUnreadableMark(std::string_view bytes);

// For 8-bit text without a mark: true when it is well-formed UTF-8 and holds at least one
// multi-byte sequence. Text in an ANSI code page beyond ASCII is almost never well-formed
// UTF-8; plain ASCII reads the same in every ANSI code page, so it stays ANSI.
bool IsMultiByteUtf8(std::string_view text);

}  // namespace velmora
