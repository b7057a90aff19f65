// The list file the file manager writes, in any of its encodings (ANSI, UTF-8 with a mark,
// UTF-16 LE with a mark) and any damage: every entry comes out as valid UTF-8 without line
// ends, and an ANSI file gives one entry per line feed before the first zero byte.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "platform/utf.h"
#include "support/cp1251.h"
#include "text/command_line.h"

namespace {

[[noreturn]] void Broken(const char* what) {
    std::fprintf(stderr, "fuzz_list_file: %s\n", what);
    std::abort();
}

bool StartsWith(std::string_view s, std::string_view prefix) {
    return s.substr(0, prefix.size()) == prefix;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string> entries =
        velmora::SplitListFile(bytes, velmora::test::Cp1251Decoder());
    for (const std::string& e : entries) {
        if (!velmora::IsValidUtf8(e)) Broken("an entry is not valid UTF-8");
        if (e.find('\n') != std::string::npos) Broken("an entry holds a line feed");
    }
    const bool utf8 = StartsWith(bytes, "\xEF\xBB\xBF");
    const bool utf16 = StartsWith(bytes, "\xFF\xFE");
    if (!utf8 && !utf16) {
        const std::string_view text = bytes.substr(0, bytes.find('\0'));
        const auto lines = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
        if (entries.size() != lines) Broken("not one entry per line");
    }
    return 0;
}
