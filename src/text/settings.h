// The program's settings: nine values in the profile section "Settings".
#pragma once

#include <optional>
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

// The range the depth's up-down controls offer: -1 (every level) to 1000.
inline constexpr int kMinRecursionDepth = -1;
inline constexpr int kMaxRecursionDepth = 1000;

// The five values read at start-up; the window rectangle is read by the main dialog itself.
struct Settings {
    std::string languageFile;  // empty: the built-in texts
    std::string helpFile;      // empty: the default help path
    bool saveWindowPos = false;
    bool saveRecursionDepth = false;
    int defaultRecursionDepth = 0;  // as read: within kMinRecursionDepth..kMaxRecursionDepth
};

// The main dialog's window rectangle as the settings keep it (PosLeft, PosTop, PosRight,
// PosBottom): the outer rectangle in screen coordinates, right and bottom exclusive.
struct WindowRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

// Reads LanguageFile, HelpFile, SaveWindowPos, SaveRecursionDepth, DefaultRecursionDepth,
// in that order; an absent value gives its default, a stored non-zero flag reads as on, and a
// stored depth outside the up-down controls' range is brought to its nearer end (below -1
// means every level, as -1 does; an INI text of 99999999999, which the system's reader
// wraps to 1215752191, reads as 1000).
Settings ReadSettings(IProfile& profile);

// Writes SaveRecursionDepth, DefaultRecursionDepth, SaveWindowPos, LanguageFile, HelpFile,
// in that order, every one of them even after a failure; false when any write failed.
bool WriteSettings(IProfile& profile, const Settings& settings);

// Writes DefaultRecursionDepth alone: the depth the main dialog keeps at its close when
// SaveRecursionDepth is on. False when the write failed.
bool WriteRecursionDepth(IProfile& profile, int depth);

// The stored rectangle; nothing when any of the four values is absent or -1.
std::optional<WindowRect> ReadWindowRect(IProfile& profile);

// Writes PosLeft, PosRight, PosTop and PosBottom, in that order; false when a write failed.
bool WriteWindowRect(IProfile& profile, const WindowRect& rect);

// The LanguageFile or HelpFile setting (or "/i=") as the name of a file: a relative name is
// taken against the program's folder `programFolder`, whatever the current folder is (a file
// browser may have moved it). "\x" is taken from the root of the program's drive, and "D:x"
// from the program's folder when that is on D:, else from D:'s root. A name from a drive's
// root, a network name and an empty name stay as they are; so does every name when the
// folder is unknown (empty). The result still wants the system's normalisation (".", "..").
std::string SettingsFileName(std::string_view programFolder, std::string_view name);

// What a file picked with a browse button is stored as: relative to the program's folder
// when it lies inside it (a portable set-up then survives a new drive letter), else the full
// name as picked. Folder names are compared without regard to ASCII letter case.
std::string StoredSettingsFileName(std::string_view programFolder, std::string_view picked);

}  // namespace velmora
