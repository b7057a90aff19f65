#include "support/tree_snapshot.h"

#include <fstream>
#include <system_error>
#include <vector>

namespace velmora::test {

namespace fs = std::filesystem;

namespace {

std::uint64_t HashFile(const fs::path& path, bool& ok) {
    std::uint64_t hash = 0xcbf29ce484222325ULL;
    std::ifstream in(path, std::ios::binary);
    ok = static_cast<bool>(in);
    std::vector<char> buffer(64 * 1024);
    while (in) {
        in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
        for (std::streamsize i = 0; i < in.gcount(); ++i) {
            hash ^= static_cast<unsigned char>(buffer[static_cast<std::size_t>(i)]);
            hash *= 0x100000001b3ULL;
        }
    }
    return hash;
}

const char* KindName(TreeEntry::Kind kind) {
    switch (kind) {
        case TreeEntry::Kind::File:
            return "file";
        case TreeEntry::Kind::Folder:
            return "folder";
        case TreeEntry::Kind::Symlink:
            return "symlink";
        case TreeEntry::Kind::Other:
            return "other";
        case TreeEntry::Kind::Unreadable:
            return "unreadable";
    }
    return "?";
}

}  // namespace

TreeSnapshot SnapshotTree(const fs::path& root) {
    TreeSnapshot snapshot;
    std::error_code ec;
    if (!fs::is_directory(fs::symlink_status(root, ec))) {
        return snapshot;
    }
    // Iterative, so very deep trees are fine.
    fs::recursive_directory_iterator it(root, fs::directory_options::none, ec);
    for (; !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        const fs::path& path = it->path();
        TreeEntry entry;
        const fs::file_status status = it->symlink_status(ec);
        if (ec) {
            entry.kind = TreeEntry::Kind::Unreadable;
            ec.clear();
        } else if (fs::is_symlink(status)) {
            entry.kind = TreeEntry::Kind::Symlink;
            entry.target = fs::read_symlink(path, ec).generic_string();
        } else if (fs::is_directory(status)) {
            entry.kind = TreeEntry::Kind::Folder;
        } else if (fs::is_regular_file(status)) {
            entry.kind = TreeEntry::Kind::File;
            entry.size = fs::file_size(path, ec);
            entry.links = fs::hard_link_count(path, ec);
            bool ok = true;
            entry.hash = HashFile(path, ok);
            if (!ok) {
                entry.kind = TreeEntry::Kind::Unreadable;
            }
        }
        ec.clear();
        snapshot[path.lexically_relative(root).generic_string()] = entry;
    }
    if (ec) {
        TreeEntry failed;
        failed.kind = TreeEntry::Kind::Unreadable;
        snapshot["<walk failed: " + ec.message() + ">"] = failed;
    }
    return snapshot;
}

std::string DiffTrees(const TreeSnapshot& expected, const TreeSnapshot& actual,
                      TreeCompare compare) {
    std::string diff;
    for (const auto& [name, want] : expected) {
        const auto found = actual.find(name);
        if (found == actual.end()) {
            diff += "missing " + name + " (" + KindName(want.kind) + ")\n";
            continue;
        }
        const TreeEntry& got = found->second;
        std::string changes;
        if (got.kind != want.kind) {
            changes += std::string(" kind ") + KindName(want.kind) + " -> " + KindName(got.kind);
        }
        if (got.size != want.size) {
            changes += " size " + std::to_string(want.size) + " -> " + std::to_string(got.size);
        }
        if (got.hash != want.hash) {
            changes += " contents";
        }
        if (compare.linkCounts && got.links != want.links) {
            changes += " links " + std::to_string(want.links) + " -> " + std::to_string(got.links);
        }
        if (got.target != want.target) {
            changes += " target " + want.target + " -> " + got.target;
        }
        if (!changes.empty()) {
            diff += "changed " + name + ":" + changes + "\n";
        }
    }
    for (const auto& [name, got] : actual) {
        if (expected.count(name) == 0) {
            diff += "extra " + name + " (" + KindName(got.kind) + ")\n";
        }
    }
    return diff;
}

}  // namespace velmora::test
