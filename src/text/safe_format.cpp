#include "text/safe_format.h"

#include "platform/utf.h"

#include <cstddef>
#include <optional>

namespace velmora {
namespace {

// Larger widths or precisions make a format unusable: a language file must not be able to
// make one message allocate gigabytes.
constexpr int kMaxWidth = 4096;

enum class Kind { Integer, String };

struct Conversion {
    bool left = false, plus = false, space = false, alt = false, zero = false;
    int width = 0;
    int precision = -1;  // -1: none given
    char length = 0;     // 0, 'h', 'l' or 'L' (for "ll")
    char type = 0;       // d i u x X c s
    Kind kind() const { return type == 's' ? Kind::String : Kind::Integer; }
};

// Walks a format text: literal runs (with "%%" turned into "%") and conversions.
class FormatReader {
public:
    enum class Token { Literal, Conversion, End, Invalid };

    explicit FormatReader(std::string_view format) : m_format(format) {}

    Token Next() {
        if (m_pos >= m_format.size()) return Token::End;
        if (m_format[m_pos] != '%') {
            const std::size_t next = m_format.find('%', m_pos);
            const std::size_t end = next == std::string_view::npos ? m_format.size() : next;
            m_literal = m_format.substr(m_pos, end - m_pos);
            m_pos = end;
            return Token::Literal;
        }
        if (m_pos + 1 < m_format.size() && m_format[m_pos + 1] == '%') {
            m_literal = m_format.substr(m_pos, 1);
            m_pos += 2;
            return Token::Literal;
        }
        ++m_pos;
        return ReadConversion() ? Token::Conversion : Token::Invalid;
    }

    // Advances to the next conversion, skipping literals.
    Token NextConversion() {
        Token t;
        while ((t = Next()) == Token::Literal) {
        }
        return t;
    }

    std::string_view literal() const { return m_literal; }
    const Conversion& conversion() const { return m_conv; }

private:
    bool AtEnd() const { return m_pos >= m_format.size(); }
    char Peek() const { return m_format[m_pos]; }

    bool ReadNumber(int& value) {
        value = 0;
        while (!AtEnd() && Peek() >= '0' && Peek() <= '9') {
            value = value * 10 + (Peek() - '0');
            if (value > kMaxWidth) return false;
            ++m_pos;
        }
        return true;
    }

    bool ReadConversion() {
        m_conv = Conversion{};
        for (; !AtEnd(); ++m_pos) {
            const char c = Peek();
            if (c == '-')
                m_conv.left = true;
            else if (c == '+')
                m_conv.plus = true;
            else if (c == ' ')
                m_conv.space = true;
            else if (c == '#')
                m_conv.alt = true;
            else if (c == '0')
                m_conv.zero = true;
            else
                break;
        }
        if (!ReadNumber(m_conv.width)) return false;
        if (!AtEnd() && Peek() == '.') {
            ++m_pos;
            if (!ReadNumber(m_conv.precision)) return false;
        }
        if (!AtEnd() && Peek() == 'h') {
            m_conv.length = 'h';
            ++m_pos;
        } else if (!AtEnd() && Peek() == 'l') {
            m_conv.length = 'l';
            ++m_pos;
            if (!AtEnd() && Peek() == 'l') {
                m_conv.length = 'L';
                ++m_pos;
            }
        }
        if (AtEnd()) return false;
        const char type = Peek();
        ++m_pos;
        switch (type) {
            case 'd':
            case 'i':
            case 'u':
            case 'x':
            case 'X':
            case 'c':
                break;
            case 's':
                if (m_conv.length != 0) return false;  // %ls and the like take wide text
                break;
            default:
                return false;  // %n, %p, %f, "*" and everything else
        }
        m_conv.type = type;
        return true;
    }

