// The file-system interface on POSIX systems, so the engine runs natively for integration
// tests and benchmarks. A junction becomes a directory symlink; errno values are reported as
// the nearest Windows error code.
#pragma once

#include "platform/filesystem.h"

namespace velmora {

class PosixFileSystem : public IFileSystem {
public:
    ErrorCode CreateHardLink(const std::string& link, const std::string& existing) override;
    ErrorCode CreateFolder(const std::string& path) override;
    ErrorCode RemoveFolder(const std::string& path) override;
    ErrorCode SetMountPoint(const std::string& folder, const std::string& source,
                            const std::vector<std::uint8_t>& reparseData) override;
    bool SetCurrentFolder(const std::string& path) override;
    // Resolved against the current folder by name alone ("." and ".." folded, nothing needs
    // to exist, links are not followed). Like the Windows back end it drops dots and blanks
    // at the end of the last element, so the name rule gives the same names on both.
    std::optional<std::string> FullPath(const std::string& name) override;
    ErrorCode ListFolder(const std::string& folder, std::vector<FoundEntry>& out) override;
    std::optional<FileId> FolderIdentity(const std::string& path) override;
    // A symbolic link counts as a reparse point.
    std::optional<EntryInfo> Inspect(const std::string& path) override;
    std::optional<std::string> FinalPath(const std::string& path) override;
    // Every POSIX file system here holds hard links; the volume is the device.
    std::optional<VolumeInfo> VolumeOf(const std::string& path) override;
    bool SameName(const std::string& a, const std::string& b) override { return a == b; }
    std::string ErrorText(ErrorCode code) override;
    char Separator() const override { return '/'; }
};

// The Windows error code for an errno value, and back (0 when a code has no errno).
ErrorCode ErrorFromErrno(int error);
int ErrnoFromError(ErrorCode code);

}  // namespace velmora
