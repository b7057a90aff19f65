#include "text/command_line.h"

#include <algorithm>
#include <cstring>

#include "text/text_encoding.h"

namespace velmora {
namespace {

std::size_t EstimatedEntries(std::size_t bytes) { return bytes / 20; }

}  // namespace

std::optional<std::string> IniSwitchValue(std::string_view arg) {
    if (arg.size() < 3 || arg[0] != '/' || (arg[1] != 'i' && arg[1] != 'I') || arg[2] != '=') {
        return std::nullopt;
    }
    return std::string(arg.substr(3));
}

std::optional<CommandLine> ParseArguments(const std::vector<std::string>& argv) {
    if (argv.size() < 3) return std::nullopt;
    CommandLine cl;
    cl.listFile = argv[1];
    cl.targetDir = argv[2];
    if (argv.size() >= 4) {
        if (auto ini = IniSwitchValue(argv[3])) cl.iniFile = std::move(*ini);
    }
    return cl;
}

namespace {

bool HasByteBeyondAscii(std::string_view text) {
    return std::any_of(text.begin(), text.end(), [](char c) { return (c & 0x80) != 0; });
}

bool OnlyZeros(std::string_view bytes) { return bytes.find_first_not_of('\0') == bytes.npos; }

void ReadUtf16Le(std::string_view text, ListFile& list) {
    // Units are little-endian byte pairs; an odd last byte is no unit. Only a unit with a zero
    // high byte can be a line feed, a CR or the zero that ends the text.
    const auto isCr = [&](std::size_t i) { return text[i] == '\r' && text[i + 1] == 0; };
    const auto add = [&](std::size_t start, std::size_t end) {
        if (end > start && isCr(end - 2)) end -= 2;
        list.entries.push_back(Utf16LeBytesToUtf8(text.substr(start, end - start)));
    };
    const std::size_t units = text.size() & ~std::size_t{1};
    std::size_t start = 0;  // byte offset, always even
    std::size_t i = 0;
    for (; i < units; i += 2) {
        if (text[i + 1] != 0) continue;
        if (text[i] == 0) {
            if (!OnlyZeros(text.substr(i))) list.problem = ListProblem::ZeroByte;
            break;
        }
        if (text[i] != '\n') continue;
        add(start, i);
        start = i + 2;
    }
    // The last line counts without a line end; a CR alone after the last line feed is none.
    if (i > start && !(i == start + 2 && isCr(start))) add(start, i);
}

// The two readings of a list that is valid UTF-8, put to the file system: true when the ANSI
// reading names more existing entries among the first kTwoWayChecks whose readings differ.
bool AnsiReadsBetter(const std::vector<std::string>& utf8, const AnsiDecoder& decodeAnsi,
                     const NameExists& exists) {
    if (!decodeAnsi || !exists) return false;
    std::size_t checked = 0;
    int utf8Found = 0;
    int ansiFound = 0;
    for (const std::string& entry : utf8) {
        if (checked == kTwoWayChecks) break;
        if (!HasByteBeyondAscii(entry)) continue;  // ASCII reads alike in every ANSI code page
        const std::string ansi = decodeAnsi(entry);
        if (ansi == entry) continue;
        ++checked;
        utf8Found += exists(entry) ? 1 : 0;
        ansiFound += exists(ansi) ? 1 : 0;
    }
    return ansiFound > utf8Found;
}

void Read8Bit(std::string_view text, bool utf8Mark, const AnsiDecoder& decodeAnsi,
              const NameExists& exists, ListFile& list) {
    if (const void* zero = std::memchr(text.data(), 0, text.size())) {
        const auto at = static_cast<std::size_t>(static_cast<const char*>(zero) - text.data());
        if (!OnlyZeros(text.substr(at))) list.problem = ListProblem::ZeroByte;
        text = text.substr(0, at);
    }
    // Without a mark, text found well-formed here could still be ANSI: its lines are kept as
    // bytes (which are their UTF-8 reading) until the file system has had its say.
    const bool twoWay = !utf8Mark && IsMultiByteUtf8(text);
    const auto add = [&](std::string_view entry) {
        if (twoWay)
            list.entries.emplace_back(entry);
        else if (utf8Mark || !decodeAnsi)
            list.entries.push_back(MakeValidUtf8(entry));
        else
            list.entries.push_back(decodeAnsi(entry));
    };
    // Walk LF to LF with memchr: the list may hold hundreds of thousands of lines.
    std::size_t start = 0;
    while (start < text.size()) {
        const void* hit = std::memchr(text.data() + start, '\n', text.size() - start);
        if (hit == nullptr) break;
        const auto lf = static_cast<std::size_t>(static_cast<const char*>(hit) - text.data());
        const std::size_t end = lf > start && text[lf - 1] == '\r' ? lf - 1 : lf;
        add(text.substr(start, end - start));
        start = lf + 1;
    }
    // The last line counts without a line end; a CR alone after the last line feed is none.
    if (start < text.size()) {
        const std::size_t end = text.back() == '\r' ? text.size() - 1 : text.size();
        if (end > start) add(text.substr(start, end - start));
    }
    if (twoWay && AnsiReadsBetter(list.entries, decodeAnsi, exists)) {
        for (std::string& entry : list.entries) entry = decodeAnsi(entry);
    }
}

}  // namespace

ListFile ReadListFile(std::string_view bytes, const AnsiDecoder& decodeAnsi,
                      const NameExists& exists) {
    ListFile list;
    if (FindUnreadableMark(bytes)) {
        list.problem = ListProblem::UnreadableEncoding;
        return list;
    }
    list.entries.reserve(EstimatedEntries(bytes.size()));
    const std::optional<UnicodeForm> unicode = FindUnicodeForm(bytes);
    const std::string_view text = bytes.substr(unicode ? unicode->markLength : 0);
    if (unicode && unicode->encoding == TextEncoding::Utf16Le)
        ReadUtf16Le(text, list);
    else
        Read8Bit(text, unicode.has_value(), decodeAnsi, exists, list);
    list.entries.shrink_to_fit();
    if (list.entries.empty() && list.problem == ListProblem::None)
        list.problem = ListProblem::NoEntry;
    return list;
}

std::vector<std::string> SplitListFile(std::string_view bytes, const AnsiDecoder& decodeAnsi) {
    return ReadListFile(bytes, decodeAnsi, nullptr).entries;
}

}  // namespace velmora
