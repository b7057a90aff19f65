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
// so "b.txt " stays "b.txt " instead of naming its neighbour "b.txt" ('/', "." and ".." are
// resolved by the program first). A name that is no full path takes the usual rules.
std::wstring ExactPath(const std::string& name) {
    std::wstring exact = ExactLongPath(name);
    return exact.empty() ? LongPath(name) : exact;
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

// How volumes are told apart.
// - Windows: the volume's NT device name ("\Device\HarddiskVolume3\...") is the volume
//   itself, whichever drive letter, folder mount or substitute reaches it; the serial alone is
//   not (cloned disks share it). Hard links cross exactly where it is the same.
// - Wine 8, as seen here: every drive letter gets a device and a serial of its own (C:
//   HarddiskVolume1 and 0x43000000, Z: HarddiskVolume3 and 0x5A000000, a drive mapped to
//   /dev/shm HarddiskVolume2 and 0x59000000), yet C: and Z: lie on one Linux file system and
//   hard links cross between them. A file system mounted below a drive's root without a letter
//   of its own gets no device name at all and serial 0; links into it fail with "not same
//   device". A name counts as the drive whose root lies nearest above it, whichever letter
//   reached it (Z:\...\drive_c\t is C:\t, serial and all), so two hard links of one file,
//   one below drive_c and one beside it, show two serials: the serial is no part of an
//   identity there. What Wine reads from the Linux file system itself is its size (statvfs of
//   the open file, as FileFsSizeInformation): the same through C: and Z:, different for
//   /dev/shm and for a small tmpfs below Z:. So under Wine a volume, and the volume part of an
//   identity, is its file system's size: two file systems of one size count as one (a link
//   call between them then says "not same device" itself).
bool UnderWine() {
    static const bool wine = [] {
        const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
        return ntdll != nullptr && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
    }();
    return wine;
}

constexpr std::uint64_t kHashStart = 0xcbf29ce484222325ULL;  // FNV-1a

std::uint64_t Mixed(std::uint64_t key, std::uint64_t value) {
    return (key ^ value) * 0x100000001b3ULL;
}

// ntdll's queries of an open file (class numbers as in the system's headers); false where
// the system does not answer.
struct StatusBlock {  // IO_STATUS_BLOCK
    void* status;
    ULONG_PTR information;
};
using NtQuery = LONG(WINAPI*)(HANDLE, StatusBlock*, void*, ULONG, int);

NtQuery NtdllQuery(const char* name) {
    return reinterpret_cast<NtQuery>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), name)));
}

template <class Information>
bool QueryFile(HANDLE handle, int kind, Information& out) {
    static const NtQuery query = NtdllQuery("NtQueryInformationFile");
    StatusBlock io{};
    return query != nullptr && query(handle, &io, &out, sizeof out, kind) >= 0;
}

template <class Information>
bool QueryVolume(HANDLE handle, int kind, Information& out) {
    static const NtQuery query = NtdllQuery("NtQueryVolumeInformationFile");
    StatusBlock io{};
    return query != nullptr && query(handle, &io, &out, sizeof out, kind) >= 0;
}

// The size of the file system a handle's file lies on: its allocation units, sectors per
// unit and bytes per sector; 0 when the system does not tell.
std::uint64_t FileSystemSizeKey(HANDLE handle) {
    struct {  // FILE_FS_SIZE_INFORMATION
        LARGE_INTEGER totalUnits, availableUnits;
        ULONG sectorsPerUnit, bytesPerSector;
    } size{};
    if (!QueryVolume(handle, 3, size)) return 0;  // FileFsSizeInformation
    return Mixed(Mixed(Mixed(kHashStart, static_cast<std::uint64_t>(size.totalUnits.QuadPart)),
                       size.sectorsPerUnit),
                 size.bytesPerSector);
}

// Windows: the volume's device name where the system gives one, else the drive or share of
// the final path ("\\?\C:\..."), mixed with the serial.
std::uint64_t DeviceKey(HANDLE handle, DWORD serial) {
    std::optional<std::wstring> final = FinalPathOf(handle, VOLUME_NAME_NT);
    std::size_t elements = 2;  // "\Device\Name"
    if (!final) {
        final = FinalPathOf(handle, VOLUME_NAME_DOS);
        elements = 3;  // "\\?\X:" or "\\?\UNC" (and server and share: 5)
        if (final && final->compare(0, 8, L"\\\\?\\UNC\\") == 0) elements = 6;
    }
    std::uint64_t key = kHashStart;
    if (final) {
        std::size_t seen = 0;
        for (const wchar_t ch : *final) {
            if (ch == L'\\' && ++seen > elements) break;
            key = Mixed(key, static_cast<std::uint64_t>(ch));
        }
    }
    return key ^ serial;
}

