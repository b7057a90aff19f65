#include "ui/settings_rules.h"

namespace velmora {

std::string DefaultHelpPath(std::string_view programPath) {
    // Count characters, not bytes, so a name ending in non-ASCII letters stays valid UTF-8.
    std::size_t cut = programPath.size();
    for (int chars = 0; chars < 3; ++chars) {
        if (cut == 0) return {};
        --cut;
        while (cut > 0 && (static_cast<unsigned char>(programPath[cut]) & 0xC0) == 0x80) --cut;
    }
    std::string path(programPath.substr(0, cut));
    path += "chm";
    return path;
}

std::string HelpTopicArgument(std::string_view helpFile, std::string_view topic) {
    // The viewer takes "file::/topic" as one argument; no blank and no quotes are added.
    std::string argument(helpFile);
    if (!topic.empty()) argument.append("::/").append(topic);
    return argument;
}

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
