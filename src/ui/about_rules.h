// The pure rules of the About box: what its links open, and its lines in the language of the
// texts. Its lines follow language-file rules of their own: a text the table lacks keeps the
// template's line, and a text the table holds becomes a line of its own form.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "text/texts.h"

namespace velmora::about {

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

}  // namespace velmora::about
