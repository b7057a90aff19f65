// The pure rules of the help viewer: which file it opens when the settings name none, and the
// argument that opens one of its topics.
#pragma once

#include <string>
#include <string_view>

namespace velmora {

// The program's path with its last three characters replaced by "chm" ("C:\x\velmora.exe"
// -> "C:\x\velmora.chm"); empty when the path is shorter than three characters.
std::string DefaultHelpPath(std::string_view programPath);

// The help viewer's argument that opens `topic` of `helpFile` ("file::/topic"), or the
// file's start page when `topic` is empty.
std::string HelpTopicArgument(std::string_view helpFile, std::string_view topic);

}  // namespace velmora
