#include <gtest/gtest.h>

#include "text/texts.h"
#include "ui/hyperlink_rules.h"
#include "ui/settings_rules.h"

namespace velmora {
namespace {

constexpr std::string_view kAddress = "https://tarnwell.example/velmora/";

TEST(FallbackCommand, CutsAtTheQuotedPlaceholderAndAppendsTheAddressUnquoted) {
    EXPECT_EQ(BuildFallbackCommand(R"("C:\Program Files\Web\web.exe" "%1")", kAddress),
              R"("C:\Program Files\Web\web.exe"  https://tarnwell.example/velmora/)");
    // Text after the quoted placeholder goes too.
    EXPECT_EQ(BuildFallbackCommand(R"("web.exe" "%1" -new-tab)", kAddress),
              R"("web.exe"  https://tarnwell.example/velmora/)");
}

TEST(FallbackCommand, CutsAtTheBarePlaceholderDroppingATrailingSwitch) {
    EXPECT_EQ(BuildFallbackCommand(R"(C:\Web\web.exe %1 -nohome)", kAddress),
              R"(C:\Web\web.exe  https://tarnwell.example/velmora/)");
}

TEST(FallbackCommand, QuotedPlaceholderWinsOverAnEarlierBareOne) {
    EXPECT_EQ(BuildFallbackCommand(R"(web.exe -log=%1.txt "%1")", "x"),
              R"(web.exe -log=%1.txt  x)");
}

TEST(FallbackCommand, WithoutPlaceholderTheAddressIsAppended) {
    EXPECT_EQ(BuildFallbackCommand(R"("C:\Web\web.exe" -new)", kAddress),
              R"("C:\Web\web.exe" -new https://tarnwell.example/velmora/)");
    EXPECT_EQ(BuildFallbackCommand("", "a"), " a");
    // A lone percent sign or %2 is no placeholder.
    EXPECT_EQ(BuildFallbackCommand("web.exe 100% %2", "a"), "web.exe 100% %2 a");
}

TEST(FallbackCommand, NonAsciiProgramPathIsKeptWhole) {
    EXPECT_EQ(BuildFallbackCommand("\"C:\\Программы\\веб.exe\" \"%1\"", "a"),
              "\"C:\\Программы\\веб.exe\"  a");
}

TEST(AboutLines, VersionLineWithAndWithoutTheLanguageText) {
    EXPECT_EQ(about::VersionLine(false, "", "1.1"), "Версия: 1.1");
    EXPECT_EQ(about::VersionLine(true, "Version:", "1.1"), "Version: 1.1");
    // The built-in text already ends with its blank; a language text gets one.
    EXPECT_EQ(about::VersionLine(false, "", ""), "Версия: ");
    EXPECT_EQ(about::VersionLine(true, "Version:", ""), "Version: ");
    // Present but empty is still present.
    EXPECT_EQ(about::VersionLine(true, "", "1.1"), " 1.1");
    // The fallback is the built-in text of the version line.
    EXPECT_EQ(about::VersionLine(false, "", "2.0"),
              std::string(BuiltinText(txt::kAboutVersion)) + "2.0");
}

TEST(SettingsRules, BrowserStartsInAFolderThatEndsWithABackslash) {
    EXPECT_EQ(BrowseInitialName("C:\\Lang\\", "*.lng"), "C:\\Lang\\*.lng");
    EXPECT_EQ(BrowseInitialName("D:\\Help\\", "*.chm"), "D:\\Help\\*.chm");
    EXPECT_EQ(BrowseInitialName("", "*.lng"), "");
    EXPECT_EQ(BrowseInitialName("English.lng", "*.lng"), "English.lng");
    EXPECT_EQ(BrowseInitialName("C:\\Lang", "*.lng"), "C:\\Lang");
    EXPECT_EQ(BrowseInitialName("lang\\", "*.lng"), "lang\\*.lng");
}

TEST(SettingsRules, HelpAsksForTheTopicWithoutBlankOrQuotes) {
    const std::string_view file = "C:\\Program Files\\Velmora\\velmora.chm";
    EXPECT_EQ(HelpTopicArgument(file, "prog_settings.htm"),
              "C:\\Program Files\\Velmora\\velmora.chm::/prog_settings.htm");
    EXPECT_EQ(HelpTopicArgument(file, "error_prompt.htm"),
              "C:\\Program Files\\Velmora\\velmora.chm::/error_prompt.htm");
    EXPECT_EQ(HelpTopicArgument(file, ""), file);  // the start page
}

TEST(SettingsRules, LanguageNoticeOnlyAfterASuccessfulOkThatChangedTheText) {
    EXPECT_FALSE(LanguageNoticeNeeded(true, false, "English.lng", "English.lng"));
    EXPECT_TRUE(LanguageNoticeNeeded(true, false, "", "English.lng"));
    EXPECT_TRUE(LanguageNoticeNeeded(true, false, "English.lng", ""));
    // Byte for byte: another letter case or an absolute form of the same file counts.
    EXPECT_TRUE(LanguageNoticeNeeded(true, false, "English.lng", "english.lng"));
    EXPECT_TRUE(LanguageNoticeNeeded(true, false, "English.lng", "C:\\Velmora\\English.lng"));
    // A failed write, or Cancel: no notice.
    EXPECT_FALSE(LanguageNoticeNeeded(true, true, "", "English.lng"));
    EXPECT_FALSE(LanguageNoticeNeeded(false, false, "", "English.lng"));
}

}  // namespace
}  // namespace velmora
