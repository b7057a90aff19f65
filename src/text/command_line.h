// The command line and the list file that the file manager hands over.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/utf.h"

namespace velmora {

struct CommandLine {
    std::string listFile;   // first argument
    std::string targetDir;  // second argument, verbatim
    std::string iniFile;    // after "/i=" in the third argument; empty: the registry
};

// The rest of `arg` when it starts with "/i=" or "/I=" (possibly empty), else nothing.
std::optional<std::string> IniSwitchValue(std::string_view arg);

// `argv` holds the program name first. Nothing when there are fewer than two arguments;
// a third argument other than "/i=..." and every further argument are ignored.
std::optional<CommandLine> ParseArguments(const std::vector<std::string>& argv);

// Splits a list file's bytes into entries, one per line: a line ends at a line feed, less a
// CR right before it; bytes after the last line feed form no entry, empty lines give empty
// entries, and a zero character ends the text. A byte-order mark decides the encoding;
// without one, UTF-16 LE and UTF-8 are recognised (text/text_encoding.h) and anything else
// is decoded from the ANSI code page. Entries are UTF-8, without the mark.
std::vector<std::string> SplitListFile(std::string_view bytes, const AnsiDecoder& decodeAnsi);

}  // namespace velmora
