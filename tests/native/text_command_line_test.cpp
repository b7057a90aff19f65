#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <utility>

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
        {"one ASCII unit", "C\0\x80\x04\r\n"s, {"C"}},
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
        // The last line counts without a line end, less a CR at the very end; a CR alone
        // after the last line feed is no line.
        {"C:\\a.txt\r\nC:\\b.txt", {"C:\\a.txt", "C:\\b.txt"}},
        {"C:\\a.txt\r", {"C:\\a.txt"}},
        {"C:\\a\r\n\r", {"C:\\a"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Split(c.bytes), c.entries) << testing::PrintToString(c.bytes);
}

TEST(ListFile, ListsThatHoldLessThanTheySeemAreRefused) {
    using namespace std::string_literals;
    const struct {
        const char* what;
        std::string bytes;
        ListProblem problem;
        Entries entries;  // what was read
    } cases[] = {
        {"empty", "", ListProblem::NoEntry, {}},
        {"a UTF-8 mark alone", "\xEF\xBB\xBF", ListProblem::NoEntry, {}},
        {"a UTF-16 mark and a CR", "\xFF\xFE\r\0"s, ListProblem::NoEntry, {}},
        {"one blank line", "\r\n", ListProblem::None, {""}},
        {"zero in the middle", "C:\\a\r\nC:\\b\r\n\0C:\\c\r\n"s, ListProblem::ZeroByte,
         {"C:\\a", "C:\\b"}},
        {"zero inside the first line", "C:\\a\0\r\nC:\\b\r\n"s, ListProblem::ZeroByte, {"C:\\a"}},
        {"zero first", "\0\n"s, ListProblem::ZeroByte, {}},
        // Zeros at the very end cut nothing off.
        {"zeros at the end", "C:\\a\r\n\0\0"s, ListProblem::None, {"C:\\a"}},
        {"zero unit in UTF-16", Utf16Le(std::u16string_view(u"a\r\n\0b\r\n", 7)),
         ListProblem::ZeroByte, {"a"}},
        {"zero units at the end of UTF-16", Utf16Le(std::u16string_view(u"a\0\0", 3)),
         ListProblem::None, {"a"}},
        {"UTF-16 BE", "\xFE\xFF\0C\0:\0\\\0a\0\r\0\n"s, ListProblem::UnreadableEncoding, {}},
        {"UTF-32 LE", "\xFF\xFE\0\0C\0\0\0\r\0\0\0\n\0\0\0"s, ListProblem::UnreadableEncoding, {}},
        {"UTF-32 BE", "\0\0\xFE\xFF\0\0\0C\0\0\0\r\0\0\0\n"s, ListProblem::UnreadableEncoding, {}},
        // Without a mark a wide list is 8-bit text with zeros in it.
        {"UTF-32 LE without a mark", "C\0\0\0\n\0\0\0"s, ListProblem::ZeroByte, {"C"}},
        {"UTF-16 BE without a mark", "\0C\0\n"s, ListProblem::ZeroByte, {}},
    };
    for (const auto& c : cases) {
        const ListFile list = ReadListFile(c.bytes, test::Cp1251Decoder(), nullptr);
        EXPECT_EQ(list.problem, c.problem) << c.what;
        EXPECT_EQ(list.entries, c.entries) << c.what;
    }
}

// Windows-1252 for the bytes these tests use: ASCII, and A0 to FF, which it maps to U+00A0
// to U+00FF (only 80 to 9F differ from Latin-1).
std::string DecodeCp1252(std::string_view bytes) {
    std::string out;
    for (const char c : bytes) AppendUtf8(out, static_cast<unsigned char>(c));
    return out;
}

// The few characters of code page 936 the tests use; any other double byte is U+FFFD.
std::string DecodeCp936(std::string_view bytes) {
    static constexpr std::pair<std::string_view, std::string_view> kPairs[] = {
        {"\xCD\xBC", "图"}, {"\xC6\xAC", "片"}, {"\xCE\xC4", "文"}, {"\xBC\xFE", "件"}};
    std::string out;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if ((bytes[i] & 0x80) == 0) {
            out += bytes[i];
            continue;
        }
        const std::string_view pair = bytes.substr(i++, 2);
        const auto* hit = std::find_if(std::begin(kPairs), std::end(kPairs),
                                       [&](const auto& p) { return p.first == pair; });
        out += hit != std::end(kPairs) ? hit->second : "\xEF\xBF\xBD";
    }
    return out;
}

