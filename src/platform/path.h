// Path rules in one place. Every function takes the path style as its separator: '\\' for
// Windows paths (where '/' is read as a separator too, as the system reads it) and '/' for
// POSIX paths. Purely textual: nothing here asks the file system. Portable: no OS headers.
#pragma once

#include <string>
#include <string_view>

namespace velmora::path {

// Whether `ch` separates elements: '\\' and '/' in Windows style ("a/b" is "a\b"), only '/'
// in POSIX style.
bool IsSeparator(char ch, char sep);

// "X:" at the start of a Windows path, with X an ASCII letter ("C:", "c:name", "C:\").
bool HasDrive(std::string_view path);

// "X:\" (or "X:/") at the start: a full path on a drive.
bool HasDriveRoot(std::string_view path);

// A path that says by itself which file it means: "X:\...", "\\server\share\..." or a
// "\\?\" form in Windows style, "/..." in POSIX style. "name", "..\name", "X:name" and "\name"
// depend on whatever folder or drive happens to be current.
bool IsFullPath(std::string_view path, char sep);

// A name relative to the current folder alone ("name", "..\name"), as opposed to a full path
// or one that starts at a drive or a root ("X:name", "\name", "/name").
bool IsPlainRelative(std::string_view path, char sep);

// A full path that is nothing but its root: "X:\", "\\?\X:\", "\\.\X:\", "/", a share's
// "\\server\share\" (separators at the end do not count).
bool IsRoot(std::string_view path, char sep);

// "\\?\X:\a" and "\\.\X:\a" give "X:\a"; "\\?\UNC\server\a" gives "\\server\a"; anything else
// (POSIX style included) is returned as it is.
std::string WithoutLongPrefix(std::string_view path, char sep);

// The last element: "b.txt" for "X:\a\b.txt"; empty for a root ("X:\", "/") or a path that
// ends with a separator.
std::string_view FileName(std::string_view path, char sep);

// The folder holding the last element, its root keeping its separator: "X:\a" for "X:\a\b",
// "X:\" for "X:\a", "/" for "/a"; empty when the path has no separator.
std::string_view ParentPath(std::string_view path, char sep);

// The folder part up to and including the last separator: "X:\a\" for "X:\a\b.txt"; empty
// without one.
std::string_view FolderPart(std::string_view path, char sep);

// `path` without the separators at its end: "X:\a" for "X:\a\\", "X:" for "X:\".
std::string_view WithoutEndSeparators(std::string_view path, char sep);

// What a Windows path that starts with a separator is taken from: "X:" for "X:\a\b",
// "\\server\share" for "\\server\share\a"; empty for anything else.
std::string_view RootOf(std::string_view path);

// `name` without its extension: "velmora" for "velmora.exe"; a name that starts with its only
// dot (".profile") is kept whole.
std::string_view Stem(std::string_view name);

// A full path made exact without the system's help: in Windows style '/' becomes '\\', "."
// elements and empty ones go, ".." takes away the element before it (never the root), and
// nothing else changes, so trailing dots and blanks stay ("X:\a\b. " keeps "b. "). A
// "\\?\" or "\\.\" prefix is kept. Empty when `path` is not full or ".." climbs past its root.
std::string LexicallyNormal(std::string_view path, char sep);

}  // namespace velmora::path
