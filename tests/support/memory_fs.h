// An in-memory file system for the engine's tests: folders, files with contents and link
// counts (hard links share one file object), junctions, a current folder, Windows-style full
// paths (or POSIX-style ones with '/') refused past the system's length limit, fault
// injection, a log of every call and a record of every removal.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/filesystem.h"

namespace velmora::test {

enum class FsOp {
    Any,
    CreateHardLink,
    CreateFolder,
    RemoveFolder,
    SetMountPoint,
    SetCurrentFolder,
    FullPath,
    ListFolder,
    FolderIdentity,
    Inspect,
    FinalPath,
    VolumeOf,
};

const char* FsOpName(FsOp op);

struct FsCall {
    FsOp op = FsOp::Any;
    std::string path;                  // the first path argument as given
    std::string path2;                 // the second (existing file, junction target), else empty
    ErrorCode result = err::kSuccess;  // for bool/optional operations: kSuccess or kAccessDenied
};

class MemoryFileSystem : public IFileSystem {
public:
    // '\\': Windows rules (drive letters, names that ignore case in Latin and Cyrillic letters;
    // a full name is taken exactly, as the "\\?\" form the back end passes on is, while
    // FullPath and relative names drop dots and blanks at the end of elements as the
    // system's usual rules do). '/': POSIX rules, case-sensitive, names taken as they stand,
    // except that FullPath drops dots and blanks at the end of the last element, as the POSIX
    // back end does.
    explicit MemoryFileSystem(char separator = '\\');
    ~MemoryFileSystem() override;

    // Building a tree (parents are made as needed; nothing is logged).
    void AddFolder(const std::string& path);
    void AddFile(const std::string& path, const std::string& contents = {});
    void AddJunction(const std::string& path, const std::string& target);
    void SetCurrent(const std::string& path) { m_current = path; }
    const std::string& Current() const { return m_current; }
    // Hard links beyond this count fail with ERROR_TOO_MANY_LINKS (NTFS allows 1023).
    void SetLinkLimit(int limit) { m_linkLimit = limit; }
    // Every drive letter is a volume of its own, numbering its files and folders from 1 (so
    // two volumes hold equal indexes), and a hard link to another volume fails. A drive may
    // be made an alias of another's volume (as a second letter of one volume is), and a
    // volume may hold no hard links (as FAT32 and exFAT do).
    void ShareVolume(const std::string& drive, const std::string& withDrive);
    void SetNoHardLinks(const std::string& drive);
    // When false, SetMountPoint fails with ERROR_NOT_SUPPORTED (as it does under Wine).
    void SetJunctionsSupported(bool supported) { m_junctions = supported; }

    // Looking at it (no junction is followed in the last element).
    bool Exists(const std::string& path) const;
    bool IsFolder(const std::string& path) const;
    bool IsFile(const std::string& path) const;
    bool IsJunction(const std::string& path) const;
    std::optional<std::string> JunctionTarget(const std::string& path) const;
    std::vector<std::uint8_t> JunctionData(const std::string& path) const;
    std::optional<std::string> Contents(const std::string& path) const;
    int LinkCount(const std::string& path) const;
    bool SameFile(const std::string& a, const std::string& b) const;
    // Every name below `root`, one line each: relative name, kind, and for files the contents
    // and an identity of the file object (so a replaced file shows, a new hard link does not);
    // for junctions the target. Sorted; empty when root does not exist.
    std::string Describe(const std::string& root) const;
    std::size_t CountEntries(const std::string& root) const;

    // Fault injection. A fault matches calls of `op` (Any: every operation) whose first path,
    // made absolute, names `path` (empty: any path); it fires on the `nth` matching call
    // (counted from when it is added, 1-based; 0: every matching call), once or always.
    void FailCall(FsOp op, int nth, ErrorCode code, bool always = false);
    void FailPath(FsOp op, const std::string& path, ErrorCode code, bool always = false,
                  int nth = 0);
    void ClearFaults() { m_faults.clear(); }
    int FaultsFired() const { return m_faultsFired; }

    const std::vector<FsCall>& Calls() const { return m_calls; }
    std::size_t CallCount(FsOp op) const;
    void ClearLog() { m_calls.clear(); }
    // Every folder removed, as given to RemoveFolder.
    const std::vector<std::string>& Removals() const { return m_removals; }
    // True when every removal is of a folder that a CreateFolder call made (and no
    // SetMountPoint turned into a junction since): the only deletion the program may ever do.
    bool OnlyFoldersItMadeRemoved() const;

    // IFileSystem
    ErrorCode CreateHardLink(const std::string& link, const std::string& existing) override;
    ErrorCode CreateFolder(const std::string& path) override;
    ErrorCode RemoveFolder(const std::string& path) override;
    ErrorCode SetMountPoint(const std::string& folder, const std::string& source,
                            const std::vector<std::uint8_t>& reparseData) override;
    bool SetCurrentFolder(const std::string& path) override;
    std::optional<std::string> FullPath(const std::string& name) override;
    ErrorCode ListFolder(const std::string& folder, std::vector<FoundEntry>& out) override;
    std::optional<FileId> FolderIdentity(const std::string& path) override;
    std::optional<EntryInfo> Inspect(const std::string& path) override;
    std::optional<std::string> FinalPath(const std::string& path) override;
    std::optional<VolumeInfo> VolumeOf(const std::string& path) override;
    bool SameName(const std::string& a, const std::string& b) override;
    std::string ErrorText(ErrorCode code) override;
    char Separator() const override { return m_sep; }

    struct Node;

private:
    struct Fault {
        FsOp op;
        std::string path;
        int nth;
        ErrorCode code;
        bool always;
        int seen = 0;
        bool spent = false;
    };
    struct Lookup {
        Node* parent = nullptr;           // the folder that holds (or would hold) the last element
        Node* node = nullptr;             // the element itself, when it exists
        std::string name;                 // the last element's name
        ErrorCode error = err::kSuccess;  // set when a folder on the way is missing
    };

    std::optional<std::string> Absolute(const std::string& name, bool fullPath = false) const;
    std::vector<std::string> Split(const std::string& absolute) const;
    std::string Key(const std::string& name) const;
    int VolumeOfDrive(const std::string& drive) const;
    std::uint64_t NewId(int volume);
    std::string PathOf(const Node* node) const;
    Lookup Find(const std::string& path, bool followLast) const;
    Node* Resolve(Node* node, int hops) const;
    Node* Make(const std::string& path, int kind);
    std::optional<ErrorCode> Inject(FsOp op, const std::string& path);
    ErrorCode Log(FsOp op, const std::string& path, const std::string& path2, ErrorCode result);
    void DescribeInto(const Node& folder, const std::string& prefix,
                      std::vector<std::string>& lines) const;

    char m_sep;
    bool m_windows;
    std::unique_ptr<Node> m_root;
    std::string m_current;
    int m_linkLimit = 1023;
    bool m_junctions = true;
    std::map<int, std::uint64_t> m_nextIds;  // by volume
    std::vector<Fault> m_faults;
    int m_faultsFired = 0;
    std::vector<FsCall> m_calls;
    std::vector<std::string> m_removals;
    std::map<std::string, std::string> m_sharedVolumes;  // drive key -> drive key
    std::vector<std::string> m_noHardLinks;              // drive keys
};

}  // namespace velmora::test
