// The mount-point reparse buffer for any source folder: the header fields describe exactly
// the bytes that follow, the name comes back unchanged, and nothing is written outside it.
//
// Input: byte 0 picks the mode; mode 0 takes the rest as a UTF-8 source folder (through
// the NT-form step), mode 1 as raw UTF-16 LE units handed to the builder directly.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "links/reparse.h"
#include "platform/utf.h"

namespace {

[[noreturn]] void Broken(const char* what) {
    std::fprintf(stderr, "fuzz_mount_point: %s\n", what);
    std::abort();
}

std::uint32_t Le16(const std::vector<std::uint8_t>& b, std::size_t at) {
    return static_cast<std::uint32_t>(b[at] | (b[at + 1] << 8));
}

void CheckBuffer(std::u16string_view name) {
    const std::vector<std::uint8_t> buffer = velmora::BuildMountPointBuffer(name);
    const std::size_t length = name.size() * 2;
    if (buffer.empty()) {
        // Only a name too long for the 16-bit data-length field is refused.
        if (length + 12 <= 0xFFFF) Broken("a name that fits was refused");
        return;
    }
    if (buffer.size() != length + 20) Broken("the buffer is not L + 20 bytes");
    const std::uint32_t tag = Le16(buffer, 0) | (Le16(buffer, 2) << 16);
    if (tag != velmora::kReparseTagMountPoint) Broken("wrong tag");
    if (Le16(buffer, 4) != length + 12) Broken("wrong data length");
    if (Le16(buffer, 6) != 0) Broken("reserved field not zero");
    if (Le16(buffer, 8) != 0) Broken("substitute name not at offset 0");
    if (Le16(buffer, 10) != length) Broken("wrong substitute name length");
    if (Le16(buffer, 12) != length + 2) Broken("print name not just past the name's terminator");
    if (Le16(buffer, 14) != 0) Broken("print name not empty");
    for (std::size_t i = 0; i < name.size(); ++i)
        if (Le16(buffer, 16 + 2 * i) != name[i]) Broken("name not copied unit for unit");
    for (std::size_t i = 16 + length; i < buffer.size(); ++i)
        if (buffer[i] != 0) Broken("terminators not zero");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
    if (data[0] % 2 == 0) {
        const std::u16string name = velmora::MountPointSubstituteName(rest);
        if (name.compare(0, 4, u"\\??\\") != 0) Broken("NT form lacks its prefix");
        // The source as given, less at most one trailing backslash (never a drive root's).
        const std::u16string full = u"\\??\\" + velmora::Utf8ToUtf16(rest);
        const bool cut = name.size() + 1 == full.size();
        if (!cut && name != full) Broken("the NT form is not the source as given");
        if (cut && (full.compare(0, name.size(), name) != 0 || full.back() != u'\\' ||
                    (full.size() >= 2 && full[full.size() - 2] == u':')))
            Broken("something other than one trailing backslash was cut");
        CheckBuffer(name);
    } else {
        std::u16string units(rest.size() / 2, u'\0');
        for (std::size_t i = 0; i < units.size(); ++i)
            units[i] = static_cast<char16_t>(static_cast<std::uint8_t>(rest[2 * i]) |
                                             (static_cast<std::uint8_t>(rest[2 * i + 1]) << 8));
        CheckBuffer(units);
    }
    return 0;
}
