#include <gtest/gtest.h>

#include "platform/utf.h"
#include "support/cp1251.h"

namespace velmora {
namespace {

constexpr std::string_view kFffd = "\xEF\xBF\xBD";

TEST(TextEncoding, RoundTripsEveryPlane) {
    const std::string text = "C:\\Папка\\файл ñ 中文 \xF0\x9F\x98\x80.txt";  // incl. U+1F600
    const std::u16string wide = Utf8ToUtf16(text);
    EXPECT_EQ(wide, u"C:\\Папка\\файл ñ 中文 \U0001F600.txt");
    EXPECT_EQ(Utf16ToUtf8(wide), text);
    EXPECT_TRUE(IsValidUtf8(text));
}

TEST(TextEncoding, IllFormedUtf8BecomesReplacementCharacters) {
    struct Case {
        std::string_view in;
        std::u16string_view out;
    } cases[] = {
        {"a\x80"
         "b",
         u"a\uFFFDb"},                                      // stray continuation byte
        {"a\xD0", u"a\uFFFD"},                              // truncated at the end
        {"\xC0\x80", u"\uFFFD\uFFFD"},                      // overlong NUL
        {"\xE0\x80\xAF", u"\uFFFD\uFFFD\uFFFD"},            // overlong
        {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},            // encoded surrogate
        {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},  // beyond U+10FFFF
        {"\xF5x", u"\uFFFDx"},
        {"\xE2\x82x", u"\uFFFDx"},  // a broken sequence does not swallow the next letter
        {std::string_view("a\0b", 3), std::u16string_view(u"a\0b", 3)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Utf8ToUtf16(c.in), c.out) << testing::PrintToString(std::string(c.in));
        EXPECT_EQ(MakeValidUtf8(c.in), Utf16ToUtf8(c.out));
    }
    EXPECT_FALSE(IsValidUtf8("a\x80"));
    EXPECT_TRUE(IsValidUtf8(kFffd));  // a written-out U+FFFD is valid text
}

TEST(TextEncoding, LoneSurrogatesInUtf16BecomeReplacementCharacters) {
    const char16_t high[] = {u'a', 0xD83D, u'b', 0};
    const char16_t low[] = {0xDE00, u'x', 0};
    const char16_t highAtEnd[] = {u'z', 0xD83D, 0};
    EXPECT_EQ(Utf16ToUtf8(high), "a" + std::string(kFffd) + "b");
    EXPECT_EQ(Utf16ToUtf8(low), std::string(kFffd) + "x");
    EXPECT_EQ(Utf16ToUtf8(highAtEnd), "z" + std::string(kFffd));
}

TEST(TextEncoding, LittleEndianBytesIgnoreAnOddLastByte) {
    const std::string bytes(
        "\x1F\x04\x40\x04\x3D\xD8\x00\xDE"
        "X",
        9);  // "Пр" U+1F600, stray
    EXPECT_EQ(Utf16LeBytesToUtf8(bytes), "Пр\xF0\x9F\x98\x80");
    EXPECT_EQ(Utf16LeBytesToUtf8(""), "");
}

TEST(TextEncoding, Cp1251DecodesAndEncodesCyrillic) {
    const std::string bytes = "\xCF\xF0\xE8\xE2\xE5\xF2, \xA8\xB8 \xB9";  // Привет, Ёё №
    EXPECT_EQ(test::DecodeCp1251(bytes), "Привет, Ёё №");
    EXPECT_EQ(test::EncodeCp1251("Привет, Ёё №"), bytes);
    EXPECT_EQ(test::DecodeCp1251("\x98"), kFffd);
    EXPECT_EQ(test::EncodeCp1251("中"), "?");
}

}  // namespace
}  // namespace velmora
