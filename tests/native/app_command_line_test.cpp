#include <gtest/gtest.h>

#include <random>

#include "support/cp1251.h"
#include "text/command_line.h"

namespace velmora {
namespace {

using Entries = std::vector<std::string>;

Entries Split(std::string_view bytes) { return SplitListFile(bytes, test::Cp1251Decoder()); }

TEST(ListFile, SplitsAtLineFeedsDroppingTheByteBefore) {
    EXPECT_EQ(Split("C:\\a.txt\r\nC:\\dir\\\r\n"), (Entries{"C:\\a.txt", "C:\\dir\\"}));
    // No entry after the last line feed.
    EXPECT_EQ(Split("C:\\a.txt\r\nC:\\b.txt"), (Entries{"C:\\a.txt"}));
    // LF alone: the byte before it is dropped all the same.
    EXPECT_EQ(Split("C:\\a.txt\n"), (Entries{"C:\\a.tx"}));
    EXPECT_EQ(Split("a\n\n"), (Entries{"", ""}));
    // Blank lines stay as empty entries; blanks and quotes are kept verbatim.
    EXPECT_EQ(Split("x\r\n\r\n \"y\" \r\n"), (Entries{"x", "", " \"y\" "}));
    EXPECT_EQ(Split("\n"), (Entries{""}));
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

TEST(ListFile, AnsiEntriesAreDecodedFromTheCodePage) {
    const std::string bytes = test::EncodeCp1251("C:\\Документы\\отчёт.txt\r\nD:\\Фото\\\r\n");
    EXPECT_EQ(Split(bytes), (Entries{"C:\\Документы\\отчёт.txt", "D:\\Фото\\"}));
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

std::string Utf16Le(std::u16string_view text, bool mark = true) {
    std::string bytes = mark ? "\xFF\xFE" : "";
    for (const char16_t u : text) {
        bytes.push_back(static_cast<char>(u & 0xFF));
        bytes.push_back(static_cast<char>(u >> 8));
    }
    return bytes;
}

TEST(ListFile, Utf16MarkAppliesTheRulesToUnits) {
    EXPECT_EQ(Split(Utf16Le(u"C:\\Папка\\\r\nC:\\\U0001F600.txt\r\nC:\\tail")),
              (Entries{"C:\\Папка\\", "C:\\\xF0\x9F\x98\x80.txt"}));
    // Unit before LF dropped; blank lines kept.
    EXPECT_EQ(Split(Utf16Le(u"ab\n\r\ncd\r\n")), (Entries{"a", "", "cd"}));
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
        entries.push_back(Utf16ToUtf8(units.substr(start, i > start ? i - 1 - start : 0)));
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

TEST(CommandLine, DefaultHelpPathReplacesTheLastThreeCharacters) {
    EXPECT_EQ(DefaultHelpPath("C:\\Tools\\velmora.exe"), "C:\\Tools\\velmora.chm");
    EXPECT_EQ(DefaultHelpPath("C:\\Tools\\VELMORA.EXE"), "C:\\Tools\\VELMORA.chm");
    EXPECT_EQ(DefaultHelpPath("abc"), "chm");
    EXPECT_EQ(DefaultHelpPath("ab"), "");
    EXPECT_EQ(DefaultHelpPath(""), "");
    // Characters, not bytes: the result stays valid UTF-8.
    EXPECT_EQ(DefaultHelpPath("C:\\Программа.ехе"), "C:\\Программа.chm");
}

}  // namespace
}  // namespace velmora