TEST(ListFile, ListThatReadsTwoWaysIsDecidedByTheFileSystem) {
    std::string sixteenMissing;  // 16 entries that read two ways, none of them there
    for (int i = 0; i < 16; ++i) sixteenMissing += "C:\\\xC2\xA9" + std::to_string(i) + "\r\n";
    const struct {
        const char* what;
        AnsiDecoder decode;
        std::string bytes;
        std::set<std::string, std::less<>> existing;
        std::string last;   // the last entry as read
        std::size_t asked;  // look-ups: two for each entry that reads two ways, up to 16
    } cases[] = {
        {"1252, the ANSI name exists", &DecodeCp1252, "C:\\x\\\xC2\xA9.txt\r\n",
         {"C:\\x\\Â©.txt"}, "C:\\x\\Â©.txt", 2},
        {"1252, the UTF-8 name exists", &DecodeCp1252, "C:\\x\\\xC2\xA9.txt\r\n",
         {"C:\\x\\©.txt"}, "C:\\x\\©.txt", 2},
        {"1252, both exist: a tie keeps UTF-8", &DecodeCp1252, "C:\\x\\\xC2\xA9.txt",
         {"C:\\x\\©.txt", "C:\\x\\Â©.txt"}, "C:\\x\\©.txt", 2},
        {"1252, neither exists", &DecodeCp1252, "C:\\x\\\xC2\xA9.txt", {}, "C:\\x\\©.txt", 2},
        // The ASCII entry before it reads alike both ways and is not asked about.
        {"1251, the ANSI name exists", test::Cp1251Decoder(), "C:\\a\r\nC:\\\xC2\xB2\r\n",
         {"C:\\a", "C:\\ВІ"}, "C:\\ВІ", 2},
        // A folder is asked about by its entry, the ending backslash included.
        {"936, a folder", &DecodeCp936, "D:\\\xCD\xBC\xC6\xAC\\\r\n", {"D:\\图片\\"}, "D:\\图片\\", 2},
        // 件's trail byte is no UTF-8: the list reads one way only, ANSI.
        {"936, not UTF-8", &DecodeCp936, "D:\\\xCE\xC4\xBC\xFE\r\n", {}, "D:\\文件", 0},
        {"1252, more names exist in ANSI", &DecodeCp1252,
         "C:\\\xC3\xA9\r\nC:\\\xC3\xA8\r\nC:\\\xC3\xA4\r\n", {"C:\\é", "C:\\Ã¨", "C:\\Ã¤"},
         "C:\\Ã¤", 6},
        // Only the first 16 entries that read two ways are asked about.
        {"1252, the 17th does not count", &DecodeCp1252, sixteenMissing + "C:\\\xC2\xA9x\r\n",
         {"C:\\Â©x"}, "C:\\©x", 32},
    };
    for (const auto& c : cases) {
        std::size_t asked = 0;
        const NameExists exists = [&](std::string_view name) {
            ++asked;
            return c.existing.count(name) != 0;
        };
        const ListFile list = ReadListFile(c.bytes, c.decode, exists);
        EXPECT_EQ(list.problem, ListProblem::None) << c.what;
        ASSERT_FALSE(list.entries.empty()) << c.what;
        EXPECT_EQ(list.entries.back(), c.last) << c.what;
        EXPECT_EQ(asked, c.asked) << c.what;
    }
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
              (Entries{"C:\\Папка\\", "C:\\\xF0\x9F\x98\x80.txt", "C:\\tail"}));
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

// The UTF-16 rules the obvious way: decode all units, cut at the first zero unit, split; the
// last line counts without a line end, less a CR.
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
    std::u16string_view last = std::u16string_view(units).substr(start);
    if (!last.empty() && last.back() == u'\r') last.remove_suffix(1);
    if (!last.empty()) entries.push_back(Utf16ToUtf8(last));
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
