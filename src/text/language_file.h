// The language file (*.lng): numbered replacement texts, one per line ("3=Settings").
// Lines that do not start with a digit are comments. The file is 8-bit text in the system's
// ANSI code page, or UTF-8 when it starts with a UTF-8 byte-order mark.
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
