#include "ui/hyperlink_rules.h"

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

Lines LanguageLines(const TextCatalog& texts, std::string_view version) {
    // A text of the table, a blank and `tail`; nothing when the table lacks the text.
    const auto joined = [&texts](TextId id, std::string_view tail) -> std::optional<std::string> {
        const std::optional<std::string_view> text = texts.Find(id);
        if (!text) return std::nullopt;
        return std::string(*text).append(" ").append(tail);
    };
    Lines lines;
    if (const std::optional<std::string_view> title = texts.Find(txt::kAboutTitle))
        lines.title = std::string(*title);
    lines.program = joined(txt::kAboutProgram, "Velmora");
    // The built-in text already ends with its blank.
    lines.version = joined(txt::kAboutVersion, version)
                        .value_or(std::string(BuiltinText(txt::kAboutVersion)).append(version));
    lines.developer = joined(txt::kAboutDeveloper, "Tarnwell");
    // One number switches both lines to their Latin-letter forms.
    if (lines.developer) lines.affiliation = "Tarnwell, 2026";
    if (const std::optional<std::string_view> home = texts.Find(txt::kAboutHomePage))
        lines.homeLabel = std::string(*home);
    return lines;
}

}  // namespace about

}  // namespace velmora
