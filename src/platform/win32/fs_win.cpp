#include "platform/win32/fs_win.h"

#include <winioctl.h>

#include "platform/path.h"
#include "platform/win32/windows_support.h"

namespace velmora {
namespace {

ErrorCode LastError() { return static_cast<ErrorCode>(::GetLastError()); }

// Folders arrive without their trailing separator, so a drive's root comes as "X:", which
// the system would take for the drive's current folder.
std::string AsFolder(const std::string& path) {
    return path.size() == 2 && path::HasDrive(path) ? path + '\\' : path;
}

}  // namespace

ErrorCode Win32FileSystem::CreateHardLink(const std::string& link, const std::string& existing) {
    if (HasEmbeddedZero(link) || HasEmbeddedZero(existing)) return err::kInvalidName;
    if (!::CreateHardLinkW(LongPath(link).c_str(), LongPath(existing).c_str(), nullptr))
        return LastError();
    return err::kSuccess;
}

ErrorCode Win32FileSystem::CreateFolder(const std::string& path) {
    if (HasEmbeddedZero(path)) return err::kInvalidName;
    if (!::CreateDirectoryW(LongPath(path).c_str(), nullptr)) return LastError();
    return err::kSuccess;
}

ErrorCode Win32FileSystem::RemoveFolder(const std::string& path) {
    if (HasEmbeddedZero(path)) return err::kInvalidName;
    if (!::RemoveDirectoryW(LongPath(path).c_str())) return LastError();
    return err::kSuccess;
}

ErrorCode Win32FileSystem::SetMountPoint(const std::string& folder, const std::string& /*source*/,
                                         const std::vector<std::uint8_t>& reparseData) {
    if (HasEmbeddedZero(folder)) return err::kInvalidName;
    if (reparseData.size() > MAXDWORD) return ERROR_INVALID_PARAMETER;
    // No sharing: nobody may use the folder while it turns into a junction. Backup
    // semantics open a folder at all; the reparse-point flag opens the folder itself even
    // if it is a reparse point already.
    FileHandle handle(
        ::CreateFileW(LongPath(folder).c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                      FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!handle) return LastError();
    DWORD returned = 0;
    // The input buffer is only read; the API merely lacks the const.
    void* input = reparseData.empty() ? nullptr : const_cast<std::uint8_t*>(reparseData.data());
    if (!::DeviceIoControl(handle.Get(), FSCTL_SET_REPARSE_POINT, input,
                           static_cast<DWORD>(reparseData.size()), nullptr, 0, &returned,
                           nullptr)) {
        // Taken before the handle closes, so the code is the failing call's own.
        return LastError();
    }
    return err::kSuccess;
}

bool Win32FileSystem::SetCurrentFolder(const std::string& path) {
    if (HasEmbeddedZero(path)) return false;
    return ::SetCurrentDirectoryW(Widen(path).c_str()) != FALSE;
}

std::optional<std::string> Win32FileSystem::FullPath(const std::string& name) {
    return FullPathOf(name);
}

ErrorCode Win32FileSystem::ListFolder(const std::string& folder, std::vector<FoundEntry>& out) {
    out.clear();
    if (HasEmbeddedZero(folder)) return ERROR_INVALID_NAME;
    std::string pattern = folder;
    if (pattern.empty() || !path::IsSeparator(pattern.back(), '\\')) pattern += '\\';
    pattern += '*';

    WIN32_FIND_DATAW found{};
    // Basic information skips the short 8.3 names; the large fetch asks for bigger batches,
    // which matters in folders of many thousand entries.
    FindHandle search(::FindFirstFileExW(LongPath(pattern).c_str(), FindExInfoBasic, &found,
                                         FindExSearchNameMatch, nullptr,
                                         FIND_FIRST_EX_LARGE_FETCH));
    if (!search) {
        // Only a drive's root has no "." entry, and an empty one answers "no file found".
        const DWORD code = ::GetLastError();
        return code == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : code;
    }
    do {
        const std::wstring_view name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        out.push_back({Narrow(name), (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
    } while (::FindNextFileW(search.Get(), &found));
    const DWORD code = ::GetLastError();
    if (code != ERROR_NO_MORE_FILES) {
        out.clear();
        return code;
    }
    return ERROR_SUCCESS;
}

std::optional<FileId> Win32FileSystem::FolderIdentity(const std::string& path) {
    if (HasEmbeddedZero(path)) return std::nullopt;
    // Without the reparse-point flag the open follows junctions and links to the folder
    // they lead to, which is the identity a walk must compare.
    FileHandle handle(::CreateFileW(LongPath(AsFolder(path)).c_str(), FILE_READ_ATTRIBUTES,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!handle) return std::nullopt;
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(handle.Get(), &info)) return std::nullopt;
    // Backup semantics open files as well: a file at a mirror folder's name is no folder.
    if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) return std::nullopt;
    return FileId{info.dwVolumeSerialNumber,
                  (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
}

std::optional<EntryInfo> Win32FileSystem::Inspect(const std::string& path) {
    if (HasEmbeddedZero(path)) return std::nullopt;
    // The reparse-point flag opens a junction or symbolic link itself, not what it leads to;
    // backup semantics open folders as well as files.
    FileHandle handle(::CreateFileW(
        LongPath(AsFolder(path)).c_str(), FILE_READ_ATTRIBUTES,
        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
        FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!handle) return std::nullopt;
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(handle.Get(), &info)) return std::nullopt;
    const DWORD attributes = info.dwFileAttributes;
    const EntryKind kind = (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0
                               ? EntryKind::ReparsePoint
                           : (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? EntryKind::Folder
                                                                          : EntryKind::File;
    return EntryInfo{
        kind, FileId{info.dwVolumeSerialNumber,
                     (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow}};
}

std::string Win32FileSystem::ErrorText(ErrorCode code) { return SystemErrorText(code); }

}  // namespace velmora
