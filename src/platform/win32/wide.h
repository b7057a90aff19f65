// UTF-8 (the program's strings) to UTF-16 (the W functions) and back, at the call.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace velmora {

// Ill-formed input never fails: the system puts U+FFFD for a bad UTF-8 sequence or a lone
// surrogate. Embedded zero characters are kept (callers that hand the result to the system
// as a C string check for them).
std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view wide);

// The W form of a path for a file-system call. Short paths (below MAX_PATH - 12, the limit
// of CreateDirectoryW) come back unchanged, so the system resolves them as always. A longer
// path is made absolute (GetFullPathNameW: "." and ".." resolved, '/' turned into '\', the
// trailing dots and blanks of the last element dropped) and given the \\?\ prefix, or
// \\?\UNC\ for \\server\share, which lifts the 260-character limit. A path that already
// starts with \\?\, \??\ or \\.\ is passed through as it is.
std::wstring LongPath(std::string_view utf8);

// GetFullPathNameW with a buffer that grows as needed (no 260-character limit); nullopt
// for an empty name, one holding a zero character, or when the system refuses it.
std::optional<std::wstring> FullPathWide(const std::wstring& path);

// True when `path` holds a zero character: the system would silently cut the name there,
// so such a name must be refused rather than handed on.
bool HasEmbeddedZero(std::string_view path);

}  // namespace velmora
