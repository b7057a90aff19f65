#include "text/language_file.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <optional>

#include "text/text_encoding.h"

namespace velmora {
namespace {

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

// Every backslash followed by "n" becomes CR LF, scanning from the left. Both are two
// bytes, so the text is rewritten in place.
void ExpandLineBreaks(std::string& text) {
    for (std::size_t pos = text.find("\\n"); pos != std::string::npos;
         pos = text.find("\\n", pos + 2)) {
        text[pos] = '\r';
        text[pos + 1] = '\n';
    }
}

// One line, without its line end: a line that has one loses exactly that line feed (or the
// CR LF pair that text mode reads as one); the last line without one, and each piece of an
// over-long line, is read whole.
void ParseLine(std::string_view piece, bool utf8, const AnsiDecoder& decodeAnsi,
               LanguageTable& table) {
    // The line is a C string: it ends at a zero byte, though the piece read goes on.
    const std::string_view line = piece.substr(0, piece.find('\0'));
    if (line.empty() || line[0] < '0' || line[0] > '9') return;
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos) return;

    const std::string_view rawText = line.substr(eq + 1);
    // Decoding comes before the "\n" rule: in a double-byte code page a backslash byte can
    // be the second half of a character.
    std::string text = utf8 || !decodeAnsi ? MakeValidUtf8(rawText) : decodeAnsi(rawText);
    ExpandLineBreaks(text);
    table.insert_or_assign(LeadingNumber(line), std::move(text));
}

LanguageTable ParseLines(std::string_view bytes, bool utf8, const AnsiDecoder& decodeAnsi) {
    LanguageTable table;
    // The file is read in text mode, so a CR LF pair arrives as one LF (a lone CR stays),
    // and the pieces are cut after that translation. Between two line feeds there is no
    // pair but the one that may end the line, so every piece is a slice of `bytes`;
    // nothing is copied.
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        const std::size_t window = std::min(bytes.size() - pos, kMaxPiece + 1);
        const void* hit = std::memchr(bytes.data() + pos, '\n', window);
        if (hit != nullptr) {
            const auto lf = static_cast<std::size_t>(static_cast<const char*>(hit) - bytes.data());
            const bool crlf = lf > pos && bytes[lf - 1] == '\r';
            const std::size_t translated = lf - pos + 1 - (crlf ? 1 : 0);
            if (translated <= kMaxPiece) {
                ParseLine(bytes.substr(pos, lf - (crlf ? 1 : 0) - pos), utf8, decodeAnsi, table);
                pos = lf + 1;
                continue;
            }
        }
        // No line feed within reach: a piece of as many bytes as the buffer holds.
        const std::size_t length = std::min(bytes.size() - pos, kMaxPiece);
        ParseLine(bytes.substr(pos, length), utf8, decodeAnsi, table);
        pos += length;
    }
    return table;
}

}  // namespace

LanguageTable ParseLanguageFile(std::string_view bytes, const AnsiDecoder& decodeAnsi) {
    const std::optional<UnicodeForm> unicode = FindUnicodeForm(bytes);
    if (unicode && unicode->encoding == TextEncoding::Utf16Le) {
        // Read as the same file in UTF-8: its mark (U+FEFF) keeps the first line a comment,
        // as a UTF-8 mark does.
        return ParseLines(Utf16LeBytesToUtf8(bytes), true, decodeAnsi);
    }
    return ParseLines(bytes, unicode || IsMultiByteUtf8(bytes), decodeAnsi);
}

std::string LanguageMissingMessage() {
    return "Языковой файл не найден!\n\nLanguage file is missing!";
}

}  // namespace velmora
