#include "ui/hyperlink_rules.h"

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

}  // namespace velmora
