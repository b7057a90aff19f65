// What the batch makes of its inputs before it links anything: the target completed into a
// pattern, list entries made full and exact, composed link names made full. Portable: the
// file system is asked only through IFileSystem.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "platform/filesystem.h"
#include "text/texts.h"

namespace velmora {

// Target completion, the first rule that applies winning: a trailing separator or an
// existing folder (which becomes the current folder) gets "*.*"; several entries and a last
// element without "*" are refused (nullopt); anything else stays as it is.
std::optional<std::string> CompleteTarget(IFileSystem& fs, const std::string& target,
                                          std::size_t entries);

// A composed name made absolute against the source's own folder (which becomes the current
// folder); the name as it is when that cannot be done.
std::string MakeFullLinkName(IFileSystem& fs, const std::string& name, const std::string& source);

// What the batch makes of a list entry (a folder entry without its trailing separator)
// before it uses it: its full, normal name ("." and ".." resolved, '/' read as '\\', a
// "\\?\" prefix understood, no separator at the end), or why it names no definite file or
// folder: a refusal (string number of the reason) or the full-path step's error code.
struct NormalEntry {
    std::string name;
    TextId refusal = 0;
    ErrorCode code = err::kSuccess;
};
NormalEntry NormaliseEntry(IFileSystem& fs, const std::string& given);

}  // namespace velmora
