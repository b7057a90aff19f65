#include "text/settings.h"

#include <algorithm>

#include "platform/path.h"

namespace velmora {

using namespace settings_key;

namespace {

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
    return true;
}

bool IsSeparator(char c) { return path::IsSeparator(c, '\\'); }

}  // namespace

Settings ReadSettings(IProfile& profile) {
    Settings s;
    s.languageFile = profile.GetString(kSection, kLanguageFile, "");
    s.helpFile = profile.GetString(kSection, kHelpFile, "");
    s.saveWindowPos = profile.GetInt(kSection, kSaveWindowPos, 0) != 0;
    s.saveRecursionDepth = profile.GetInt(kSection, kSaveRecursionDepth, 0) != 0;
    s.defaultRecursionDepth = std::clamp(profile.GetInt(kSection, kDefaultRecursionDepth, 0),
                                         kMinRecursionDepth, kMaxRecursionDepth);
    return s;
}

bool WriteSettings(IProfile& profile, const Settings& s) {
    // Non-short-circuit "&": every write is attempted whatever the earlier ones did.
    bool ok = profile.WriteInt(kSection, kSaveRecursionDepth, s.saveRecursionDepth ? 1 : 0);
    ok &= WriteRecursionDepth(profile, s.defaultRecursionDepth);
    ok &= profile.WriteInt(kSection, kSaveWindowPos, s.saveWindowPos ? 1 : 0);
    ok &= profile.WriteString(kSection, kLanguageFile, s.languageFile);
    ok &= profile.WriteString(kSection, kHelpFile, s.helpFile);
    return ok;
}

bool WriteRecursionDepth(IProfile& profile, int depth) {
    return profile.WriteInt(kSection, kDefaultRecursionDepth, depth);
}

std::optional<WindowRect> ReadWindowRect(IProfile& profile) {
    WindowRect rect;
    rect.left = profile.GetInt(kSection, kPosLeft, -1);
    rect.right = profile.GetInt(kSection, kPosRight, -1);
    rect.top = profile.GetInt(kSection, kPosTop, -1);
    rect.bottom = profile.GetInt(kSection, kPosBottom, -1);
    if (rect.left == -1 || rect.right == -1 || rect.top == -1 || rect.bottom == -1)
        return std::nullopt;
    return rect;
}

bool WriteWindowRect(IProfile& profile, const WindowRect& rect) {
    bool ok = profile.WriteInt(kSection, kPosLeft, rect.left);
    ok &= profile.WriteInt(kSection, kPosRight, rect.right);
    ok &= profile.WriteInt(kSection, kPosTop, rect.top);
    ok &= profile.WriteInt(kSection, kPosBottom, rect.bottom);
    return ok;
}

std::string SettingsFileName(std::string_view programFolder, std::string_view name) {
    const bool network = name.size() >= 2 && IsSeparator(name[0]) && IsSeparator(name[1]);
    const bool fromDriveRoot = path::HasDrive(name) && name.size() >= 3 && IsSeparator(name[2]);
    // Without a program folder (its path could not be read) the system's rules apply.
    if (name.empty() || network || fromDriveRoot || programFolder.empty()) return std::string(name);
    if (IsSeparator(name[0])) return std::string(path::RootOf(programFolder)).append(name);
    const std::string_view folder = path::WithoutEndSeparators(programFolder, '\\');
    if (path::HasDrive(name)) {
        const bool sameDrive =
            path::HasDrive(folder) && AsciiLower(folder[0]) == AsciiLower(name[0]);
        return std::string(sameDrive ? folder : name.substr(0, 2))
            .append("\\")
            .append(name.substr(2));
    }
    return std::string(folder).append("\\").append(name);
}

std::string StoredSettingsFileName(std::string_view programFolder, std::string_view picked) {
    const std::string_view folder = path::WithoutEndSeparators(programFolder, '\\');
    if (!folder.empty() && picked.size() > folder.size() + 1 &&
        IsSeparator(picked[folder.size()]) &&
        SameIgnoringAsciiCase(picked.substr(0, folder.size()), folder)) {
        return std::string(picked.substr(folder.size() + 1));
    }
    return std::string(picked);
}

}  // namespace velmora
