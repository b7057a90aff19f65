// Windows-1251 (Cyrillic), the code page of the built-in texts, for tests that need a real
// 8-bit code page where the Windows layer would use the system's ANSI code page.
#pragma once

#include <string>
#include <string_view>

#include "platform/utf.h"

namespace velmora::test {

// Bytes in Windows-1251 to UTF-8; the one unassigned byte (0x98) becomes U+FFFD.
std::string DecodeCp1251(std::string_view bytes);

// UTF-8 to Windows-1251; a character the code page lacks becomes '?'.
std::string EncodeCp1251(std::string_view utf8);

inline AnsiDecoder Cp1251Decoder() { return &DecodeCp1251; }

}  // namespace velmora::test
