#include "ui/settings_rules.h"

namespace velmora {

std::string BrowseInitialName(std::string_view editText, std::string_view pattern) {
    std::string name(editText);
    if (!name.empty() && name.back() == '\\') name += pattern;
    return name;
}

bool LanguageNoticeNeeded(bool closedWithOk, bool saveFailed, std::string_view languageBefore,
                          std::string_view languageAfter) {
    return closedWithOk && !saveFailed && languageBefore != languageAfter;
}

std::string_view LanguageNoticeText() {
    return "Язык поменяется при следующем запуске!\n\nLanguage will change on next start!";
}

}  // namespace velmora
