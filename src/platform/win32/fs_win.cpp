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

// A full name exactly as it stands: the "\\?\" form, which the system does not normalise,
// so "b.txt " stays "b.txt " instead of naming its neighbour "b.txt". A name that still holds
// '/', "." or ".." elements (not one the engine made exact) takes the usual rules.
std::wstring ExactPath(const std::string& name) {
    const bool plain = name.find('/') == std::string::npos &&
                       name.find("\\.\\") == std::string::npos &&
                       name.find("\\..") == std::string::npos;
    if (plain && path::HasDriveRoot(name)) return L"\\\\?\\" + Widen(name);
    if (plain && name.size() > 2 && name[0] == '\\' && name[1] == '\\' && name[2] != '?' &&
        name[2] != '.')
        return L"\\\\?\\UNC" + Widen(name.substr(1));
    return LongPath(name);
}

// Opens what stands at a name for reading its attributes: following junctions and links, or
// (`itself`) the junction or link itself. Backup semantics open folders as well as files.
FileHandle OpenForAttributes(const std::string& path, bool itself) {
    return FileHandle(::CreateFileW(
        ExactPath(AsFolder(path)).c_str(), FILE_READ_ATTRIBUTES,
        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
        FILE_FLAG_BACKUP_SEMANTICS | (itself ? FILE_FLAG_OPEN_REPARSE_POINT : 0), nullptr));
}

std::optional<std::wstring> FinalPathOf(HANDLE handle, DWORD flags) {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetFinalPathNameByHandleW(handle, path.data(),
                                                         static_cast<DWORD>(path.size()), flags);
        if (length == 0) return std::nullopt;
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(length + 1);
    }
}

// Which volume a handle's file lies on. The serial alone does not tell (cloned disks share
// it, and Wine's drives may all have 0): the volume's own name does. The system's device
// name ("\Device\HarddiskVolume3\...") where it gives one, else the drive or share of the
// final path ("\\?\C:\..."), mixed with the serial.
std::uint64_t VolumeKey(HANDLE handle, DWORD serial) {
    std::optional<std::wstring> final = FinalPathOf(handle, VOLUME_NAME_NT);
    std::size_t elements = 2;  // "\Device\Name"
    if (!final) {
        final = FinalPathOf(handle, VOLUME_NAME_DOS);
        elements = 3;  // "\\?\X:" or "\\?\UNC" (and server and share: 5)
        if (final && final->compare(0, 8, L"\\\\?\\UNC\\") == 0) elements = 6;
    }
    std::uint64_t key = 0xcbf29ce484222325ULL;  // FNV-1a over the volume's part of the name
    if (final) {
        std::size_t seen = 0;
        for (const wchar_t ch : *final) {
            if (ch == L'\\' && ++seen > elements) break;
            key = (key ^ static_cast<std::uint64_t>(ch)) * 0x100000001b3ULL;
        }
    }
    return key ^ serial;
}

std::optional<BY_HANDLE_FILE_INFORMATION> InformationOf(HANDLE handle) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(handle, &info)) return std::nullopt;
    return info;
}

FileId IdOf(HANDLE handle, const BY_HANDLE_FILE_INFORMATION& info) {
    return FileId{VolumeKey(handle, info.dwVolumeSerialNumber),
                  (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
}

}  // namespace

ErrorCode Win32FileSystem::CreateHardLink(const std::string& link, const std::string& existing) {
    if (HasEmbeddedZero(link) || HasEmbeddedZero(existing)) return err::kInvalidName;
    if (!::CreateHardLinkW(ExactPath(link).c_str(), ExactPath(existing).c_str(), nullptr))
        return LastError();
    return err::kSuccess;
}

ErrorCode Win32FileSystem::CreateFolder(const std::string& path) {
    if (HasEmbeddedZero(path)) return err::kInvalidName;
    if (!::CreateDirectoryW(ExactPath(path).c_str(), nullptr)) return LastError();
    return err::kSuccess;
}

ErrorCode Win32FileSystem::RemoveFolder(const std::string& path) {
    if (HasEmbeddedZero(path)) return err::kInvalidName;
    if (!::RemoveDirectoryW(ExactPath(path).c_str())) return LastError();
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
        ::CreateFileW(ExactPath(folder).c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
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
    FindHandle search(::FindFirstFileExW(ExactPath(pattern).c_str(), FindExInfoBasic, &found,
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
    // Junctions and links are followed to the folder they lead to, which is the identity a
    // walk must compare.
    FileHandle handle = OpenForAttributes(path, false);
    if (!handle) return std::nullopt;
    const std::optional<BY_HANDLE_FILE_INFORMATION> info = InformationOf(handle.Get());
    // Backup semantics open files as well: a file at a mirror folder's name is no folder.
    if (!info || (info->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) return std::nullopt;
    return IdOf(handle.Get(), *info);
}

std::optional<EntryInfo> Win32FileSystem::Inspect(const std::string& path) {
    if (HasEmbeddedZero(path)) return std::nullopt;
    FileHandle handle = OpenForAttributes(path, true);
    if (!handle) return std::nullopt;
    const std::optional<BY_HANDLE_FILE_INFORMATION> info = InformationOf(handle.Get());
    if (!info) return std::nullopt;
    const DWORD attributes = info->dwFileAttributes;
    const EntryKind kind = (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0
                               ? EntryKind::ReparsePoint
                           : (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? EntryKind::Folder
                                                                          : EntryKind::File;
    return EntryInfo{kind, IdOf(handle.Get(), *info)};
}

std::optional<std::string> Win32FileSystem::FinalPath(const std::string& path) {
    if (HasEmbeddedZero(path)) return std::nullopt;
    FileHandle handle = OpenForAttributes(path, false);
    if (!handle) return std::nullopt;
    const std::optional<std::wstring> final = FinalPathOf(handle.Get(), VOLUME_NAME_DOS);
    if (!final) return std::nullopt;
    return path::WithoutLongPrefix(Narrow(*final), '\\');
}

std::optional<VolumeInfo> Win32FileSystem::VolumeOf(const std::string& path) {
    if (HasEmbeddedZero(path)) return std::nullopt;
    FileHandle handle = OpenForAttributes(path, false);
    if (!handle) return std::nullopt;
    const std::optional<BY_HANDLE_FILE_INFORMATION> info = InformationOf(handle.Get());
    if (!info || (info->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) return std::nullopt;
    wchar_t system[MAX_PATH + 1] = {};
    const bool known = ::GetVolumeInformationByHandleW(handle.Get(), nullptr, 0, nullptr, nullptr,
                                                       nullptr, system, MAX_PATH + 1) != FALSE;
    const std::wstring_view name = system;
    const bool fat = known && (name == L"FAT" || name == L"FAT32" || name == L"exFAT" ||
                               name == L"FAT12" || name == L"FAT16");
    return VolumeInfo{VolumeKey(handle.Get(), info->dwVolumeSerialNumber), !fat};
}

bool Win32FileSystem::SameName(const std::string& a, const std::string& b) {
    const std::wstring wideA = Widen(a);
    const std::wstring wideB = Widen(b);
    return ::CompareStringOrdinal(wideA.c_str(), static_cast<int>(wideA.size()), wideB.c_str(),
                                  static_cast<int>(wideB.size()), TRUE) == CSTR_EQUAL;
}

std::string Win32FileSystem::ErrorText(ErrorCode code) { return SystemErrorText(code); }

}  // namespace velmora
