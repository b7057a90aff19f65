// The pure rule behind the hyperlink control: the command line of the web-page fallback.
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

}  // namespace velmora
