// The pure rules behind the hyperlink control and the About box: the command line of the
// web-page fallback, what the About box's links open, and its lines in the language of the
// texts. Its lines follow language-file rules of their own: a text the table lacks keeps the
// template's line, and a text the table holds becomes a line of its own form.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "text/texts.h"

namespace velmora {

// The command that opens `address` with the program registered for web pages: the registry's
// command cut at its placeholder - the quoted "%1" when there is one, else the first bare %1,
// else nothing is cut - and everything from the placeholder on dropped (trailing switches
// too), then a blank and the address, unquoted.
std::string BuildFallbackCommand(std::string_view registryCommand, std::string_view address);

// A shell or program-start result counts as success only above 32.
constexpr bool IsOpenSuccess(unsigned long long result) { return result > 32; }

namespace about {

// What the About box links to. Each is defined once (ui/maker.h) and shown by the template.
std::string_view HomePageAddress();
std::string_view SupportMailAddress();
// The address opened by a click on the mail line: "mailto:" and the support address.
std::string MailLink();

// The lines that replace the template's; nothing keeps the template's line.
struct Lines {
    std::optional<std::string> title;        // text 150
    std::optional<std::string> program;      // text 152, a blank and the program's name
    std::string version;                     // text 153, a blank and the version; without
                                             // it the built-in "Версия: " and the version
    std::optional<std::string> developer;    // text 154, a blank and the maker's name
    std::optional<std::string> affiliation;  // with 154: the maker and the year, Latin letters
    std::optional<std::string> homeLabel;    // text 156
};
Lines LanguageLines(const TextCatalog& texts, std::string_view version);

}  // namespace about

}  // namespace velmora