    std::string_view m_format;
    std::size_t m_pos = 0;
    std::string_view m_literal;
    Conversion m_conv;
};

using Token = FormatReader::Token;

// True when `format` is well formed and its conversions take `args` in order.
bool ConversionsTakeArgs(std::string_view format, std::initializer_list<FormatArg> args) {
    FormatReader reader(format);
    const FormatArg* arg = args.begin();
    for (;;) {
        const Token t = reader.NextConversion();
        if (t == Token::End) return arg == args.end();
        if (t == Token::Invalid || arg == args.end()) return false;
        const bool isString = std::holds_alternative<std::string_view>(*arg);
        if (isString != (reader.conversion().kind() == Kind::String)) return false;
        ++arg;
    }
}

std::size_t CharacterCount(std::string_view utf8) {
    std::size_t n = 0;
    for (const char c : utf8) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return n;
}

// The first `count` characters of `utf8`, never splitting a multi-byte sequence.
std::string_view FirstCharacters(std::string_view utf8, std::size_t count) {
    std::size_t pos = 0;
    for (std::size_t seen = 0; pos < utf8.size(); ++pos) {
        if ((static_cast<unsigned char>(utf8[pos]) & 0xC0) != 0x80 && seen++ == count) break;
    }
    return utf8.substr(0, pos);
}

void AppendCodePoint(std::string& out, std::int64_t value) {
    auto cp = static_cast<std::uint32_t>(value);
    if (value <= 0 || value > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = 0xFFFD;
    AppendUtf8(out, cp);
}

void AppendPadded(std::string& out, std::string_view body, std::size_t bodyChars,
                  const Conversion& c) {
    const auto width = static_cast<std::size_t>(c.width);
    const std::size_t pad = width > bodyChars ? width - bodyChars : 0;
    if (!c.left) out.append(pad, ' ');
    out.append(body);
    if (c.left) out.append(pad, ' ');
}

// The integer conversions as the C runtime prints an argument of the conversion's own
// size: "h" narrows to 16 bits, no modifier (or "l", 32 bits on Windows) to 32 bits when
// the value fits there, "ll" keeps 64.
void AppendInteger(std::string& out, std::int64_t value, const Conversion& c) {
    const bool isSigned = c.type == 'd' || c.type == 'i';
    bool negative = false;
    std::uint64_t magnitude = 0;
    if (isSigned) {
        std::int64_t v = value;
        if (c.length == 'h') v = static_cast<std::int16_t>(value);
        negative = v < 0;
        magnitude = negative ? 0 - static_cast<std::uint64_t>(v) : static_cast<std::uint64_t>(v);
    } else if (c.length == 'h') {
        magnitude = static_cast<std::uint16_t>(value);
    } else if (c.length != 'L' && value >= INT32_MIN &&
               value <= static_cast<std::int64_t>(UINT32_MAX)) {
        magnitude = static_cast<std::uint32_t>(value);
    } else {
        magnitude = static_cast<std::uint64_t>(value);
    }

    const unsigned base = (c.type == 'x' || c.type == 'X') ? 16 : 10;
    const char* digitSet = c.type == 'X' ? "0123456789ABCDEF" : "0123456789abcdef";
    char buffer[24];
    std::size_t n = 0;
    for (std::uint64_t m = magnitude; m != 0; m /= base) buffer[n++] = digitSet[m % base];
    std::string digits;
    const std::size_t minDigits = c.precision < 0 ? 1 : static_cast<std::size_t>(c.precision);
    if (minDigits > n) digits.append(minDigits - n, '0');
    while (n > 0) digits.push_back(buffer[--n]);

    std::string prefix;
    if (negative)
        prefix = "-";
    else if (isSigned && c.plus)
        prefix = "+";
    else if (isSigned && c.space)
        prefix = " ";
    if (c.alt && base == 16 && magnitude != 0) prefix += c.type == 'X' ? "0X" : "0x";

    const std::size_t length = prefix.size() + digits.size();
    if (c.zero && !c.left && c.precision < 0 && static_cast<std::size_t>(c.width) > length) {
        digits.insert(0, static_cast<std::size_t>(c.width) - length, '0');
    }
    const std::string body = prefix + digits;
    AppendPadded(out, body, body.size(), c);
}

// Formats `format`, whose conversions the caller has checked against `args`.
std::string Render(std::string_view format, std::initializer_list<FormatArg> args) {
    std::string out;
    out.reserve(format.size() + 64);
    FormatReader reader(format);
    const FormatArg* arg = args.begin();
    for (Token t = reader.Next(); t != Token::End; t = reader.Next()) {
        if (t == Token::Literal) {
            out.append(reader.literal());
            continue;
        }
        const Conversion& c = reader.conversion();
        if (c.type == 's') {
            std::string_view text = std::get<std::string_view>(*arg);
            if (c.precision >= 0)
                text = FirstCharacters(text, static_cast<std::size_t>(c.precision));
            AppendPadded(out, text, CharacterCount(text), c);
        } else if (c.type == 'c') {
            std::string ch;
            AppendCodePoint(ch, std::get<std::int64_t>(*arg));
            AppendPadded(out, ch, 1, c);
        } else {
            AppendInteger(out, std::get<std::int64_t>(*arg), c);
        }
        ++arg;
    }
    return out;
}

}  // namespace

bool ConversionsMatch(std::string_view format, std::string_view builtin) {
    FormatReader a(format), b(builtin);
    for (;;) {
        const Token ta = a.NextConversion();
        const Token tb = b.NextConversion();
        if (ta == Token::Invalid || tb == Token::Invalid) return false;
        if (ta != tb) return false;  // one has more conversions than the other
        if (ta == Token::End) return true;
        if (a.conversion().kind() != b.conversion().kind()) return false;
    }
}

std::string SafeFormat(std::string_view format, std::string_view builtin,
                       std::initializer_list<FormatArg> args) {
    if (!ConversionsTakeArgs(builtin, args)) return std::string(builtin);
    if (ConversionsMatch(format, builtin)) return Render(format, args);
    return Render(builtin, args);
}

std::string WithLiteralAmpersands(std::string_view name) {
    std::string out;
    out.reserve(name.size());
    for (const char c : name) {
        out.push_back(c);
        if (c == '&') out.push_back('&');
    }
    return out;
}

}  // namespace velmora
