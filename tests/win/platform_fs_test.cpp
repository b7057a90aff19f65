// The Windows file-system back end on real files under Wine (or Windows).
#include <windows.h>
#include <winioctl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/win32/fs_win.h"
#include "platform/win32/windows_support.h"
#include "platform_temp_dir.h"

namespace velmora {
namespace {

using testing::Exists;
using testing::TempDir;
using testing::WriteFileBytes;

std::optional<BY_HANDLE_FILE_INFORMATION> FileInfo(const std::string& path) {
    HANDLE file = ::CreateFileW(LongPath(path).c_str(), FILE_READ_ATTRIBUTES,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    BY_HANDLE_FILE_INFORMATION info{};
    const BOOL ok = ::GetFileInformationByHandle(file, &info);
    ::CloseHandle(file);
    if (!ok) return std::nullopt;
    return info;
}

std::string ReadBytes(const std::string& path) {
    HANDLE file = ::CreateFileW(LongPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return "<unreadable>";
    std::string bytes(4096, '\0');
    DWORD read = 0;
    ::ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    ::CloseHandle(file);
    bytes.resize(read);
    return bytes;
}

// A mount-point reparse buffer for `source`, laid out by hand so this test does not lean
// on the engine's builder.
std::vector<std::uint8_t> MountPointData(const std::string& source) {
    const std::wstring name = L"\\??\\" + Widen(source);
    const auto length = static_cast<std::uint16_t>(name.size() * 2);
    std::vector<std::uint8_t> data;
    const auto put16 = [&data](std::uint16_t v) {
        data.push_back(static_cast<std::uint8_t>(v & 0xFF));
        data.push_back(static_cast<std::uint8_t>(v >> 8));
    };
    put16(0x0003);
    put16(0xA000);
    put16(static_cast<std::uint16_t>(length + 12));
    put16(0);
    put16(0);
    put16(length);
    put16(static_cast<std::uint16_t>(length + 2));
    put16(0);
    for (wchar_t c : name) put16(static_cast<std::uint16_t>(c));
    put16(0);
    put16(0);
    return data;
}

TEST(PlatformFs, HardLinkSharesTheFileAndLeavesItsBytes) {
    TempDir dir;
    Win32FileSystem fs;
    const std::string content = "source bytes \xD0\x96\r\n";
    ASSERT_TRUE(WriteFileBytes(dir / "исходный.txt", content));

    EXPECT_EQ(fs.CreateHardLink(dir / "ссылка.txt", dir / "исходный.txt"), err::kSuccess);
    const auto source = FileInfo(dir / "исходный.txt");
    const auto link = FileInfo(dir / "ссылка.txt");
    ASSERT_TRUE(source && link);
    EXPECT_EQ(source->nFileIndexLow, link->nFileIndexLow);
    EXPECT_EQ(source->nFileIndexHigh, link->nFileIndexHigh);
    EXPECT_EQ(source->dwVolumeSerialNumber, link->dwVolumeSerialNumber);
    EXPECT_EQ(source->nNumberOfLinks, 2u);
    EXPECT_EQ(ReadBytes(dir / "исходный.txt"), content);
    EXPECT_EQ(ReadBytes(dir / "ссылка.txt"), content);

    // A name that is taken, and a source that does not exist: the system's own codes.
    EXPECT_NE(fs.CreateHardLink(dir / "ссылка.txt", dir / "исходный.txt"), err::kSuccess);
    EXPECT_EQ(ReadBytes(dir / "ссылка.txt"), content);
    EXPECT_EQ(fs.CreateHardLink(dir / "other.txt", dir / "missing.txt"), err::kFileNotFound);
    EXPECT_FALSE(Exists(dir / "other.txt"));
}

TEST(PlatformFs, FoldersAreCreatedOnceAndRemovedOnlyWhenEmpty) {
    TempDir dir;
    Win32FileSystem fs;
    EXPECT_EQ(fs.CreateFolder(dir / "new"), err::kSuccess);
    EXPECT_EQ(fs.CreateFolder(dir / "new"), err::kAlreadyExists);
    EXPECT_EQ(fs.CreateFolder(dir / "missing\\child"), err::kPathNotFound);

    ASSERT_TRUE(WriteFileBytes(dir / "new\\keep.txt", "keep"));
    EXPECT_EQ(fs.RemoveFolder(dir / "new"), err::kDirNotEmpty);
    EXPECT_EQ(ReadBytes(dir / "new\\keep.txt"), "keep");
    ::DeleteFileW(LongPath(dir / "new\\keep.txt").c_str());
    EXPECT_EQ(fs.RemoveFolder(dir / "new"), err::kSuccess);
    EXPECT_FALSE(Exists(dir / "new"));
}

TEST(PlatformFs, NamesBeyond260CharactersWork) {
    TempDir dir;
    Win32FileSystem fs;
    // Three levels of 100 characters: every path below is longer than 300 characters.
    std::string folder = dir.Path();
    for (char c : {'a', 'b', 'c'}) {
        folder += "\\" + std::string(100, c);
        ASSERT_EQ(fs.CreateFolder(folder), err::kSuccess) << folder.size();
    }
    ASSERT_GT(folder.size(), 300u);
    const std::string file = folder + "\\" + std::string(80, 'f') + ".txt";
    ASSERT_TRUE(WriteFileBytes(file, "deep"));
    const std::string link = folder + "\\" + std::string(80, 'l') + ".txt";
    EXPECT_EQ(fs.CreateHardLink(link, file), err::kSuccess);
    EXPECT_EQ(ReadBytes(link), "deep");
    const auto info = FileInfo(file);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->nNumberOfLinks, 2u);

    std::vector<FoundEntry> found;
    ASSERT_EQ(err::kSuccess, fs.ListFolder(folder, found));
    EXPECT_EQ(found.size(), 2u);
    EXPECT_TRUE(fs.FolderIdentity(folder).has_value());
    const auto full = fs.FullPath(folder + "\\x\\..\\y...");
    EXPECT_EQ(full, folder + "\\y");

    ::DeleteFileW(LongPath(link).c_str());
    ::DeleteFileW(LongPath(file).c_str());
    EXPECT_EQ(fs.RemoveFolder(folder), err::kSuccess);
}

TEST(PlatformFs, ListFolderReportsEveryEntryButDotAndDotDot) {
    TempDir dir;
    Win32FileSystem fs;
    ASSERT_TRUE(WriteFileBytes(dir / "b.txt", ""));
    ASSERT_TRUE(WriteFileBytes(dir / "Ж.txt", ""));
    ASSERT_TRUE(WriteFileBytes(dir / ".hidden", ""));
    ASSERT_TRUE(::CreateDirectoryW(LongPath(dir / "sub").c_str(), nullptr));

    std::vector<FoundEntry> found = {{"stale", false}};
    ASSERT_EQ(err::kSuccess, fs.ListFolder(dir.Path(), found));
    std::vector<std::pair<std::string, bool>> got;
    for (const FoundEntry& e : found) got.emplace_back(e.name, e.isFolder);
    std::sort(got.begin(), got.end());
    const std::vector<std::pair<std::string, bool>> want = {
        {".hidden", false}, {"b.txt", false}, {"sub", true}, {"Ж.txt", false}};
    EXPECT_EQ(got, want);

    // With a trailing separator the same folder is searched.
    std::vector<FoundEntry> again;
    ASSERT_EQ(err::kSuccess, fs.ListFolder(dir.Path() + "\\", again));
    EXPECT_EQ(again.size(), found.size());

    ASSERT_EQ(err::kSuccess, fs.ListFolder(dir / "sub", found));
    EXPECT_TRUE(found.empty());

    EXPECT_NE(err::kSuccess, fs.ListFolder(dir / "missing", found));
    EXPECT_TRUE(found.empty());
    EXPECT_NE(err::kSuccess, fs.ListFolder(dir / "b.txt", found));  // a file is no folder
}

TEST(PlatformFs, FolderIdentityIsTheSameThroughAnyPath) {
    TempDir dir;
    Win32FileSystem fs;
    ASSERT_TRUE(::CreateDirectoryW(LongPath(dir / "one").c_str(), nullptr));
    ASSERT_TRUE(::CreateDirectoryW(LongPath(dir / "two").c_str(), nullptr));
    const auto one = fs.FolderIdentity(dir / "one");
    ASSERT_TRUE(one.has_value());
    EXPECT_EQ(fs.FolderIdentity(dir / "two\\..\\one\\"), one);
    EXPECT_EQ(fs.FolderIdentity(dir.Path() + "/one"), one);
    EXPECT_NE(fs.FolderIdentity(dir / "two"), one);
    EXPECT_EQ(fs.FolderIdentity(dir / "missing"), std::nullopt);
    HANDLE file = ::CreateFileW(LongPath(dir / "file").c_str(), GENERIC_WRITE, 0, nullptr,
                                CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    ::CloseHandle(file);
    EXPECT_EQ(fs.FolderIdentity(dir / "file"), std::nullopt);  // a file is no folder

    // A drive given without its separator is its root, not the drive's current folder.
    wchar_t saved[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, saved);
    ASSERT_TRUE(::SetCurrentDirectoryW(dir.WidePath().c_str()));
    const std::string drive = dir.Path().substr(0, 2);
    const auto root = fs.FolderIdentity(drive + "\\");
    EXPECT_EQ(fs.FolderIdentity(drive), root);
    EXPECT_NE(fs.FolderIdentity(drive), fs.FolderIdentity(dir.Path()));
    ::SetCurrentDirectoryW(saved);
}

TEST(PlatformFs, MountPointLeavesNoHandleOpen) {
    TempDir dir;
    Win32FileSystem fs;
    ASSERT_EQ(fs.CreateFolder(dir / "source"), err::kSuccess);
    ASSERT_EQ(fs.CreateFolder(dir / "junction"), err::kSuccess);
    const ErrorCode code =
        fs.SetMountPoint(dir / "junction", dir / "source", MountPointData(dir / "source"));
    if (code == err::kSuccess) {
        // A file system with junctions: the folder now leads to the source.
        EXPECT_EQ(fs.FolderIdentity(dir / "junction"), fs.FolderIdentity(dir / "source"));
    } else {
        // Wine refuses the request (with its own code); the text for it is the system's.
        EXPECT_FALSE(fs.ErrorText(code).empty()) << code;
    }
    // The handle was opened without sharing: had it stayed open, removing would fail.
    EXPECT_EQ(fs.RemoveFolder(dir / "junction"), err::kSuccess);
    EXPECT_TRUE(Exists(dir / "source"));

    EXPECT_NE(fs.SetMountPoint(dir / "missing", dir / "source", MountPointData(dir / "source")),
              err::kSuccess);
    EXPECT_FALSE(Exists(dir / "missing"));
}

TEST(PlatformFs, CurrentFolderAndFullPath) {
    TempDir dir;
    Win32FileSystem fs;
    wchar_t saved[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, saved);
    ASSERT_TRUE(WriteFileBytes(dir / "file.txt", ""));

    EXPECT_TRUE(fs.SetCurrentFolder(dir.Path()));
    EXPECT_EQ(fs.FullPath("name.txt.."), dir / "name.txt");
    EXPECT_FALSE(fs.SetCurrentFolder(dir / "file.txt"));
    EXPECT_FALSE(fs.SetCurrentFolder(dir / "missing"));
    EXPECT_EQ(fs.FullPath("x"), dir / "x");  // failures leave the current folder alone
    ::SetCurrentDirectoryW(saved);
}

TEST(PlatformFs, ErrorTextsAndZeroCharactersInNames) {
    TempDir dir;
    Win32FileSystem fs;
    const std::string denied = fs.ErrorText(err::kAccessDenied);
    ASSERT_FALSE(denied.empty());
    EXPECT_EQ(denied.back(), '\n');
    EXPECT_EQ(fs.Separator(), '\\');

    // The system would act on the name cut at the zero: refused instead.
    const std::string cut = dir / "made";
    const std::string withZero = cut + std::string("\0tail", 5);
    EXPECT_EQ(fs.CreateFolder(withZero), err::kInvalidName);
    EXPECT_FALSE(Exists(cut));
    ASSERT_TRUE(WriteFileBytes(dir / "file.txt", "x"));
    EXPECT_EQ(fs.CreateHardLink(withZero, dir / "file.txt"), err::kInvalidName);
    EXPECT_FALSE(Exists(cut));
    std::vector<FoundEntry> found;
    EXPECT_NE(err::kSuccess, fs.ListFolder(dir.Path() + std::string("\0x", 2), found));
}

// ---- names as they stand, case, final names, volumes -------------------------------------------

std::optional<FileId> IdOf(Win32FileSystem& fs, const std::string& path) {
    const std::optional<EntryInfo> info = fs.Inspect(path);
    return info ? std::optional<FileId>(info->id) : std::nullopt;
}

std::vector<std::string> NamesIn(Win32FileSystem& fs, const std::string& folder) {
    std::vector<FoundEntry> found;
    std::vector<std::string> names;
    if (fs.ListFolder(folder, found) != err::kSuccess) return {"<unreadable>"};
    for (const FoundEntry& e : found) names.push_back(e.name);
    std::sort(names.begin(), names.end());
    return names;
}

// A name whose last element ends in blanks or dots is the entry of exactly that name, never
// its neighbour without them, for every call.
TEST(PlatformFs, NamesEndingInBlanksOrDotsAreKept) {
    struct Case {
        const char* name;
        const char* neighbour;
        bool folder;
    };
    const Case cases[] = {
        {"b.txt ", "b.txt", false}, {"b.txt.", "b.txt", false}, {"c  . ", "c", false},
        {"d.", "d", true},          {"d ", "d", true},          {"e..", "e", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("'") + c.name + "'");
        TempDir dir;
        Win32FileSystem fs;
        const std::string exact = dir / c.name;
        const std::string neighbour = dir / c.neighbour;
        ASSERT_TRUE(WriteFileBytes(dir / "source.txt", "source"));
        if (c.folder) {
            ASSERT_EQ(fs.CreateFolder(neighbour), err::kSuccess);
            ASSERT_EQ(fs.CreateFolder(exact), err::kSuccess);
            EXPECT_EQ(fs.CreateFolder(exact), err::kAlreadyExists);
            ASSERT_EQ(fs.CreateHardLink(exact + "\\inside.txt", dir / "source.txt"), err::kSuccess);
            EXPECT_EQ(NamesIn(fs, exact), std::vector<std::string>{"inside.txt"});
            EXPECT_EQ(NamesIn(fs, neighbour), std::vector<std::string>{});
            const std::optional<EntryInfo> info = fs.Inspect(exact);
            ASSERT_TRUE(info);
            EXPECT_EQ(info->kind, EntryKind::Folder);
            EXPECT_EQ(fs.FolderIdentity(exact), info->id);
            EXPECT_NE(fs.FolderIdentity(neighbour), info->id);
        } else {
            ASSERT_TRUE(WriteFileBytes(neighbour, "neighbour"));
            ASSERT_EQ(fs.CreateHardLink(exact, dir / "source.txt"), err::kSuccess);
            EXPECT_NE(fs.CreateHardLink(exact, dir / "source.txt"), err::kSuccess);
            EXPECT_EQ(ReadBytes(neighbour), "neighbour");
            EXPECT_EQ(IdOf(fs, exact), IdOf(fs, dir / "source.txt"));
            EXPECT_NE(IdOf(fs, exact), IdOf(fs, neighbour));
            // A link made from the exact name shares its file, not the neighbour's.
            ASSERT_EQ(fs.CreateHardLink(dir / "again.txt", exact), err::kSuccess);
            EXPECT_EQ(ReadBytes(dir / "again.txt"), "source");
        }
        std::vector<std::string> names = NamesIn(fs, dir.Path());
        EXPECT_EQ(std::count(names.begin(), names.end(), c.name), 1);
        EXPECT_EQ(std::count(names.begin(), names.end(), c.neighbour), 1);
        if (c.folder) {
            EXPECT_EQ(fs.RemoveFolder(exact), err::kDirNotEmpty);
            ::DeleteFileW((L"\\\\?\\" + Widen(exact) + L"\\inside.txt").c_str());
            EXPECT_EQ(fs.RemoveFolder(exact), err::kSuccess);
            EXPECT_TRUE(Exists(neighbour));
            names = NamesIn(fs, dir.Path());
            EXPECT_EQ(std::count(names.begin(), names.end(), c.name), 0);
        }
    }
}

// The system's own comparison: case is ignored in every script, nothing else is.
TEST(PlatformFs, SameNameIgnoresCaseInEveryScript) {
    struct Case {
        const char* a;
        const char* b;
        bool same;
    };
    const Case cases[] = {
        {"Report.txt", "report.txt", true}, {"Отчёт.txt", "отчёт.txt", true},
        {"ЁЛКА", "ёлка", true},             {"Ωμέγα", "ΩΜΈΓΑ", true},
        {"b.txt", "b.txt ", false},         {"d", "d.", false},
        {"Отчет.txt", "Отчёт.txt", false},  {"straße", "STRASSE", false},
        {"a", "", false},                   {"", "", true},
    };
    Win32FileSystem fs;
    for (const Case& c : cases) {
        EXPECT_EQ(fs.SameName(c.a, c.b), c.same) << c.a << " / " << c.b;
        EXPECT_EQ(fs.SameName(c.b, c.a), c.same) << c.b << " / " << c.a;
    }
}

TEST(PlatformFs, FinalPathIsTheNameOnDisk) {
    TempDir dir;
    Win32FileSystem fs;
    ASSERT_EQ(fs.CreateFolder(dir / "Sub"), err::kSuccess);
    ASSERT_TRUE(WriteFileBytes(dir / "Sub\\Файл.txt", "x"));
    ASSERT_EQ(fs.CreateFolder(dir / "e."), err::kSuccess);
    const std::optional<std::string> root = fs.FinalPath(dir.Path());
    ASSERT_TRUE(root);
    struct Case {
        std::string given;
        std::optional<std::string> final;
    };
    const std::vector<Case> cases = {
        {dir / "Sub", *root + "\\Sub"},
        {dir / "SUB\\", *root + "\\Sub"},
        {dir / "sub\\ФАЙЛ.TXT", *root + "\\Sub\\Файл.txt"},
        {dir / "missing", std::nullopt},
        {dir / "Sub\\Файл.txt\\x", std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(fs.FinalPath(c.given), c.final) << c.given;
    }
    // Wine gives "e" for "e.", the name of its neighbour: the exact name or none, never that.
    ASSERT_EQ(fs.CreateFolder(dir / "e"), err::kSuccess);
    const std::optional<std::string> dotted = fs.FinalPath(dir / "e.");
    if (dotted) {
        EXPECT_EQ(*dotted, *root + "\\e.");
    }
}

// A drive letter of this test's own for a Unix folder, through Wine's mount manager (as
// Wine's own configuration tool does); removed again at the end. Empty where that manager is
// not there (Windows).
class MappedDrive {
public:
    explicit MappedDrive(const std::string& unixFolder) {
        const DWORD used = ::GetLogicalDrives();
        for (char letter = 'Y'; letter > 'D'; --letter) {
            if ((used & (1u << (letter - 'A'))) == 0) {
                if (Define(letter, unixFolder)) m_letter = letter;
                break;
            }
        }
    }
    ~MappedDrive() {
        if (m_letter != 0) Define(m_letter, "");
    }
    MappedDrive(const MappedDrive&) = delete;
    MappedDrive& operator=(const MappedDrive&) = delete;
    // "Y:", or empty.
    std::string Name() const { return m_letter != 0 ? std::string(1, m_letter) + ":" : ""; }

private:
    static bool Define(char letter, const std::string& unixFolder) {
        struct UnixDrive {  // Wine's mountmgr_unix_drive
            ULONG size, type, fsType;
            DWORD serial;
            ULONGLONG unixDevice;
            WCHAR letter;
            USHORT mountPointOffset, deviceOffset, labelOffset;
        };
        std::vector<char> buffer(sizeof(UnixDrive) + unixFolder.size() + 1);
        UnixDrive drive{};
        drive.size = static_cast<ULONG>(buffer.size());
        drive.type = DRIVE_FIXED;
        drive.letter = static_cast<WCHAR>(letter);
        if (!unixFolder.empty()) drive.mountPointOffset = sizeof(UnixDrive);
        std::memcpy(buffer.data(), &drive, sizeof drive);
        std::memcpy(buffer.data() + sizeof drive, unixFolder.c_str(), unixFolder.size() + 1);
        HANDLE manager = ::CreateFileW(L"\\\\.\\MountPointManager", GENERIC_READ | GENERIC_WRITE,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                       0, nullptr);
        if (manager == INVALID_HANDLE_VALUE) return false;
        const DWORD kDefineUnixDrive =
            CTL_CODE(0x6D, 32, METHOD_BUFFERED, FILE_READ_ACCESS | FILE_WRITE_ACCESS);
        DWORD returned = 0;
        const BOOL ok = ::DeviceIoControl(manager, kDefineUnixDrive, buffer.data(),
                                          static_cast<DWORD>(buffer.size()), nullptr, 0,
                                          &returned, nullptr);
        ::CloseHandle(manager);
        return ok != FALSE;
    }
    char m_letter = 0;
};

// A folder on Z: beside the Wine prefix (so on the file system of its C: drive), removed with
// everything in it afterwards; empty where there is no prefix.
class FolderBesidePrefix {
public:
    FolderBesidePrefix() {
        wchar_t prefix[MAX_PATH] = {};
        if (::GetEnvironmentVariableW(L"WINEPREFIX", prefix, MAX_PATH) == 0 || prefix[0] != L'/')
            return;
        std::wstring path = L"Z:" + std::wstring(prefix) + L"-velmora-test-" +
                            std::to_wstring(::GetCurrentProcessId());
        std::replace(path.begin(), path.end(), L'/', L'\\');
        if (::CreateDirectoryW(path.c_str(), nullptr)) m_path = path;
    }
    ~FolderBesidePrefix() {
        if (!m_path.empty()) testing::RemoveTree(m_path);
    }
    FolderBesidePrefix(const FolderBesidePrefix&) = delete;
    FolderBesidePrefix& operator=(const FolderBesidePrefix&) = delete;
    std::string Path() const { return Narrow(m_path); }

private:
    std::wstring m_path;
};

// Two places are different volumes exactly where hard links cannot cross between them: the
// temporary folder on C:, a folder beside the prefix on Z: (one Linux file system with C:,
// another drive letter), and a drive letter mapped to a folder of /dev/shm (another file
// system).
TEST(PlatformFs, VolumesDifferExactlyWhereHardLinksCannotCross) {
    TempDir onC;
    FolderBesidePrefix onZ;
    const std::wstring shmFolder = L"Z:\\dev\\shm\\velmora-test-" + std::to_wstring(::GetCurrentProcessId());
    if (onZ.Path().empty() || !::CreateDirectoryW(shmFolder.c_str(), nullptr)) {
        GTEST_SKIP() << "no Wine prefix or no /dev/shm: Wine's drives cannot be set up";
    }
    struct RemoveShm {
        std::wstring path;
        ~RemoveShm() { testing::RemoveTree(path); }
    } removeShm{shmFolder};
    MappedDrive shm("/dev/shm/velmora-test-" + std::to_string(::GetCurrentProcessId()));
    if (shm.Name().empty()) GTEST_SKIP() << "no Wine mount manager to map a drive letter";

    Win32FileSystem fs;
    const std::string places[] = {onC.Path(), onZ.Path(), shm.Name() + "\\sub"};
    ASSERT_EQ(fs.CreateFolder(places[2]), err::kSuccess);
    for (const std::string& place : places) {
        ASSERT_TRUE(WriteFileBytes(place + "\\file.txt", place)) << place;
    }
    // The drive's folder reached through Z: is the same folder on the same volume.
    const std::string shmThroughZ = Narrow(shmFolder) + "\\sub";
    EXPECT_EQ(fs.FolderIdentity(shmThroughZ), fs.FolderIdentity(places[2]));
    EXPECT_EQ(fs.VolumeOf(shmThroughZ), fs.VolumeOf(places[2]));

    int crossing = 0;
    for (const std::string& from : places) {
        for (const std::string& to : places) {
            if (from == to) continue;
            SCOPED_TRACE(from + " -> " + to);
            const std::optional<VolumeInfo> fromVolume = fs.VolumeOf(from);
            const std::optional<VolumeInfo> toVolume = fs.VolumeOf(to);
            ASSERT_TRUE(fromVolume && toVolume);
            EXPECT_TRUE(toVolume->holdsHardLinks);
            EXPECT_NE(fs.FolderIdentity(from), fs.FolderIdentity(to));
            const std::string link = to + "\\from-" + std::to_string(crossing++) + ".txt";
            const ErrorCode code = fs.CreateHardLink(link, from + "\\file.txt");
            if (code == err::kSuccess) {
                EXPECT_EQ(*fromVolume, *toVolume);
                EXPECT_EQ(IdOf(fs, link), IdOf(fs, from + "\\file.txt"));
            } else {
                EXPECT_EQ(code, err::kNotSameDevice);
                EXPECT_NE(fromVolume->id, toVolume->id);
                EXPECT_FALSE(Exists(link));
            }
        }
    }
    // C: and Z: share one file system here; the mapped drive does not.
    EXPECT_EQ(fs.VolumeOf(places[0]), fs.VolumeOf(places[1]));
    EXPECT_NE(fs.VolumeOf(places[0]), fs.VolumeOf(places[2]));
    EXPECT_EQ(fs.CreateHardLink(places[2] + "\\c.txt", places[0] + "\\file.txt"),
              err::kNotSameDevice);
}

}  // namespace
}  // namespace velmora
