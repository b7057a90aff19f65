// The counting pass before a batch: how many file steps the batch will take (a listed file,
// or a file a mirror links), so that the progress can say what share is done. It walks the
// listed folders to the same depth rules as the mirror and keeps a number, not the names.
// Portable: it reaches the system only through IFileSystem.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/filesystem.h"

namespace velmora {

class ICountObserver {
public:
    virtual ~ICountObserver() = default;
    // Called after each folder read, with the files counted so far. False stops the count.
    virtual bool OnCounting(std::uint64_t files) = 0;
};

// Whether the batch has folders to walk: a folder entry and a depth that mirrors. Without
// them the total is the number of file entries, known without reading anything.
bool CountNeedsWalk(const std::vector<std::string>& entries, int depth, char sep);

// The files the batch over `entries` (folder entries end with the separator) will handle at
// `depth`: every file entry, and the files of each folder entry's tree down to the depth
// (-1 the whole tree, 0 a junction: none). Folders that cannot be read, entries that name no
// folder and folders met again on the same path (a junction leading back up) add nothing.
// nullopt when the observer stopped the count.
std::optional<std::uint64_t> CountBatchFiles(IFileSystem& fs,
                                             const std::vector<std::string>& entries, int depth,
                                             ICountObserver* observer);

}  // namespace velmora
