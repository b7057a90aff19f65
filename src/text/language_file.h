// The language file (*.lng): numbered replacement texts, one per line ("3=Settings").
// Lines that do not start with a digit are comments. The file is UTF-8 or UTF-16 LE, told by
// a byte-order mark or recognised without one (text/text_encoding.h), or else 8-bit text in
// the system's ANSI code page.
#pragma once

#include <string>
#include <string_view>

#include "platform/utf.h"
#include "text/texts.h"

namespace velmora {

// Reads a whole language file's bytes into a table of UTF-8 texts. Never fails: malformed
// lines are skipped one by one. Linear in the file's size.
LanguageTable ParseLanguageFile(std::string_view bytes, const AnsiDecoder& decodeAnsi);

// The message when the language file cannot be opened; the same in every language.
std::string LanguageMissingMessage();

}  // namespace velmora
