// A snapshot of a real folder tree (relative names, kind, size, content hash, link count,
// symlink target) and a readable comparison of two snapshots, to prove that nothing was lost
// or changed.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>

namespace velmora::test {

struct TreeEntry {
    enum class Kind { File, Folder, Symlink, Other, Unreadable };
    Kind kind = Kind::Other;
    std::uintmax_t size = 0;
    std::uint64_t hash = 0;    // FNV-1a of the contents (files)
    std::uintmax_t links = 0;  // hard-link count (files)
    std::string target;        // symlinks: where they point, as stored
};

// Relative names use '/' whatever the platform.
using TreeSnapshot = std::map<std::string, TreeEntry>;

// Walks `root` without following symlinks. A missing root gives an empty snapshot.
TreeSnapshot SnapshotTree(const std::filesystem::path& root);

struct TreeCompare {
    bool linkCounts = true;  // false: a new hard link to a file is no change
};

// One line per difference ("missing a/b", "extra c", "changed d: size 3 -> 4, ..."); empty
// when the snapshots agree.
std::string DiffTrees(const TreeSnapshot& expected, const TreeSnapshot& actual,
                      TreeCompare compare = {});

}  // namespace velmora::test
