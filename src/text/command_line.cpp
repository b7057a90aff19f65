#include "text/command_line.h"

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

std::vector<std::string> SplitListFile(std::string_view bytes, const AnsiDecoder& decodeAnsi) {
    std::vector<std::string> entries;
    entries.reserve(EstimatedEntries(bytes.size()));

    const std::optional<UnicodeForm> unicode = FindUnicodeForm(bytes);
    if (unicode && unicode->encoding == TextEncoding::Utf16Le) {
        const std::string_view text = bytes.substr(unicode->markLength);
        // Units are little-endian byte pairs; an odd last byte is no unit. Only a unit with
        // a zero high byte can be a line feed, a CR or the zero that ends the text.
        const auto isCr = [&](std::size_t i) { return text[i] == '\r' && text[i + 1] == 0; };
        std::size_t start = 0;  // byte offset, always even
        for (std::size_t i = 0; i + 1 < text.size(); i += 2) {
            if (text[i + 1] != 0) continue;
            if (text[i] == 0) break;
            if (text[i] != '\n') continue;
            const std::size_t end = i > start && isCr(i - 2) ? i - 2 : i;
            entries.push_back(Utf16LeBytesToUtf8(text.substr(start, end - start)));
            start = i + 2;
        }
    } else {
        std::string_view text = bytes.substr(unicode ? unicode->markLength : 0);
        if (const void* zero = std::memchr(text.data(), 0, text.size())) {
            text = text.substr(
                0, static_cast<std::size_t>(static_cast<const char*>(zero) - text.data()));
        }
        // Without a mark the whole text has been found well-formed, so its lines need no
        // second look.
        const bool checked = !unicode && IsMultiByteUtf8(text);
        const bool utf8 = unicode || checked;
        // Walk LF to LF with memchr: the list may hold hundreds of thousands of lines.
        std::size_t start = 0;
        while (start < text.size()) {
            const void* hit = std::memchr(text.data() + start, '\n', text.size() - start);
            if (hit == nullptr) break;
            const auto lf = static_cast<std::size_t>(static_cast<const char*>(hit) - text.data());
            const std::size_t end = lf > start && text[lf - 1] == '\r' ? lf - 1 : lf;
            const std::string_view entry = text.substr(start, end - start);
            if (checked)
                entries.emplace_back(entry);
            else if (utf8 || !decodeAnsi)
                entries.push_back(MakeValidUtf8(entry));
            else
                entries.push_back(decodeAnsi(entry));
            start = lf + 1;
        }
    }
    entries.shrink_to_fit();
    return entries;
}

}  // namespace velmora
