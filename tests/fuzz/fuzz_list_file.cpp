// The list file the file manager writes, in any of its encodings (ANSI, UTF-8, UTF-16 LE, with
// or without a mark) and any damage: every entry comes out as valid UTF-8 without line feeds,
// an 8-bit file gives one entry per line feed before the first zero byte (and one for a last
// line without a line end), a list that yields no entry is refused, and a UTF-8 file without
// a mark reads as the same file with one when no look-up tells otherwise.
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
#include "text/text_encoding.h"

namespace {

[[noreturn]] void Broken(const char* what) {
    std::fprintf(stderr, "fuzz_list_file: %s\n", what);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const velmora::ListFile list =
        velmora::ReadListFile(bytes, velmora::test::Cp1251Decoder(), nullptr);
    const std::vector<std::string>& entries = list.entries;
    for (const std::string& e : entries) {
        if (!velmora::IsValidUtf8(e)) Broken("an entry is not valid UTF-8");
        if (e.find('\n') != std::string::npos) Broken("an entry holds a line feed");
    }
    if (list.problem == velmora::ListProblem::UnreadableEncoding) {
        if (!entries.empty()) Broken("an unreadable list gave entries");
        return 0;
    }
    if (list.problem == velmora::ListProblem::NoEntry && !entries.empty())
        Broken("a list with entries is refused as empty");
    if (list.problem == velmora::ListProblem::None && entries.empty())
        Broken("a list without entries is not refused");
    const auto unicode = velmora::FindUnicodeForm(bytes);
    if (unicode && unicode->encoding == velmora::TextEncoding::Utf16Le) return 0;
    const std::string_view text = bytes.substr(0, bytes.find('\0'));
    const std::string_view body = text.substr(std::min(text.size(), unicode ? unicode->markLength : 0));
    std::string_view last = body.substr(body.rfind('\n') + 1);  // npos + 1: all of it
    if (!last.empty() && last.back() == '\r') last.remove_suffix(1);
    const auto lines = static_cast<std::size_t>(std::count(body.begin(), body.end(), '\n')) +
                       (last.empty() ? 0 : 1);
    if (entries.size() != lines) Broken("not one entry per line");
    if (!unicode && velmora::IsMultiByteUtf8(text)) {
        const std::string marked = "\xEF\xBB\xBF" + std::string(bytes);
        if (velmora::SplitListFile(marked, velmora::test::Cp1251Decoder()) != entries)
            Broken("UTF-8 without a mark reads differently from UTF-8 with one");
    }
    return 0;
}
