// The mount-point reparse data that turns an empty folder into a junction. Pure functions:
// the buffer is built and checked before anything touches the disk.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

inline constexpr std::uint32_t kReparseTagMountPoint = 0xA0000003;

// The NT form of a source folder: "\??\" followed by the path as given (not made absolute).
// One trailing backslash goes, unless it follows ':' (a drive root keeps it: \??\C:\).
std::u16string MountPointSubstituteName(std::string_view sourceUtf8);

// The mount-point reparse buffer for `substituteName` with an empty print name: a 16-byte
// header, the name, its terminator and the print name's terminator (L + 20 bytes, L being
// the name's length in bytes). Empty when the name is too long for the 16-bit length fields;
// the caller then reports ERROR_FILENAME_EXCED_RANGE.
std::vector<std::uint8_t> BuildMountPointBuffer(std::u16string_view substituteName);

}  // namespace velmora
