#include <gtest/gtest.h>

#include <cstdint>
#include <optional>

#include "text/safe_format.h"
#include "text/texts.h"

namespace velmora {
namespace {

TEST(SafeFormat, MatchingTranslationIsUsed) {
    EXPECT_EQ(SafeFormat("Links for %d items", BuiltinText(txt::kCaptionSeveral), {3}),
              "Links for 3 items");
    EXPECT_EQ(SafeFormat("Link for \"%s\" in:", BuiltinText(txt::kCaptionOneFile), {"a.txt"}),
              "Link for \"a.txt\" in:");
    // Integer kinds are interchangeable; "%%" is no conversion.
    EXPECT_EQ(SafeFormat("100%% done, code %u (%X)", "%d%d", {255, 255}),
              "100% done, code 255 (FF)");
    EXPECT_EQ(SafeFormat("%s: %i", "%s %d", {"a", -4}), "a: -4");
}

TEST(SafeFormat, MismatchingTranslationFallsBackToTheBuiltinText) {
    const std::string_view builtin = "Copied %d of %s";
    struct Case {
        const char* format;
        const char* why;
    } cases[] = {
        {"%s of %d", "kinds swapped"},
        {"%d", "a conversion missing"},
        {"%d %s %d", "an extra conversion"},
        {"%d %s %s", "an extra string would read past the arguments"},
        {"%n%s", "%n writes memory"},
        {"%d %p", "%p"},
        {"%d %ls", "wide string"},
        {"%*d %s", "star width reads an argument"},
        {"%d %.*s", "star precision"},
        {"%d %f", "floating point"},
        {"%lld %S", "unknown conversion"},
        {"%hhd %s", "hh"},
        {"%jd %s", "j"},
        {"%d %s %", "trailing percent"},
        {"%", "a lone percent"},
        {"%999999999d %s", "huge width"},
        {"%d %.99999s", "huge precision"},
        {"%d %4097s", "width just above the cap"},
        {"%1$d %2$s", "positional"},
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(ConversionsMatch(c.format, builtin)) << c.why;
        EXPECT_EQ(SafeFormat(c.format, builtin, {7, "x"}), "Copied 7 of x") << c.why;
    }
}

TEST(TextCatalog, FindsTheTablesTextAndFormatsItOnlyWhereItFits) {
    const TextCatalog texts({{105, "Cannot link\n%s"}, {106, "%d"}, {151, ""}});
    EXPECT_EQ(texts.Find(151), "");  // an empty text is held too
    EXPECT_EQ(texts.Find(4), std::nullopt);
    // The last argument on a line of its own; 106 does not fit, 107 is not in the table.
    EXPECT_EQ(texts.FormatWithLastLine(105, "a.txt", "Denied."), "Cannot link\na.txt\nDenied.");
    EXPECT_EQ(texts.FormatWithLastLine(106, "a", "-"), "Ошибка при создании ссылки для каталога\na\n-");
    EXPECT_EQ(texts.FormatWithLastLine(107, "a", "-"), "Ошибка при создании каталога\na\n-");
}

TEST(SafeFormat, ConversionsMatchIsSymmetricAndNeedsBothWellFormed) {
    EXPECT_TRUE(ConversionsMatch("", ""));
    EXPECT_TRUE(ConversionsMatch("plain", "other plain"));
    EXPECT_TRUE(ConversionsMatch("%%", "no conversion"));
    EXPECT_TRUE(ConversionsMatch("%-+ #05.3lld|%c|%hx|%ls", "%d%d%d%s") == false);
    EXPECT_TRUE(ConversionsMatch("%-+ #05.3lld|%c|%hx|%s", "%d%d%d%s"));
    EXPECT_FALSE(ConversionsMatch("%d", "%n"));
    EXPECT_FALSE(ConversionsMatch("x", "%"));
    EXPECT_TRUE(ConversionsMatch("%4096d", "%d"));
}

TEST(SafeFormat, IntegerConversionsFollowTheRuntime) {
    EXPECT_EQ(SafeFormat("[%5d|%-5d|%05d|%+d|% d]", "%d%d%d%d%d", {42, 42, -42, 42, 42}),
              "[   42|42   |-0042|+42| 42]");
    EXPECT_EQ(SafeFormat("[%.3d|%.0d|%8.3d]", "%d%d%d", {7, 0, -7}), "[007||    -007]");
    EXPECT_EQ(SafeFormat("[%x|%#x|%#X|%#x|%08X]", "%d%d%d%d%d", {255, 255, 255, 0, 48879}),
              "[ff|0xff|0XFF|0|0000BEEF]");
    // Without "ll" a negative value prints as the runtime's 32-bit int would.
    EXPECT_EQ(SafeFormat("%u %x %llx", "%d%d%d", {-1, -1, -1}),
              "4294967295 ffffffff ffffffffffffffff");
    EXPECT_EQ(SafeFormat("%d", "%d", {INT64_MIN}), "-9223372036854775808");
    EXPECT_EQ(SafeFormat("%hd %hu", "%d%d", {70000, -1}), "4464 65535");
    // A system error code as large as Windows makes them.
    EXPECT_EQ(SafeFormat("%d", "%d", {2147942405LL}), "2147942405");
}

TEST(SafeFormat, StringAndCharacterConversionsCountCharacters) {
    EXPECT_EQ(SafeFormat("[%6s|%-6s]", "%s%s", {"абв", "ab"}), "[   абв|ab    ]");
    // Precision never splits a character.
    EXPECT_EQ(SafeFormat("[%.2s]", "%s", {"Жук"}), "[Жу]");
    EXPECT_EQ(SafeFormat("[%.9s]", "%s", {"ab"}), "[ab]");
    EXPECT_EQ(SafeFormat("[%c%3c]", "%d%d", {'A', 0x416}), "[A  Ж]");
    EXPECT_EQ(SafeFormat("[%c]", "%d", {0x110000}), "[\xEF\xBF\xBD]");
    // Arguments are copied verbatim, "%" included: they are never formats.
    EXPECT_EQ(SafeFormat("%s", "%s", {"%n%s%d"}), "%n%s%d");
}

TEST(SafeFormat, WidthIsCapped) {
    EXPECT_EQ(SafeFormat("%4096d", "%d", {1}).size(), 4096u);
    EXPECT_EQ(SafeFormat("%.4096d", "%d", {1}).size(), 4096u);
}

TEST(SafeFormat, BuiltinThatDoesNotTakeTheArgumentsIsLeftUnfilled) {
    EXPECT_EQ(SafeFormat("%d", "%d", {"text"}), "%d");
    EXPECT_EQ(SafeFormat("%d", "%d", {}), "%d");
    EXPECT_EQ(SafeFormat("%d", "%d %d", {1}), "%d %d");
    EXPECT_EQ(SafeFormat("x", "plain", {1}), "plain");
    EXPECT_EQ(SafeFormat("%d", "%n", {1}), "%n");
}

TEST(SafeFormat, EveryBuiltinFormatTakesItsDocumentedArguments) {
    EXPECT_EQ(
        SafeFormat(BuiltinText(txt::kCaptionOneFile), BuiltinText(txt::kCaptionOneFile), {"a.txt"}),
        "&Создать ссылку для \"a.txt\" в:");
    EXPECT_EQ(SafeFormat(BuiltinText(txt::kCommandFailed), BuiltinText(txt::kCommandFailed), {5}),
              "Не удалось выполнить команду.\nКод ошибки: 5.");
    EXPECT_EQ(SafeFormat(BuiltinText(txt::kBatchCounts), BuiltinText(txt::kBatchCounts), {10, 2}),
              "Создано ссылок: 10, каталогов: 2");
    for (const TextId id : {txt::kFileLinkError, txt::kFolderLinkError, txt::kFolderError}) {
        const std::string builtin = std::string(BuiltinText(id)) + "\n%s";
        EXPECT_EQ(SafeFormat(builtin, builtin, {"C:\\x", "Access is denied."}).find("%"),
                  std::string::npos);
    }
}

TEST(SafeFormat, AmpersandsOfANameShowAsThemselvesInALabel) {
    const struct {
        std::string_view name, argument;
    } cases[] = {
        {"Tom & Jerry.txt", "Tom && Jerry.txt"},
        {"&&", "&&&&"},
        {"&", "&&"},
        {"report.txt", "report.txt"},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(WithLiteralAmpersands(c.name), c.argument) << c.name;
}

}  // namespace
}  // namespace velmora
