// The name rule: how a link's name is made from the target pattern and the source's name.
// Portable.
#pragma once

#include <string>
#include <string_view>

namespace velmora {

// The folder part of `pattern` and its name mask applied to the source's name ("*" and "."
// work like a rename mask, counting characters, not bytes). `sep` is the path separator.
std::string ComposeLinkName(std::string_view pattern, std::string_view source, char sep = '\\');

}  // namespace velmora