// What an open entry is: its attributes and its identity.
struct Facts {
    DWORD attributes = 0;
    FileId id;
};

// GetFileInformationByHandle also asks for the volume's serial, which under Wine is a round
// trip to its mount manager (another process) and no part of an identity there: under Wine
// the attributes and the file index are asked for alone (the file's own data), the volume by
// its file system's size.
std::optional<Facts> FactsOf(HANDLE handle) {
    if (UnderWine()) {
        struct {  // FILE_BASIC_INFORMATION
            LARGE_INTEGER created, accessed, written, changed;
            ULONG attributes;
        } basic{};
        LARGE_INTEGER index{};  // FILE_INTERNAL_INFORMATION
        if (QueryFile(handle, 4, basic) && QueryFile(handle, 6, index)) {
            if (const std::uint64_t size = FileSystemSizeKey(handle))
                return Facts{basic.attributes,
                             FileId{size, static_cast<std::uint64_t>(index.QuadPart)}};
        }
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(handle, &info)) return std::nullopt;
    return Facts{info.dwFileAttributes,
                 FileId{DeviceKey(handle, info.dwVolumeSerialNumber),
                        (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) |
                            info.nFileIndexLow}};
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
    const std::optional<Facts> facts = FactsOf(handle.Get());
    // Backup semantics open files as well: a file at a mirror folder's name is no folder.
    if (!facts || (facts->attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) return std::nullopt;
    return facts->id;
}

std::optional<EntryInfo> Win32FileSystem::Inspect(const std::string& path) {
    if (HasEmbeddedZero(path)) return std::nullopt;
    FileHandle handle = OpenForAttributes(path, true);
    if (!handle) return std::nullopt;
    const std::optional<Facts> facts = FactsOf(handle.Get());
    if (!facts) return std::nullopt;
    const DWORD attributes = facts->attributes;
    const EntryKind kind = (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0
                               ? EntryKind::ReparsePoint
                           : (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? EntryKind::Folder
                                                                          : EntryKind::File;
    return EntryInfo{kind, facts->id};
}

std::optional<std::string> Win32FileSystem::FinalPath(const std::string& path) {
    if (HasEmbeddedZero(path)) return std::nullopt;
    FileHandle handle = OpenForAttributes(path, false);
    if (!handle) return std::nullopt;
    const std::optional<Facts> facts = FactsOf(handle.Get());
    const std::optional<std::wstring> final = FinalPathOf(handle.Get(), VOLUME_NAME_DOS);
    if (!facts || !final) return std::nullopt;
    std::string name = path::WithoutLongPrefix(Narrow(*final), '\\');
    // Wine drops the dots that end an element of a final name ("e." comes back as "e", which
    // names its neighbour or nothing): a final name is given only where it opens this entry.
    FileHandle again = OpenForAttributes(name, false);
    const std::optional<Facts> check = again ? FactsOf(again.Get()) : std::nullopt;
    if (!check || check->id != facts->id) return std::nullopt;
    return name;
}

std::optional<VolumeInfo> Win32FileSystem::VolumeOf(const std::string& path) {
    if (HasEmbeddedZero(path)) return std::nullopt;
    FileHandle handle = OpenForAttributes(path, false);
    if (!handle) return std::nullopt;
    const std::optional<Facts> facts = FactsOf(handle.Get());
    if (!facts || (facts->attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) return std::nullopt;
    wchar_t system[MAX_PATH + 1] = {};
    const bool known = ::GetVolumeInformationByHandleW(handle.Get(), nullptr, 0, nullptr, nullptr,
                                                       nullptr, system, MAX_PATH + 1) != FALSE;
    const std::wstring_view name = system;
    const bool fat = known && (name == L"FAT" || name == L"FAT32" || name == L"exFAT" ||
                               name == L"FAT12" || name == L"FAT16");
    return VolumeInfo{facts->id.volume, !fat};
}

bool Win32FileSystem::SameName(const std::string& a, const std::string& b) {
    const std::wstring wideA = Widen(a);
    const std::wstring wideB = Widen(b);
    return ::CompareStringOrdinal(wideA.c_str(), static_cast<int>(wideA.size()), wideB.c_str(),
                                  static_cast<int>(wideB.size()), TRUE) == CSTR_EQUAL;
}

std::string Win32FileSystem::ErrorText(ErrorCode code) { return SystemErrorText(code); }

}  // namespace velmora
