// The file-system interface the link engine runs against. Portable: no OS headers.
// Back ends: platform/win32 (W functions), platform/posix (Linux, for tests and benchmarks),
// and the in-memory file system of the tests.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// windows.h defines CreateHardLink as a macro for CreateHardLinkW. Where it was included first
// it would rename the method below in that file only, so calls on a concrete back end stop
// linking. The method keeps its own name everywhere; Win32 code calls CreateHardLinkW.
#ifdef CreateHardLink
#undef CreateHardLink
#endif

namespace velmora {

// Error codes are Windows error codes everywhere; the POSIX back end maps errno onto the
// nearest one and keeps unknown errno values as (kPosixErrorBase | errno).
using ErrorCode = std::uint32_t;
namespace err {
inline constexpr ErrorCode kSuccess = 0;
inline constexpr ErrorCode kInvalidFunction = 1;
inline constexpr ErrorCode kFileNotFound = 2;
inline constexpr ErrorCode kPathNotFound = 3;
inline constexpr ErrorCode kAccessDenied = 5;
inline constexpr ErrorCode kNotSameDevice = 17;
inline constexpr ErrorCode kNotSupported = 50;
inline constexpr ErrorCode kFileExists = 80;
inline constexpr ErrorCode kDiskFull = 112;
inline constexpr ErrorCode kInvalidName = 123;
inline constexpr ErrorCode kDirNotEmpty = 145;
inline constexpr ErrorCode kAlreadyExists = 183;
inline constexpr ErrorCode kFilenameExcedRange = 206;
inline constexpr ErrorCode kTooManyLinks = 1142;
inline constexpr ErrorCode kPosixErrorBase = 0x20000000;
}  // namespace err

// Identity of a file or folder: the volume and the file index on Windows (the volume told
// apart by the volume itself, not by its serial alone: cloned disks share serials, and under
// Wine a file system mounted without a drive letter has serial 0), device and inode on POSIX.
struct FileId {
    std::uint64_t volume = 0;
    std::uint64_t index = 0;
    friend bool operator==(const FileId&, const FileId&) = default;
};

// What stands at a name itself.
enum class EntryKind {
    File,
    Folder,
    ReparsePoint,  // a junction or symbolic link, whatever it leads to
};

// The volume a folder lies on, and whether it can hold hard links (FAT32 and exFAT cannot).
struct VolumeInfo {
    std::uint64_t id = 0;  // the same value as FileId::volume of what lies on it
    bool holdsHardLinks = true;
    friend bool operator==(const VolumeInfo&, const VolumeInfo&) = default;
};

struct EntryInfo {
    EntryKind kind = EntryKind::File;
    FileId id;  // of the entry itself (for a hard link: the file's, shared by all its names)
};

// One entry found in a folder. "." and ".." are never reported.
struct FoundEntry {
    std::string name;       // UTF-8, the entry's own name
    bool isFolder = false;  // has the directory attribute (a junction or directory symlink counts)
};

class IFileSystem {
public:
    virtual ~IFileSystem() = default;

    // Names the engine passes are full and exact: a back end uses them as they stand (on
    // Windows in the "\\?\" form, so that no dot or blank at the end of an element is
    // dropped). Only SetCurrentFolder and FullPath take names in the system's usual way.

    // Hard link `link` for the existing file `existing`.
    virtual ErrorCode CreateHardLink(const std::string& link, const std::string& existing) = 0;
    // A new folder; kAlreadyExists when an entry of that name exists.
    virtual ErrorCode CreateFolder(const std::string& path) = 0;
    // Removes an empty folder (used only for a folder the junction step itself made).
    virtual ErrorCode RemoveFolder(const std::string& path) = 0;
    // Turns the existing, empty folder `folder` into a junction (mount point) to `source`.
    // `reparseData` is the mount-point reparse buffer the engine built for `source`
    // (links/reparse.h). Windows: open the folder without sharing, with backup semantics and
    // the reparse-point flag, and FSCTL_SET_REPARSE_POINT with `reparseData`. POSIX: replace
    // the empty folder with a directory symlink to `source`. The code returned is the failing
    // call's own, taken before any clean-up; the caller removes a folder it made itself.
    virtual ErrorCode SetMountPoint(const std::string& folder, const std::string& source,
                                    const std::vector<std::uint8_t>& reparseData) = 0;
    // Makes `path` the process's current folder; false when it is no folder.
    virtual bool SetCurrentFolder(const std::string& path) = 0;
    // The absolute form of `name` against the current folder, with the platform's rules
    // (on Windows trailing dots and blanks of the last element go); nullopt on failure.
    virtual std::optional<std::string> FullPath(const std::string& name) = 0;
    // Every entry of `folder` (without a trailing separator), in the order the file system
    // gives them. kSuccess, or the system's code when the folder cannot be searched, whole or
    // in part; `out` is then empty, never a silent part of the folder.
    virtual ErrorCode ListFolder(const std::string& folder, std::vector<FoundEntry>& out) = 0;
    // Identity of the folder `path` resolves to (following junctions and links).
    virtual std::optional<FileId> FolderIdentity(const std::string& path) = 0;
    // What stands at `path` itself: a junction or symbolic link there is not followed.
    // nullopt when nothing stands there or it cannot be read.
    virtual std::optional<EntryInfo> Inspect(const std::string& path) = 0;
    // The name the existing `path` really has, junctions and links on the way resolved
    // (Windows: its final path, without a "\\?\" prefix); nullopt when it cannot be told.
    virtual std::optional<std::string> FinalPath(const std::string& path) = 0;
    // The volume of the existing folder `path` (junctions and links followed).
    virtual std::optional<VolumeInfo> VolumeOf(const std::string& path) = 0;
    // Whether two names of entries in one folder name the same entry, by the system's own
    // comparison: Windows ignores case in every script ("Отчёт" is "отчёт"), POSIX does not.
    virtual bool SameName(const std::string& a, const std::string& b) = 0;
    // The system's text for `code`, line break included; empty when the system has none.
    virtual std::string ErrorText(ErrorCode code) = 0;
    // The separator of this platform's paths: '\\' on Windows, '/' for POSIX.
    virtual char Separator() const = 0;
};

}  // namespace velmora
