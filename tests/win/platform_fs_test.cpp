// The Windows file-system back end on real files under Wine (or Windows).
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
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

}  // namespace
}  // namespace velmora
