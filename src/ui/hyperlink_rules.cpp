#include "ui/hyperlink_rules.h"

#include "text/texts.h"
#include "ui/maker.h"

namespace velmora {

std::string BuildFallbackCommand(std::string_view registryCommand, std::string_view address) {
    // The quoted placeholder wins even when a bare %1 stands earlier: a command such as
    // `"browser.exe" -arg %1x "%1"` keeps everything up to the quoted one.
    std::size_t cut = registryCommand.find("\"%1\"");
    if (cut == std::string_view::npos) cut = registryCommand.find("%1");
    if (cut == std::string_view::npos) cut = registryCommand.size();

    std::string command(registryCommand.substr(0, cut));
    command += ' ';
    command += address;
    return command;
}

namespace about {

std::string_view HomePageAddress() { return VELMORA_HOME_PAGE; }
std::string_view SupportMailAddress() { return VELMORA_SUPPORT_MAIL; }

std::string MailLink() { return std::string("mailto:") + VELMORA_SUPPORT_MAIL; }

std::string VersionLine(bool has153, std::string_view text153, std::string_view version) {
    std::string line;
    if (has153) {
        line = text153;
        line += ' ';
    } else {
        line = BuiltinText(txt::kAboutVersion);
    }
    line += version;
    return line;
}

std::string ProgramLine(std::string_view text152) {
    std::string line(text152);
    line += " Velmora";
    return line;
}

std::string DeveloperLine(std::string_view text154) {
    std::string line(text154);
    line += " Tarnwell";
    return line;
}

std::string_view AffiliationLineLatin() { return "Tarnwell, 2026"; }

}  // namespace about

}  // namespace velmora
