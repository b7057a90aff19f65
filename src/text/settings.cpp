#include "text/settings.h"

namespace velmora {

using namespace settings_key;

Settings ReadSettings(IProfile& profile) {
    Settings s;
    s.languageFile = profile.GetString(kSection, kLanguageFile, "");
    s.helpFile = profile.GetString(kSection, kHelpFile, "");
    s.saveWindowPos = profile.GetInt(kSection, kSaveWindowPos, 0) != 0;
    s.saveRecursionDepth = profile.GetInt(kSection, kSaveRecursionDepth, 0) != 0;
    s.defaultRecursionDepth = profile.GetInt(kSection, kDefaultRecursionDepth, 0);
    return s;
}

bool WriteSettings(IProfile& profile, const Settings& s) {
    // Non-short-circuit "&": every write is attempted whatever the earlier ones did.
    bool ok = profile.WriteInt(kSection, kSaveRecursionDepth, s.saveRecursionDepth ? 1 : 0);
    ok &= profile.WriteInt(kSection, kDefaultRecursionDepth, s.defaultRecursionDepth);
    ok &= profile.WriteInt(kSection, kSaveWindowPos, s.saveWindowPos ? 1 : 0);
    ok &= profile.WriteString(kSection, kLanguageFile, s.languageFile);
    ok &= profile.WriteString(kSection, kHelpFile, s.helpFile);
    return ok;
}

}  // namespace velmora
