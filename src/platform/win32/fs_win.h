// The file-system back end of the link engine on Windows: W functions, names of any length.
#pragma once

// windows.h first: filesystem.h then drops its CreateHardLink macro for the whole file, in
// whatever order the includer names its headers.
#include <windows.h>

#include "platform/filesystem.h"

// filesystem.h drops the macro only when windows.h came before it; where filesystem.h came
// first (through another header), windows.h has defined it again since.
#ifdef CreateHardLink
#undef CreateHardLink
#endif

namespace velmora {

// Every full name the engine passes goes to the system in the "\\?\" form, exactly as it
// stands (no dot or blank at the end of an element dropped, no length limit but the
// system's); other names go through LongPath(). A name holding a zero character is refused
// with ERROR_INVALID_NAME (the system would silently act on the part before it).
class Win32FileSystem : public IFileSystem {
public:
    ErrorCode CreateHardLink(const std::string& link, const std::string& existing) override;
    ErrorCode CreateFolder(const std::string& path) override;
    ErrorCode RemoveFolder(const std::string& path) override;
    ErrorCode SetMountPoint(const std::string& folder, const std::string& source,
                            const std::vector<std::uint8_t>& reparseData) override;
    // SetCurrentDirectoryW takes the name as it is: Windows limits the current folder's
    // length, and a \\?\ form would leak into every relative name resolved later.
    bool SetCurrentFolder(const std::string& path) override;
    std::optional<std::string> FullPath(const std::string& name) override;
    // A folder the search cannot finish (an error other than the end of the list) gives
    // that error with `out` empty, rather than a partial list.
    ErrorCode ListFolder(const std::string& folder, std::vector<FoundEntry>& out) override;
    // "X:" is taken for the drive's root, as ListFolder takes it.
    std::optional<FileId> FolderIdentity(const std::string& path) override;
    std::optional<EntryInfo> Inspect(const std::string& path) override;
    std::optional<std::string> FinalPath(const std::string& path) override;
    // FAT, FAT32 and exFAT hold no hard links.
    std::optional<VolumeInfo> VolumeOf(const std::string& path) override;
    // CompareStringOrdinal, ignoring case: the comparison NTFS names follow.
    bool SameName(const std::string& a, const std::string& b) override;
    std::string ErrorText(ErrorCode code) override;
    char Separator() const override { return '\\'; }
};

}  // namespace velmora
