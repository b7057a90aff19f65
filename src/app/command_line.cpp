#include "app/command_line.h"

#include <cstring>

namespace velmora {
namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeBom = "\xFF\xFE";

// Calls `emit(begin, length)` for every entry of `count` units, where `unit(i)` reads one
// unit. The unit before each LF is dropped; units after the last LF form no entry.
template <typename UnitAt, typename Emit>
void ForEachLine(std::size_t count, UnitAt unit, Emit emit) {
    std::size_t start = 0;
    for (std::size_t i = 0; i < count; ++i) {
        if (unit(i) != '\n') continue;
        emit(start, i > start ? i - 1 - start : 0);
        start = i + 1;
    }
}

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

    if (bytes.substr(0, kUtf16LeBom.size()) == kUtf16LeBom) {
        std::string_view text = bytes.substr(kUtf16LeBom.size());
        const auto unit = [&](std::size_t i) {
            return static_cast<char16_t>(static_cast<unsigned char>(text[2 * i]) |
                                         (static_cast<unsigned char>(text[2 * i + 1]) << 8));
        };
        std::size_t count = text.size() / 2;  // an odd last byte is no unit
        for (std::size_t i = 0; i < count; ++i) {
            if (unit(i) == 0) {
                count = i;
                break;
            }
        }
        ForEachLine(count, unit, [&](std::size_t start, std::size_t length) {
            entries.push_back(Utf16LeBytesToUtf8(text.substr(2 * start, 2 * length)));
        });
    } else {
        const bool utf8 = bytes.substr(0, kUtf8Bom.size()) == kUtf8Bom;
        std::string_view text = utf8 ? bytes.substr(kUtf8Bom.size()) : bytes;
        if (const void* zero = std::memchr(text.data(), 0, text.size())) {
            text = text.substr(0, static_cast<std::size_t>(static_cast<const char*>(zero) - text.data()));
        }
        // Walk LF to LF with memchr: the list may hold hundreds of thousands of lines.
        std::size_t start = 0;
        while (start < text.size()) {
            const void* hit = std::memchr(text.data() + start, '\n', text.size() - start);
            if (hit == nullptr) break;
            const auto lf = static_cast<std::size_t>(static_cast<const char*>(hit) - text.data());
            const std::string_view entry = text.substr(start, lf > start ? lf - 1 - start : 0);
            if (utf8) entries.push_back(MakeValidUtf8(entry));
            else if (decodeAnsi) entries.push_back(decodeAnsi(entry));
            else entries.push_back(MakeValidUtf8(entry));
            start = lf + 1;
        }
    }
    entries.shrink_to_fit();
    return entries;
}

std::string DefaultHelpPath(std::string_view programPath) {
    // Count characters, not bytes, so a name ending in non-ASCII letters stays valid UTF-8.
    std::size_t cut = programPath.size();
    for (int chars = 0; chars < 3; ++chars) {
        if (cut == 0) return {};
        --cut;
        while (cut > 0 && (static_cast<unsigned char>(programPath[cut]) & 0xC0) == 0x80) --cut;
    }
    std::string path(programPath.substr(0, cut));
    path += "chm";
    return path;
}

}  // namespace velmora
