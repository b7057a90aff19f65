#include <gtest/gtest.h>

#include "ui/hyperlink_rules.h"
#include "ui/link_rules.h"
#include "ui/settings_rules.h"
#include "ui/window_rect.h"

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

TEST(MainDialogFields, CaptionAndTargetForEachFormOfTheList) {
    const struct {
        std::vector<std::string> paths;
        LanguageTable table;
        std::string caption, target;
    } cases[] = {
        {{"C:\\Data\\report.txt"},
         {},
         "&Создать ссылку для \"report.txt\" в:",
         "D:\\Links\\report.txt"},
        {{"C:\\Data\\Photos\\"},
         {},
         "&Создать ссылки для выделенных файлов (1 шт.) в:",
         "D:\\Links\\*.*"},
        {{"C:/Data/Photos/"},
         {},
         "&Создать ссылки для выделенных файлов (1 шт.) в:",
         "D:\\Links\\*.*"},
        {{"C:\\a", "C:\\b\\", "C:\\c"},
         {},
         "&Создать ссылки для выделенных файлов (3 шт.) в:",
         "D:\\Links\\*.*"},
        {{}, {}, "&Создать ссылки для выделенных файлов (0 шт.) в:", "D:\\Links\\*.*"},
        {{"bare.txt"}, {}, "&Создать ссылку для \"bare.txt\" в:", "D:\\Links\\bare.txt"},
        // The name's own ampersands show as themselves, not as access keys.
        {{"C:\\Data\\Tom & Jerry.txt"},
         {},
         "&Создать ссылку для \"Tom && Jerry.txt\" в:",
         "D:\\Links\\Tom & Jerry.txt"},
        {{""}, {}, "&Создать ссылку для \"\" в:", "D:\\Links\\"},
        // The table's format only when its conversions match: a %s where the number goes
        // would read an argument that was never passed.
        {{"C:\\a", "C:\\b"},
         {{5, "Link \"%s\" into:"}, {6, "Links for %d items into:"}},
         "Links for 2 items into:",
         "D:\\Links\\*.*"},
        {{"C:\\a", "C:\\b"},
         {{6, "Links for %s items into:"}},
         "&Создать ссылки для выделенных файлов (2 шт.) в:",
         "D:\\Links\\*.*"},
        {{"C:\\report.txt"},
         {{5, "%s%s%n"}},
         "&Создать ссылку для \"report.txt\" в:",
         "D:\\Links\\report.txt"},
    };
    for (const auto& c : cases) {
        // A target folder given with or without its backslash.
        for (const char* target : {"D:\\Links\\", "D:\\Links"}) {
            const LinkDialogFields fields =
                MainDialogFields(c.paths, target, true, TextCatalog(c.table));
            EXPECT_EQ(fields.caption, c.caption) << c.target;
            EXPECT_EQ(fields.target, c.target) << c.caption;
        }
    }
    // A target that names no folder is taken as it stands.
    EXPECT_EQ(MainDialogFields({"C:\\a", "C:\\b"}, "D:\\copy_", false, TextCatalog()).target,
              "D:\\copy_*.*");
}

TEST(AboutLines, TheTableReplacesOnlyTheLinesItHoldsEachInItsOwnForm) {
    // Title, program, version, developer, affiliation, home label; "-": the template's line.
    const auto shown = [](const LanguageTable& table, std::string_view version) {
        const about::Lines l = about::LanguageLines(TextCatalog(table), version);
        std::string all;
        for (const auto& line : {l.title, l.program, std::optional(l.version), l.developer,
                                 l.affiliation, l.homeLabel})
            all += line.value_or("-") + "|";
        return all;
    };
    EXPECT_EQ(shown({}, "1.1"), "-|-|Версия: 1.1|-|-|-|");
    EXPECT_EQ(shown({}, ""), "-|-|Версия: |-|-|-|");  // the built-in text ends with its blank
    EXPECT_EQ(shown({{153, "Version:"}}, ""), "-|-|Version: |-|-|-|");
    EXPECT_EQ(shown({{150, "About"},
                     {152, "Program:"},
                     {153, "Version:"},
                     {154, "Developer:"},
                     {156, "Home:"}},
                    "1.1"),
              "About|Program: Velmora|Version: 1.1|Developer: Tarnwell|Tarnwell, 2026|Home:|");
    // Present but empty is still present.
    EXPECT_EQ(shown({{150, ""}, {152, ""}, {153, ""}, {154, ""}, {156, ""}}, "1.1"),
              "| Velmora| 1.1| Tarnwell|Tarnwell, 2026||");
}

TEST(SettingsRules, BrowserStartsInAFolderThatEndsWithABackslash) {
    EXPECT_EQ(BrowseInitialName("C:\\Lang\\", "*.lng"), "C:\\Lang\\*.lng");
    EXPECT_EQ(BrowseInitialName("D:\\Help\\", "*.chm"), "D:\\Help\\*.chm");
    EXPECT_EQ(BrowseInitialName("", "*.lng"), "");
    EXPECT_EQ(BrowseInitialName("English.lng", "*.lng"), "English.lng");
    EXPECT_EQ(BrowseInitialName("C:\\Lang", "*.lng"), "C:\\Lang");
    EXPECT_EQ(BrowseInitialName("lang\\", "*.lng"), "lang\\*.lng");
}

TEST(HelpRules, HelpAsksForTheTopicWithoutBlankOrQuotes) {
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

TEST(WindowRect, RestoredOnlyWhereTheUserCanReachIt) {
    // Two monitors side by side, the right one with a task bar of 40 pixels at its top.
    const std::vector<WindowRect> areas = {{0, 0, 1024, 728}, {1024, 40, 2048, 768}};
    const int ownWidth = 410, ownHeight = 160, title = 25;
    const struct {
        const char* what;
        WindowRect rect;
        bool reachable;
    } cases[] = {
        {"at (0,0) with the dialog's own size", {0, 0, 410, 160}, true},
        {"larger than the dialog", {100, 50, 700, 400}, true},
        {"on the second monitor", {1100, 40, 1510, 200}, true},
        {"lower edge below the screen", {100, 700, 510, 860}, true},
        {"narrower than the dialog", {100, 50, 400, 210}, false},
        {"lower than the dialog", {100, 50, 510, 200}, false},
        {"10 x 9 pixels", {100, 50, 110, 59}, false},
        {"empty", {100, 50, 100, 50}, false},
        {"upside down", {510, 210, 100, 50}, false},
        {"size overflows", {INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX}, false},
        {"title bar above the screen", {100, -5, 510, 155}, false},
        {"title bar under the second monitor's task bar", {1100, 30, 1510, 190}, false},
        {"title bar across both monitors", {800, 100, 1210, 260}, false},
        {"title bar partly off the left", {-20, 100, 390, 260}, false},
        {"title bar below the work area", {100, 710, 510, 870}, false},
        {"off every monitor", {5000, 5000, 5410, 5160}, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsReachable(c.rect, ownWidth, ownHeight, title, areas), c.reachable) << c.what;
    EXPECT_FALSE(IsReachable({0, 0, 410, 160}, ownWidth, ownHeight, title, {})) << "no monitor";
}

TEST(HelpRules, DefaultHelpPathReplacesTheLastThreeCharacters) {
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
