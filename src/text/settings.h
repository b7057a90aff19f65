// The program's settings: nine values in the profile section "Settings".
#pragma once

#include <string>
#include <string_view>

#include "platform/profile.h"

namespace velmora {

namespace settings_key {
inline constexpr std::string_view kSection = "Settings";
inline constexpr std::string_view kLanguageFile = "LanguageFile";
inline constexpr std::string_view kHelpFile = "HelpFile";
inline constexpr std::string_view kSaveWindowPos = "SaveWindowPos";
inline constexpr std::string_view kSaveRecursionDepth = "SaveRecursionDepth";
inline constexpr std::string_view kDefaultRecursionDepth = "DefaultRecursionDepth";
// The main dialog's last window rectangle; -1 (the default) means not stored.
inline constexpr std::string_view kPosLeft = "PosLeft";
inline constexpr std::string_view kPosRight = "PosRight";
inline constexpr std::string_view kPosTop = "PosTop";
inline constexpr std::string_view kPosBottom = "PosBottom";
}  // namespace settings_key

// The five values read at start-up; the window rectangle is read by the main dialog itself.
struct Settings {
    std::string languageFile;  // empty: the built-in texts
    std::string helpFile;      // empty: the default help path
    bool saveWindowPos = false;
    bool saveRecursionDepth = false;
    int defaultRecursionDepth = 0;  // not range-checked here
};

// Reads LanguageFile, HelpFile, SaveWindowPos, SaveRecursionDepth, DefaultRecursionDepth,
// in that order; an absent value gives its default, a stored non-zero flag reads as on.
Settings ReadSettings(IProfile& profile);

// Writes SaveRecursionDepth, DefaultRecursionDepth, SaveWindowPos, LanguageFile, HelpFile,
// in that order, every one of them even after a failure; false when any write failed.
bool WriteSettings(IProfile& profile, const Settings& settings);

}  // namespace velmora
