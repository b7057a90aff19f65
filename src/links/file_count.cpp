#include "links/file_count.h"

#include <algorithm>
#include <utility>

#include "links/batch.h"

namespace velmora {

namespace {

bool IsFolderEntry(const std::string& entry, char sep) {
    return !entry.empty() && entry.back() == sep;
}

// One folder being counted: its subfolders still to visit. The files of a folder are
// counted when it is read; only subfolder names are kept, one list per level of the path.
struct CountLevel {
    std::vector<std::string> folders;
    std::size_t next = 0;
    std::size_t pathLength = 0;
    int depth = 0;
    std::optional<FileId> id;
};

class TreeCounter {
public:
    TreeCounter(IFileSystem& fs, ICountObserver* observer, std::uint64_t& files)
        : m_fs(fs), m_observer(observer), m_files(files) {}

    // False when the observer stopped the count.
    bool Count(const std::string& folder, int depth) {
        const char sep = m_fs.Separator();
        m_path = folder;
        m_levelCount = 0;
        m_pathIds.clear();
        if (!Enter(depth)) return false;
        while (m_levelCount > 0) {
            CountLevel& level = m_levels[m_levelCount - 1];
            if (level.next == level.folders.size()) {
                if (level.id)
                    m_pathIds.erase(std::find(m_pathIds.begin(), m_pathIds.end(), *level.id));
                --m_levelCount;
                if (m_levelCount > 0) m_path.resize(m_levels[m_levelCount - 1].pathLength);
                continue;
            }
            const int childDepth = level.depth < 0 ? -1 : level.depth - 1;
            m_path.resize(level.pathLength);
            m_path += sep;
            m_path += level.folders[level.next++];
            if (childDepth != 0 && !Enter(childDepth)) return false;
        }
        return true;
    }

private:
    // Reads the folder m_path: counts its files and pushes a level for its subfolders.
    bool Enter(int depth) {
        const std::optional<FileId> id = m_fs.FolderIdentity(m_path);
        if (id && std::find(m_pathIds.begin(), m_pathIds.end(), *id) != m_pathIds.end()) {
            return true;  // the walk has been here on this path: the batch passes it over too
        }
        if (m_fs.ListFolder(m_path, m_found) != err::kSuccess) return true;
        if (m_levelCount == m_levels.size()) m_levels.emplace_back();
        CountLevel& level = m_levels[m_levelCount++];
        level.folders.clear();
        level.next = 0;
        level.pathLength = m_path.size();
        level.depth = depth;
        level.id = id;
        for (FoundEntry& found : m_found) {
            if (found.isFolder) {
                level.folders.push_back(std::move(found.name));
            } else {
                ++m_files;
            }
        }
        if (id) m_pathIds.push_back(*id);
        return m_observer == nullptr || m_observer->OnCounting(m_files);
    }

    IFileSystem& m_fs;
    ICountObserver* m_observer;
    std::uint64_t& m_files;
    std::string m_path;
    std::vector<FoundEntry> m_found;  // one folder's listing at a time
    std::vector<CountLevel> m_levels;
    std::size_t m_levelCount = 0;
    std::vector<FileId> m_pathIds;  // as deep as the path, so a scan is cheap
};

}  // namespace

bool CountNeedsWalk(const std::vector<std::string>& entries, int depth, char sep) {
    return depth != 0 && std::any_of(entries.begin(), entries.end(),
                                     [sep](const std::string& e) { return IsFolderEntry(e, sep); });
}

std::optional<std::uint64_t> CountBatchFiles(IFileSystem& fs,
                                             const std::vector<std::string>& entries, int depth,
                                             ICountObserver* observer) {
    const char sep = fs.Separator();
    std::uint64_t files = 0;
    TreeCounter counter(fs, observer, files);
    for (const std::string& entry : entries) {
        if (!IsFolderEntry(entry, sep)) {
            ++files;
            continue;
        }
        if (depth == 0) continue;
        const NormalEntry normal = NormaliseEntry(fs, entry.substr(0, entry.size() - 1));
        if (normal.name.empty()) continue;  // refused or unresolvable: the batch prompts
        if (!counter.Count(normal.name, depth)) return std::nullopt;
    }
    return files;
}

}  // namespace velmora
