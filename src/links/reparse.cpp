#include "links/reparse.h"

#include "platform/utf.h"

namespace velmora {

namespace {

void PutLe16(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t value) {
    out[at] = static_cast<std::uint8_t>(value & 0xFF);
    out[at + 1] = static_cast<std::uint8_t>((value >> 8) & 0xFF);
}

void PutLe32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t value) {
    PutLe16(out, at, value & 0xFFFF);
    PutLe16(out, at + 2, value >> 16);
}

}  // namespace

std::u16string MountPointSubstituteName(std::string_view sourceUtf8) {
    constexpr std::size_t kPrefixLength = 4;
    std::u16string name = u"\\??\\";
    name += Utf8ToUtf16(sourceUtf8);
    // A folder's NT form has no trailing backslash, but a drive root is "\??\C:\", never
    // "\??\C:" (which would name the drive's current folder). The prefix's own backslash stays.
    if (name.size() > kPrefixLength && name.back() == u'\\' && name[name.size() - 2] != u':') {
        name.pop_back();
    }
    return name;
}

std::vector<std::uint8_t> BuildMountPointBuffer(std::u16string_view substituteName) {
    constexpr std::size_t kHeader = 16;  // tag, data length, reserved, four name fields
    const std::size_t nameBytes = substituteName.size() * 2;
    // ReparseDataLength (L + 12) is the largest 16-bit field; everything else fits if it does.
    if (nameBytes + 12 > 0xFFFF) {
        return {};
    }
    const auto length = static_cast<std::uint32_t>(nameBytes);
    std::vector<std::uint8_t> buffer(kHeader + nameBytes + 4, 0);
    PutLe32(buffer, 0, kReparseTagMountPoint);
    PutLe16(buffer, 4, length + 12);  // ReparseDataLength: everything after the 8-byte header
    PutLe16(buffer, 6, 0);            // Reserved
    PutLe16(buffer, 8, 0);            // SubstituteNameOffset
    PutLe16(buffer, 10, length);      // SubstituteNameLength, without the terminator
    PutLe16(buffer, 12, length + 2);  // PrintNameOffset: just past the name's terminator
    PutLe16(buffer, 14, 0);           // PrintNameLength: no print name
    for (std::size_t i = 0; i < substituteName.size(); ++i) {
        PutLe16(buffer, kHeader + 2 * i, substituteName[i]);
    }
    // The two terminators (name, empty print name) are the zeros the buffer started with.
    return buffer;
}

}  // namespace velmora
