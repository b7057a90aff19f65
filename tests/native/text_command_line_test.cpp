#include <gtest/gtest.h>

#include <random>

#include "support/cp1251.h"
#include "text/command_line.h"

namespace velmora {
namespace {

using Entries = std::vector<std::string>;

Entries Split(std::string_view bytes) { return SplitListFile(bytes, test::Cp1251Decoder()); }

std::string Utf16Le(std::u16string_view text, bool mark = true) {
    std::string bytes = mark ? "\xFF\xFE" : "";
    for (const char16_t u : text) {
        bytes.push_back(static_cast<char>(u & 0xFF));
        bytes.push_back(static_cast<char>(u >> 8));
    }
    return bytes;
}

TEST(ListFile, EncodingIsTheMarksOrRecognisedWithoutOne) {
    using namespace std::string_literals;
    const Entries names = {"C:\\Документы\\отчёт.txt", "D:\\Фото\\"};
    const std::string text = "C:\\Документы\\отчёт.txt\r\nD:\\Фото\\\r\n";
    const struct {
        const char* what;
        std::string bytes;
        Entries entries;
    } cases[] = {
        {"ANSI", test::EncodeCp1251(text), names},
        {"UTF-8 with a mark", "\xEF\xBB\xBF" + text, names},
        {"UTF-8 without a mark", text, names},
        {"UTF-16 LE with a mark", Utf16Le(u"C:\\Документы\\отчёт.txt\r\nD:\\Фото\\\r\n"), names},
        {"UTF-16 LE without a mark", Utf16Le(u"C:\\Документы\\отчёт.txt\r\nD:\\Фото\\\r\n", false),
         names},
        {"UTF-16 LE without a mark, LF only, blank first line",
         Utf16Le(u"\nC:\\a\n", false),
         {"", "C:\\a"}},
        {"plain ASCII", "C:\\a.txt\r\n", {"C:\\a.txt"}},
        // One byte that UTF-8 cannot hold makes the whole file ANSI.
        {"UTF-8 then a byte beyond it", "C:\\\xD0\xBE\r\nC:\\\xFF\r\n", {"C:\\Рѕ", "C:\\я"}},
        // What follows the zero that ends the text does not count.
        {"UTF-8 before a zero byte", "C:\\\xD0\xBE\r\n\0\xFF\r\n"s, {"C:\\о"}},
        // The mark decides: bytes that break it are replaced, not read as ANSI.
        {"UTF-8 mark, ANSI bytes",
         "\xEF\xBB\xBF" + test::EncodeCp1251("C:\\я\r\n"),
         {"C:\\\xEF\xBF\xBD"}},
        // A zero after the first character alone is no UTF-16: the 8-bit text ends there.
        {"one ASCII unit", "C\0\x80\x04\r\n"s, {}},
    };
    for (const auto& c : cases) EXPECT_EQ(Split(c.bytes), c.entries) << c.what;
}

TEST(ListFile, LineEndsAtLineFeedLessACrBeforeIt) {
    const struct {
        std::string_view bytes;
        Entries entries;
    } cases[] = {
        {"C:\\a.txt\r\nC:\\dir\\\r\n", {"C:\\a.txt", "C:\\dir\\"}},
        // LF alone ends a line too, and the name keeps its last letter.
        {"C:\\report2\nC:\\report\n", {"C:\\report2", "C:\\report"}},
        {"C:\\a\r\nC:\\b\nC:\\c\r\n", {"C:\\a", "C:\\b", "C:\\c"}},
        // Only the one CR right before the LF goes; other CRs are part of the name.
        {"a\r\r\nb\rc\n\rd\r\n", {"a\r", "b\rc", "\rd"}},
        // Blank lines stay as empty entries; blanks and quotes are kept verbatim.
        {"x\r\n\r\n \"y\" \r\n\n", {"x", "", " \"y\" ", ""}},
        {"\n", {""}},
        {"\r\n", {""}},
        // No entry after the last line feed.
        {"C:\\a.txt\r\nC:\\b.txt", {"C:\\a.txt"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Split(c.bytes), c.entries) << testing::PrintToString(c.bytes);
}

TEST(ListFile, EmptyOrUnterminatedFilesGiveNoEntries) {
    EXPECT_TRUE(Split("").empty());
    EXPECT_TRUE(Split("C:\\a.txt").empty());
    EXPECT_TRUE(Split("C:\\a.txt\r").empty());
}

TEST(ListFile, ZeroByteEndsTheText) {
    using namespace std::string_literals;
    EXPECT_EQ(Split("C:\\a\r\nC:\\b\r\n\0C:\\c\r\n"s), (Entries{"C:\\a", "C:\\b"}));
    EXPECT_EQ(Split("C:\\a\0\r\nC:\\b\r\n"s), (Entries{}));
    EXPECT_TRUE(Split("\0\n"s).empty());
}

TEST(ListFile, AnsiDecodingHappensAfterSplitting) {
    // The decoder sees each entry's raw bytes without the line end.
    std::vector<std::string> seen;
    const AnsiDecoder spy = [&](std::string_view bytes) {
        seen.emplace_back(bytes);
        return std::string("<") + std::string(bytes) + ">";
    };
    EXPECT_EQ(SplitListFile("ab\r\n\r\ncd\r\n", spy), (Entries{"<ab>", "<>", "<cd>"}));
    EXPECT_EQ(seen, (Entries{"ab", "", "cd"}));
}

TEST(ListFile, Utf8MarkIsSkippedAndEntriesStayUtf8) {
    EXPECT_EQ(Split("\xEF\xBB\xBF"
                    "C:\\Папка\\\r\nC:\\中文.txt\r\n"),
              (Entries{"C:\\Папка\\", "C:\\中文.txt"}));
    // The mark alone, or with an unterminated line: nothing.
    EXPECT_TRUE(Split("\xEF\xBB\xBF").empty());
    // A broken sequence is replaced, not passed on.
    EXPECT_EQ(Split("\xEF\xBB\xBF"
                    "a\xFF"
                    "b\r\n"),
              (Entries{"a\xEF\xBF\xBD"
                       "b"}));
    // An incomplete mark is no mark: the bytes are ANSI.
    EXPECT_EQ(Split("\xEF\xBB"
                    "x\r\n"),
              (Entries{"п»x"}));
}

TEST(ListFile, Utf16MarkAppliesTheRulesToUnits) {
    EXPECT_EQ(Split(Utf16Le(u"C:\\Папка\\\r\nC:\\\U0001F600.txt\r\nC:\\tail")),
              (Entries{"C:\\Папка\\", "C:\\\xF0\x9F\x98\x80.txt"}));
    // LF alone, or less a CR right before it; blank lines kept.
    EXPECT_EQ(Split(Utf16Le(u"ab\n\r\ncd\r\n\r\r\n")), (Entries{"ab", "", "cd", "\r"}));
    // A zero unit ends the text; a zero byte inside a unit does not.
    EXPECT_EQ(Split(Utf16Le(std::u16string_view(u"a\r\n\0b\r\n", 7))), (Entries{"a"}));
    EXPECT_EQ(Split(Utf16Le(u"\u0100\r\n")), (Entries{"\u0100"}));
    // An odd last byte is no unit.
    EXPECT_EQ(Split(Utf16Le(u"x\r\n") + "\n"), (Entries{"x"}));
    EXPECT_TRUE(Split("\xFF\xFE").empty());
    EXPECT_TRUE(Split("\xFF\xFE\n").empty());
}

// The UTF-16 rules the obvious way: decode all units, cut at the first zero unit, split.
Entries ReferenceUtf16Split(std::string_view bytes) {
    std::u16string units;
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
        const auto u = static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                             (static_cast<unsigned char>(bytes[i + 1]) << 8));
        if (u == 0) break;
        units.push_back(u);
    }
    Entries entries;
    std::size_t start = 0;
    for (std::size_t i = 0; i < units.size(); ++i) {
        if (units[i] != u'\n') continue;
        const std::size_t end = i > start && units[i - 1] == u'\r' ? i - 1 : i;
        entries.push_back(Utf16ToUtf8(units.substr(start, end - start)));
        start = i + 1;
    }
    return entries;
}

TEST(ListFile, Utf16AgreesWithTheReferenceOnRandomBytes) {
    // Bytes that form line feeds, zeros and surrogates in either half of a unit.
    const std::string alphabet(
        "\n\n\r\0\0\x04\xD8\xDC"
        "a",
        9);
    std::mt19937 random(7);
    for (int round = 0; round < 2000; ++round) {
        std::string bytes = "\xFF\xFE";
        const std::size_t length = random() % 64;
        for (std::size_t i = 0; i < length; ++i)
            bytes.push_back(alphabet[random() % alphabet.size()]);
        ASSERT_EQ(Split(bytes), ReferenceUtf16Split(bytes)) << testing::PrintToString(bytes);
    }
}

TEST(ListFile, ManyEntriesKeepTheirOrder) {
    std::string bytes;
    for (int i = 0; i < 1000; ++i) bytes += "C:\\f" + std::to_string(i) + "\r\n";
    const Entries entries = Split(bytes);
    ASSERT_EQ(entries.size(), 1000u);
    EXPECT_EQ(entries.front(), "C:\\f0");
    EXPECT_EQ(entries[517], "C:\\f517");
    EXPECT_EQ(entries.back(), "C:\\f999");
}

TEST(CommandLine, IniSwitchNeedsSlashIEquals) {
    EXPECT_EQ(IniSwitchValue("/i=x.ini"), "x.ini");
    EXPECT_EQ(IniSwitchValue("/I=x.ini"), "x.ini");
    EXPECT_EQ(IniSwitchValue("/i="), "");
    EXPECT_EQ(IniSwitchValue("/i==a=b"), "=a=b");
    for (const char* ignored : {"-i=x.ini", "/i x.ini", "/ix.ini", "/i:x.ini", "/j=x", "/i", ""}) {
        EXPECT_EQ(IniSwitchValue(ignored), std::nullopt) << ignored;
    }
}

TEST(CommandLine, NeedsListFileAndTarget) {
    EXPECT_EQ(ParseArguments({}), std::nullopt);
    EXPECT_EQ(ParseArguments({"velmora.exe"}), std::nullopt);
    EXPECT_EQ(ParseArguments({"velmora.exe", "list.tmp"}), std::nullopt);

    const auto two = ParseArguments({"velmora.exe", "list.tmp", "D:\\target"});
    ASSERT_TRUE(two);
    EXPECT_EQ(two->listFile, "list.tmp");
    EXPECT_EQ(two->targetDir, "D:\\target");
    EXPECT_EQ(two->iniFile, "");

    // The target is kept verbatim, separators and all.
    EXPECT_EQ(ParseArguments({"v", "l", "D:\\t\\\\"})->targetDir, "D:\\t\\\\");
    EXPECT_EQ(ParseArguments({"v", "l", ""})->targetDir, "");
}

TEST(CommandLine, ThirdArgumentMayNameAnIniFile) {
    EXPECT_EQ(ParseArguments({"v", "l", "t", "/I=links.ini"})->iniFile, "links.ini");
    EXPECT_EQ(ParseArguments({"v", "l", "t", "/i="})->iniFile, "");
    EXPECT_EQ(ParseArguments({"v", "l", "t", "/i:links.ini"})->iniFile, "");
    // Only the third argument counts; further ones are ignored.
    EXPECT_EQ(ParseArguments({"v", "l", "t", "/i=a.ini", "/i=b.ini"})->iniFile, "a.ini");
    EXPECT_EQ(ParseArguments({"v", "l", "t", "x", "/i=b.ini"})->iniFile, "");
}

}  // namespace
}  // namespace velmora
