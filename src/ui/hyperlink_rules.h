// The pure rules behind the hyperlink control and the About box: the command line of the
// web-page fallback and the texts of the About box's lines.
#pragma once

#include <string>
#include <string_view>

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

// Line 1004: the language file's text (number 153), a blank and the version; without it the
// built-in "Версия: " (which ends with its blank) followed by the version.
std::string VersionLine(bool has153, std::string_view text153, std::string_view version);
// Line 1003 when number 152 is present: its text, a blank and the program's name.
std::string ProgramLine(std::string_view text152);
// Line 1005 when number 154 is present: its text, a blank and the maker's name in Latin letters.
std::string DeveloperLine(std::string_view text154);
// Line 1006 when number 154 is present: the maker and the year in Latin letters.
std::string_view AffiliationLineLatin();

}  // namespace about

}  // namespace velmora
