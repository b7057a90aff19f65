#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <random>

#include "support/cp1251.h"
#include "text/language_file.h"

namespace velmora {
namespace {

using namespace std::string_literals;

LanguageTable Parse(std::string_view bytes) {
    return ParseLanguageFile(bytes, test::Cp1251Decoder());
}

TEST(LanguageFile, ReadsNumberedLines) {
    const LanguageTable t = Parse("; comment\r\n3=Options\r\n4=Help me\r\n");
    EXPECT_EQ(t, (LanguageTable{{3, "Options"}, {4, "Help me"}}));
}

TEST(LanguageFile, LastLineForANumberWins) {
    EXPECT_EQ(Parse("3=One\r\n3=Two\r\n"), (LanguageTable{{3, "Two"}}));
}

TEST(LanguageFile, EmptyTextIsStored) {
    const LanguageTable t = Parse("3=\r\n151=\n");
    EXPECT_EQ(t, (LanguageTable{{3, ""}, {151, ""}}));
    // An empty entry still wins over the built-in text.
    EXPECT_EQ(TextCatalog(t).Text(151), "");
    EXPECT_EQ(TextCatalog(t).Text(4), BuiltinText(4));
}

TEST(LanguageFile, LinesNotStartingWithADigitAreIgnored) {
    EXPECT_TRUE(Parse(" 3=a\r\n;3=b\r\n[3]=c\r\n\xEF\xBB\xBF"
                      "5=d\r\n\r\n=6\r\n")
                    .empty());
    // A mark is only a mark at the very start; later it is just a non-digit line.
    EXPECT_EQ(Parse("1=a\r\n\xEF\xBB\xBF"
                    "2=b\r\n"),
              (LanguageTable{{1, "a"}}));
}

TEST(LanguageFile, NumberIsTheLeadingDigits) {
    EXPECT_TRUE(Parse("12\r\n").empty());  // no equals sign
    EXPECT_EQ(Parse("12abc=Text\r\n"), (LanguageTable{{12, "Text"}}));
    EXPECT_EQ(Parse("12 =x\r\n"), (LanguageTable{{12, "x"}}));
    EXPECT_EQ(Parse("007=x\r\n"), (LanguageTable{{7, "x"}}));
    // Too big for an int: saturates, so it cannot land on a real number by wrapping.
    EXPECT_EQ(Parse("4294967297=x\r\n"), (LanguageTable{{2147483647u, "x"}}));
    EXPECT_EQ(Parse("99999999999999999999999999=x\r\n"), (LanguageTable{{2147483647u, "x"}}));
}

TEST(LanguageFile, TextIsEverythingAfterTheFirstEquals) {
    EXPECT_EQ(Parse("5= a = b \r\n"), (LanguageTable{{5, " a = b "}}));
    EXPECT_EQ(Parse("5==\r\n"), (LanguageTable{{5, "="}}));
}

TEST(LanguageFile, BackslashNBecomesCrLf) {
    EXPECT_EQ(Parse("1003=First\\nSecond\r\n"), (LanguageTable{{1003, "First\r\nSecond"}}));
    EXPECT_EQ(Parse("1=\\n\\n\\\\n\\t\r\n"), (LanguageTable{{1, "\r\n\r\n\\\r\n\\t"}}));
    EXPECT_EQ(Parse("1=a\\\r\n"), (LanguageTable{{1, "a\\"}}));
}

TEST(LanguageFile, LineLosesOnlyItsLineEnd) {
    const struct {
        std::string_view bytes;
        LanguageTable table;
    } cases[] = {
        {"3=Options\r\n4=Help\r\n", {{3, "Options"}, {4, "Help"}}},
        {"3=Options\n4=Help\n", {{3, "Options"}, {4, "Help"}}},
        // The last line without a line break is read whole.
        {"3=Options\r\n4=Help", {{3, "Options"}, {4, "Help"}}},
        {"1=", {{1, ""}}},
        {"1=x", {{1, "x"}}},
        {"1\n", {}},
        // A lone CR is not a line end; only CR LF pairs become LF.
        {"1=a\rb\r\r\n2=c\r", {{1, "a\rb\r"}, {2, "c\r"}}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Parse(c.bytes), c.table) << testing::PrintToString(c.bytes);
}

TEST(LanguageFile, LongLinesArriveIn1023BytePieces) {
    // 1=, then 1500 letters: the first piece is 1023 bytes, read whole; the rest (no digit
    // first) is ignored.
    const std::string longLine = "1=" + std::string(1500, 'a') + "\r\n";
    EXPECT_EQ(Parse(longLine), (LanguageTable{{1, std::string(1021, 'a')}}));

    // A piece that starts with a digit is read as a line of its own.
    const std::string split = "1=" + std::string(1021, 'a') + "7=tail\r\n";
    EXPECT_EQ(Parse(split), (LanguageTable{{1, std::string(1021, 'a')}, {7, "tail"}}));

    // CR LF counts as one byte when the pieces are cut.
    const std::string exact = "1=" + std::string(1020, 'b') + "\r\n2=c\r\n";
    EXPECT_EQ(Parse(exact), (LanguageTable{{1, std::string(1020, 'b')}, {2, "c"}}));
}

TEST(LanguageFile, ZeroByteEndsTheLine) {
    // The line is cut at the zero byte; the rest of that line is not read as a new one.
    EXPECT_EQ(Parse("1=ab\0cd\r\n2=x\0\r\n3=\0=y\r\n"s),
              (LanguageTable{{1, "ab"}, {2, "x"}, {3, ""}}));
    EXPECT_EQ(Parse("\0"
                    "1=a\r\n2=b\r\n"s),
              (LanguageTable{{2, "b"}}));
}

std::string Utf16Le(std::u16string_view text, bool mark) {
    std::string bytes = mark ? "\xFF\xFE" : "";
    for (const char16_t u : text) {
        bytes.push_back(static_cast<char>(u & 0xFF));
        bytes.push_back(static_cast<char>(u >> 8));
    }
    return bytes;
}

TEST(LanguageFile, EncodingIsTheMarksOrRecognisedWithoutOne) {
    const LanguageTable russian = {{3, "Настрой&ки"}, {105, "Ошибка\r\n%s"}};
    const std::string text = "; Русский\r\n3=Настрой&ки\r\n105=Ошибка\\n%s\r\n";
    const std::u16string wide = u"; Русский\r\n3=Настрой&ки\r\n105=Ошибка\\n%s\r\n";
    const struct {
        const char* what;
        std::string bytes;
        LanguageTable table;
    } cases[] = {
        {"ANSI", test::EncodeCp1251(text), russian},
        {"UTF-8 with a mark", "\xEF\xBB\xBF" + text, russian},
        {"UTF-8 without a mark", text, russian},
        {"UTF-16 LE with a mark (Notepad's Unicode)", Utf16Le(wide, true), russian},
        {"UTF-16 LE without a mark", Utf16Le(wide, false), russian},
        {"UTF-16 LE, last line without a break", Utf16Le(u"4=Справка", false), {{4, "Справка"}}},
        // As with a UTF-8 mark, the line that holds the mark is no entry.
        {"UTF-16 LE mark before a digit", Utf16Le(u"1=x\r\n2=y", true), {{2, "y"}}},
        // One byte that UTF-8 cannot hold makes the whole file ANSI.
        {"UTF-8 then a byte beyond it", "1=\xD0\xBE\r\n2=\xFF\r\n", {{1, "Рѕ"}, {2, "я"}}},
    };
    for (const auto& c : cases) EXPECT_EQ(Parse(c.bytes), c.table) << c.what;
}

TEST(LanguageFile, Utf8MarkMeansUtf8Texts) {
    const LanguageTable t =
        Parse("\xEF\xBB\xBF; UTF-8\r\n3=Настрой&ки\r\n4=中文\r\n5=bad\xFF!\r\n");
    EXPECT_EQ(t.at(3), "Настрой&ки");
    EXPECT_EQ(t.at(4), "中文");
    EXPECT_EQ(t.at(5), "bad\xEF\xBF\xBD!");
    // The mark's own line is ignored even when digits follow it.
    EXPECT_TRUE(Parse("\xEF\xBB\xBF"
                      "1=x\r\n")
                    .empty());
}

TEST(LanguageFile, HostileInputNeverFails) {
    std::string junk;
    for (int i = 0; i < 20000; ++i) junk.push_back(static_cast<char>((i * 7919) % 256));
    (void)Parse(junk);
    EXPECT_TRUE(Parse(std::string(5000, '\n')).empty());
    EXPECT_TRUE(Parse(std::string(5000, '\r')).empty());
    const LanguageTable digits = Parse(std::string(5000, '9'));
    EXPECT_TRUE(digits.empty());  // pieces of digits without an equals sign
}

// The reading rules done the slow, obvious way: translate CR LF, cut pieces of at most 1023
// bytes ending at a line feed, and treat each as a C string.
LanguageTable ReferenceParse(std::string_view bytes) {
    std::string text;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') continue;
        text.push_back(bytes[i]);
    }
    LanguageTable table;
    for (std::size_t pos = 0; pos < text.size();) {
        std::string piece;
        while (pos < text.size() && piece.size() < 1023) {
            piece.push_back(text[pos++]);
            if (piece.back() == '\n') break;
        }
        std::string line = piece.c_str();
        if (!line.empty() && line.back() == '\n') line.pop_back();
        if (line.empty() || !std::isdigit(static_cast<unsigned char>(line[0]))) continue;
        const std::size_t eq = line.find('=');
        if (eq == std::string::npos) continue;
        long long number = std::strtoll(line.c_str(), nullptr, 10);
        if (number > 2147483647LL || number < 0) number = 2147483647LL;
        std::string value = test::DecodeCp1251(line.substr(eq + 1));
        for (std::size_t p; (p = value.find("\\n")) != std::string::npos;)
            value.replace(p, 2, "\r\n");
        table[static_cast<TextId>(number)] = value;
    }
    return table;
}

TEST(LanguageFile, AgreesWithTheReferenceOnRandomFiles) {
    std::mt19937 random(20261207);
    const std::string alphabet = "0123456789==\r\r\n\n\\nab \xE0\xFF";
    for (int round = 0; round < 600; ++round) {
        std::string bytes;
        const int lines = static_cast<int>(random() % 12);
        for (int l = 0; l < lines; ++l) {
            // Line lengths cluster around the 1023-byte piece size.
            std::size_t length = random() % 40;
            if (random() % 4 == 0) length = 1015 + random() % 20;
            for (std::size_t i = 0; i < length; ++i) {
                bytes.push_back(alphabet[random() % alphabet.size()]);
            }
            // A zero never second in the file: that would make it UTF-16.
            if (length > 2 && random() % 50 == 0) bytes.push_back('\0');
            bytes += random() % 2 ? "\r\n" : "\n";
        }
        ASSERT_EQ(Parse(bytes), ReferenceParse(bytes)) << testing::PrintToString(bytes);
    }
}

TEST(LanguageFile, MissingMessageIsBilingual) {
    EXPECT_EQ(LanguageMissingMessage(), "Языковой файл не найден!\n\nLanguage file is missing!");
}

}  // namespace
}  // namespace velmora
