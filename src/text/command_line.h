// The command line and the list file that the file manager hands over.
#pragma once

#include <cstddef>
#include <functional>
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

// Why a list file is not run: it would be run as an empty or cut batch otherwise.
enum class ListProblem {
    None,
    NoEntry,             // not one line
    ZeroByte,            // a zero character with text after it: the rest would be lost
    UnreadableEncoding,  // a byte-order mark of UTF-16 BE or UTF-32 (LE or BE)
};

struct ListFile {
    std::vector<std::string> entries;  // UTF-8, in the list's order
    ListProblem problem = ListProblem::None;
};

// Whether something of this name exists; the name is an entry as the list gives it, a
// folder's with its ending separator.
using NameExists = std::function<bool(std::string_view name)>;

// The entries of a list file's bytes, one per line: a line ends at a line feed, less a CR
// right before it; the last line counts without a line end too (less a CR at the very end),
// empty lines give empty entries, and a zero character ends the text (zeros at the very end
// are harmless; one with text after it is a problem). A byte-order mark decides the encoding;
// without one, UTF-16 LE and UTF-8 are recognised (text/text_encoding.h) and anything else is
// decoded from the ANSI code page. Text without a mark that is valid UTF-8 with multi-byte
// sequences may be ANSI all the same: the first kTwoWayChecks entries whose two readings
// differ are looked up both ways with `exists`, and the reading that names more existing
// entries wins; a tie, or no `exists`, keeps UTF-8. Entries are UTF-8, without the mark; with
// a problem they hold what was read before it.
ListFile ReadListFile(std::string_view bytes, const AnsiDecoder& decodeAnsi,
                      const NameExists& exists);
inline constexpr std::size_t kTwoWayChecks = 16;

// ReadListFile without the look-ups (a list that reads two ways reads as UTF-8), its
// entries alone.
std::vector<std::string> SplitListFile(std::string_view bytes, const AnsiDecoder& decodeAnsi);

}  // namespace velmora
