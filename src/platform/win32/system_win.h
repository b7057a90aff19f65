// Small services of the system that start-up and the stores need, each behind one call:
// the ANSI decoder, the program's path, full paths, the version record, error texts and
// reading a whole file.
#pragma once

#include <windows.h>

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace velmora {

// Bytes in the code page `codePage` as UTF-8 (bytes the code page does not define become
// U+FFFD or the system's substitute; a code page the system does not know gives an empty
// text). AnsiToUtf8 uses the system's ANSI code page (GetACP):
// the decoder of the list and language files.
std::string CodePageToUtf8(unsigned codePage, std::string_view bytes);
std::string AnsiToUtf8(std::string_view bytes);

// The full path of the running program (GetModuleFileNameW, no length limit); empty when
// the system cannot tell.
std::string ProgramPath();

// The absolute form of `name` against the current folder, by the system's rules (trailing
// dots and blanks of the last element go, "." and ".." resolve); nullopt for an empty name,
// one holding a zero character, or one the system refuses. No 260-character limit.
std::optional<std::string> FullPathOf(std::string_view name);

// The product version P1.P2.P3.P4 from the fixed block of the version record (resource 1 of
// type RT_VERSION) of `module` (nullptr: the program itself); nullopt when there is none or
// it cannot be read.
std::optional<std::array<unsigned, 4>> ReadProductVersion(HMODULE module);

// The system's text for `code` as FormatMessageW gives it in the user's default language,
// line break included; empty when the system has no text for it.
std::string SystemErrorText(DWORD code);

// Reads the whole file `path` (UTF-8) into `bytes`, opened for reading with `shareMode`.
// On failure `bytes` is empty, the result false and GetLastError() tells why: a folder, a
// missing file, a file that cannot be opened or read, or one of more than INT_MAX bytes
// (ERROR_FILE_TOO_LARGE).
bool ReadWholeFile(const std::string& path, std::string& bytes, DWORD shareMode);

}  // namespace velmora
