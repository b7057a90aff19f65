#include <gtest/gtest.h>

#include <climits>

#include "support/memory_profile.h"
#include "text/settings.h"
#include "text/version.h"

namespace velmora {
namespace {

using test::MemoryProfile;
using Log = std::vector<std::string>;

TEST(Settings, FreshProfileGivesTheDefaultsInTheFixedOrder) {
    MemoryProfile profile;
    const Settings s = ReadSettings(profile);
    EXPECT_EQ(s.languageFile, "");
    EXPECT_EQ(s.helpFile, "");
    EXPECT_FALSE(s.saveWindowPos);
    EXPECT_FALSE(s.saveRecursionDepth);
    EXPECT_EQ(s.defaultRecursionDepth, 0);
    EXPECT_EQ(profile.Log(), (Log{"read Settings/LanguageFile", "read Settings/HelpFile",
                                  "read Settings/SaveWindowPos", "read Settings/SaveRecursionDepth",
                                  "read Settings/DefaultRecursionDepth"}));
    EXPECT_TRUE(profile.Values().empty());
}

TEST(Settings, StoredValuesAreReadUnchanged) {
    MemoryProfile profile;
    profile.Set("Settings", "LanguageFile", std::string("English.lng"));
    profile.Set("Settings", "HelpFile", std::string("C:\\Help\\Мой.chm"));
    profile.Set("Settings", "SaveWindowPos", 7);  // any non-zero value is on
    profile.Set("Settings", "SaveRecursionDepth", -1);
    profile.Set("Settings", "DefaultRecursionDepth", 999);
    profile.Set("Other", "DefaultRecursionDepth", 9);
    const Settings s = ReadSettings(profile);
    EXPECT_EQ(s.languageFile, "English.lng");
    EXPECT_EQ(s.helpFile, "C:\\Help\\Мой.chm");
    EXPECT_TRUE(s.saveWindowPos);
    EXPECT_TRUE(s.saveRecursionDepth);
    EXPECT_EQ(s.defaultRecursionDepth, 999);
}

TEST(Settings, StoredDepthIsBroughtIntoTheUpDownRange) {
    // 1215752191 is what the INI reader makes of 99999999999 (it wraps at 32 bits).
    const struct {
        int stored, read;
    } cases[] = {{1215752191, 1000}, {1001, 1000}, {1000, 1000}, {-1, -1},
                 {-2, -1},           {INT_MIN, -1}, {INT_MAX, 1000}, {0, 0}};
    for (const auto& c : cases) {
        MemoryProfile profile;
        profile.Set("Settings", "DefaultRecursionDepth", c.stored);
        EXPECT_EQ(ReadSettings(profile).defaultRecursionDepth, c.read) << c.stored;
    }
}

TEST(Settings, WriteStoresAllFiveInTheDialogsOrder) {
    MemoryProfile profile;
    const Settings in{"Russian.lng", "help.chm", true, false, -1};
    EXPECT_TRUE(WriteSettings(profile, in));
    EXPECT_EQ(profile.Log(),
              (Log{"write Settings/SaveRecursionDepth", "write Settings/DefaultRecursionDepth",
                   "write Settings/SaveWindowPos", "write Settings/LanguageFile",
                   "write Settings/HelpFile"}));
    // Flags are stored as 0 and 1.
    EXPECT_EQ(std::get<int>(profile.Values().at({"Settings", "SaveWindowPos"})), 1);
    EXPECT_EQ(std::get<int>(profile.Values().at({"Settings", "SaveRecursionDepth"})), 0);
    const Settings out = ReadSettings(profile);
    EXPECT_EQ(out.languageFile, in.languageFile);
    EXPECT_EQ(out.helpFile, in.helpFile);
    EXPECT_EQ(out.saveWindowPos, in.saveWindowPos);
    EXPECT_EQ(out.saveRecursionDepth, in.saveRecursionDepth);
    EXPECT_EQ(out.defaultRecursionDepth, in.defaultRecursionDepth);
}

TEST(Settings, EveryWriteIsAttemptedAndAnyFailureIsReported) {
    MemoryProfile profile;
    profile.SetFailWrites(true);
    EXPECT_FALSE(WriteSettings(profile, Settings{}));
    EXPECT_EQ(profile.Log().size(), 5u);
    EXPECT_TRUE(profile.Values().empty());

    // One failing key early on: the later ones are still written.
    for (const char* key : {"SaveRecursionDepth", "SaveWindowPos", "HelpFile"}) {
        MemoryProfile one;
        one.SetFailingKey(key);
        EXPECT_FALSE(WriteSettings(one, Settings{"a.lng", "b.chm", true, true, 3})) << key;
        EXPECT_EQ(one.Values().size(), 4u) << key;
        EXPECT_EQ(one.Values().count({"Settings", key}), 0u) << key;
    }
}

TEST(Settings, RelativeFileNamesAreTakenAgainstTheProgramsFolder) {
    const struct {
        std::string_view folder, name, file;
    } cases[] = {
        {"C:\\Tools\\Velmora", "English.lng", "C:\\Tools\\Velmora\\English.lng"},
        {"C:\\Tools\\Velmora\\", "help\\velmora_en.chm",
         "C:\\Tools\\Velmora\\help\\velmora_en.chm"},
        {"C:\\Tools\\Velmora", "..\\Shared\\x.lng", "C:\\Tools\\Velmora\\..\\Shared\\x.lng"},
        {"C:\\", "x.lng", "C:\\x.lng"},
        // Full names stay as they are.
        {"C:\\Tools\\Velmora", "D:\\Lang\\x.lng", "D:\\Lang\\x.lng"},
        {"C:\\Tools\\Velmora", "d:/Lang/x.lng", "d:/Lang/x.lng"},
        {"C:\\Tools\\Velmora", "\\\\server\\share\\x.chm", "\\\\server\\share\\x.chm"},
        {"C:\\Tools\\Velmora", "\\\\?\\C:\\x.chm", "\\\\?\\C:\\x.chm"},
        {"C:\\Tools\\Velmora", "", ""},
        {"", "x.lng", "x.lng"},
        // From the root of the program's drive or share.
        {"C:\\Tools\\Velmora", "\\Lang\\x.lng", "C:\\Lang\\x.lng"},
        {"\\\\server\\share\\Tools", "\\x.lng", "\\\\server\\share\\x.lng"},
        {"\\\\server\\share\\Tools", "x.lng", "\\\\server\\share\\Tools\\x.lng"},
        // A drive without a root: the program's folder on its own drive, else that drive's root.
        {"C:\\Tools\\Velmora", "c:x.lng", "C:\\Tools\\Velmora\\x.lng"},
        {"C:\\Tools\\Velmora", "D:x.lng", "D:\\x.lng"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SettingsFileName(c.folder, c.name), c.file) << c.folder << " + " << c.name;
}

TEST(Settings, PickedFileIsStoredRelativeOnlyInsideTheProgramsFolder) {
    const struct {
        std::string_view folder, picked, stored;
    } cases[] = {
        {"C:\\Tools\\Velmora", "C:\\Tools\\Velmora\\English.lng", "English.lng"},
        {"C:\\Tools\\Velmora\\", "C:\\Tools\\Velmora\\lang\\Русский.lng", "lang\\Русский.lng"},
        {"C:\\Tools\\Velmora", "c:\\TOOLS\\velmora\\help.chm", "help.chm"},
        {"C:\\", "C:\\x.chm", "x.chm"},
        {"\\\\server\\share\\Velmora", "\\\\SERVER\\share\\Velmora\\x.chm", "x.chm"},
        // Outside: the full name.
        {"C:\\Tools\\Velmora", "C:\\Tools\\VelmoraOld\\x.chm", "C:\\Tools\\VelmoraOld\\x.chm"},
        {"C:\\Tools\\Velmora", "C:\\Tools\\x.chm", "C:\\Tools\\x.chm"},
        {"C:\\Tools\\Velmora", "D:\\Tools\\Velmora\\x.chm", "D:\\Tools\\Velmora\\x.chm"},
        {"C:\\Tools\\Velmora", "C:\\Tools\\Velmora\\", "C:\\Tools\\Velmora\\"},
        {"", "C:\\x.chm", "C:\\x.chm"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(StoredSettingsFileName(c.folder, c.picked), c.stored)
            << c.folder << " / " << c.picked;
    // What is stored names the picked file again.
    EXPECT_EQ(SettingsFileName(
                  "C:\\Tools\\Velmora",
                  StoredSettingsFileName("C:\\Tools\\Velmora", "C:\\Tools\\Velmora\\a\\b.lng")),
              "C:\\Tools\\Velmora\\a\\b.lng");
}

TEST(Version, DigitsAfterTheFirstDotRunTogether) {
    EXPECT_EQ(FormatVersion(1, 1, 0, 0), "1.1");
    EXPECT_EQ(FormatVersion(1, 2, 3, 0), "1.23");
    EXPECT_EQ(FormatVersion(1, 2, 0, 4), "1.204");
    EXPECT_EQ(FormatVersion(1, 2, 3, 4), "1.234");
    EXPECT_EQ(FormatVersion(2, 0, 1, 0), "2.01");
    EXPECT_EQ(FormatVersion(0, 0, 0, 0), "0.0");
    EXPECT_EQ(FormatVersion(65535, 65535, 65535, 65535), "65535.655356553565535");
}

}  // namespace
}  // namespace velmora
