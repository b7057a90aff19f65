#include "app/language_file.h"

#include <climits>
#include <cstdint>

namespace velmora {
namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// A line is read into a 1024-byte buffer: at most 1023 bytes, up to and including the line
// feed. A longer line arrives in pieces, each treated as a line of its own.
constexpr std::size_t kMaxPiece = 1023;

// The decimal digits at the start of `line`, as the C runtime's atoi reads them. A number
// too big for an int saturates (as atoi does), so it can never alias a real string number.
TextId LeadingNumber(std::string_view line) {
    std::int64_t value = 0;
    for (const char c : line) {
        if (c < '0' || c > '9') break;
        value = value * 10 + (c - '0');
        if (value > INT_MAX) return static_cast<TextId>(INT_MAX);
    }
    return static_cast<TextId>(value);
}

// Every backslash followed by "n" becomes CR LF, scanning from the left.
void ExpandLineBreaks(std::string& text) {
    std::size_t pos = text.find("\\n");
    if (pos == std::string::npos) return;
    std::string out;
    out.reserve(text.size() + 8);
    std::size_t from = 0;
    for (; pos != std::string::npos; pos = text.find("\\n", from)) {
        out.append(text, from, pos - from);
        out.append("\r\n");
        from = pos + 2;
    }
    out.append(text, from, std::string::npos);
    text.swap(out);
}

void ParseLine(std::string_view line, bool utf8, const AnsiDecoder& decodeAnsi,
               LanguageTable& table) {
    // The line is a C string: it ends at a zero byte, though the piece read goes on.
    line = line.substr(0, line.find('\0'));
    if (line.empty() || line[0] < '0' || line[0] > '9') return;
    if (line.size() < 3) return;
    line.remove_suffix(1);  // the line feed, or whatever byte stands last
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos) return;

    const std::string_view raw = line.substr(eq + 1);
    // Decoding comes before the "\n" rule: in a double-byte code page a backslash byte can
    // be the second half of a character.
    std::string text = utf8 ? MakeValidUtf8(raw) : (decodeAnsi ? decodeAnsi(raw) : MakeValidUtf8(raw));
    ExpandLineBreaks(text);
    table.insert_or_assign(LeadingNumber(line), std::move(text));
}

}  // namespace

LanguageTable ParseLanguageFile(std::string_view bytes, const AnsiDecoder& decodeAnsi) {
    const bool utf8 = bytes.substr(0, kUtf8Bom.size()) == kUtf8Bom;
    LanguageTable table;
    std::string piece;
    piece.reserve(kMaxPiece);
    std::size_t pos = 0;
    // The file is read in text mode: every CR LF pair arrives as a single LF (a lone CR
    // stays). The pieces are cut after that translation, as the runtime's line reader sees it.
    while (pos < bytes.size()) {
        piece.clear();
        while (pos < bytes.size() && piece.size() < kMaxPiece) {
            char c = bytes[pos++];
            if (c == '\r' && pos < bytes.size() && bytes[pos] == '\n') c = bytes[pos++];
            piece.push_back(c);
            if (c == '\n') break;
        }
        ParseLine(piece, utf8, decodeAnsi, table);
    }
    return table;
}

std::string LanguageMissingMessage() {
    return "Языковой файл не найден!\n\nLanguage file is missing!";
}

}  // namespace velmora
