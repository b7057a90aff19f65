// UTF-16 conversion, long paths and the small system services, against the real system.
#include <windows.h>
#include <winioctl.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/win32/windows_support.h"
#include "platform_temp_dir.h"

namespace velmora {
namespace {

using testing::TempDir;
using testing::WriteFileBytes;

TEST(PlatformWide, RoundTripsEveryPlane) {
    // Cyrillic, a CJK character and one beyond the basic plane (a surrogate pair).
    const std::string text = "Привет, 漢字 \xF0\x9F\x98\x80 end";
    const std::wstring wide = Widen(text);
    EXPECT_EQ(wide, L"Привет, 漢字 \xD83D\xDE00 end");
    EXPECT_EQ(Narrow(wide), text);
    EXPECT_EQ(Widen(""), L"");
    EXPECT_EQ(Narrow(L""), "");
    // Zero characters are data, not the end of the text.
    EXPECT_EQ(Widen(std::string("a\0b", 3)), std::wstring(L"a\0b", 3));
}

TEST(PlatformWide, LongPathPrefixesOnlyWhatNeedsIt) {
    EXPECT_EQ(LongPath("C:\\short\\name.txt"), L"C:\\short\\name.txt");
    EXPECT_EQ(LongPath("relative\\name"), L"relative\\name");

    const std::string element(120, 'x');
    const std::string longName = "C:\\" + element + "\\" + element + "\\" + element;
    EXPECT_EQ(LongPath(longName), L"\\\\?\\" + Widen(longName));
    // Already in the extended form: untouched.
    EXPECT_EQ(LongPath("\\\\?\\" + longName), L"\\\\?\\" + Widen(longName));
    // Made absolute and normalised before the prefix, which turns normalisation off.
    EXPECT_EQ(
        LongPath("C:/" + element + "/./" + element + "/../" + element + "/" + element + "..."),
        L"\\\\?\\C:\\" + Widen(element + "\\" + element + "\\" + element));
    EXPECT_EQ(LongPath("\\\\server\\share\\" + element + "\\" + element + "\\" + element),
              L"\\\\?\\UNC\\server\\share\\" + Widen(element + "\\" + element + "\\" + element));
}

TEST(PlatformSystem, FullPathOfFollowsTheSystemRules) {
    TempDir dir;
    wchar_t saved[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, saved);
    ASSERT_TRUE(::SetCurrentDirectoryW(dir.WidePath().c_str()));
    EXPECT_EQ(FullPathOf("name"), dir / "name");
    EXPECT_EQ(FullPathOf("name..."), dir / "name");   // trailing dots go
    EXPECT_EQ(FullPathOf("name. . "), dir / "name");  // and trailing blanks
    EXPECT_EQ(FullPathOf("sub\\..\\имя"), dir / "имя");
    ::SetCurrentDirectoryW(saved);

    const std::string deep = "C:\\" + std::string(300, 'a') + "\\" + std::string(300, 'b');
    EXPECT_EQ(FullPathOf(deep), deep);  // no 260-character limit
    EXPECT_EQ(FullPathOf(""), std::nullopt);
    EXPECT_EQ(FullPathOf(std::string("C:\\a\0b", 6)), std::nullopt);
}

TEST(PlatformSystem, CodePagesDecodeTheirOwnBytes) {
    EXPECT_EQ(CodePageToUtf8(1251, "\xC0\xE9\xB8"), "Айё");
    EXPECT_EQ(CodePageToUtf8(1252, "\xE9\x80"), "é€");
    EXPECT_EQ(CodePageToUtf8(1251, ""), "");
    EXPECT_EQ(CodePageToUtf8(12345, "abc"), "");  // no such code page
    // The list and language files' decoder is the system's ANSI code page.
    const std::string bytes = "C:\\\xC0\xE9\xB8\\\xE9\r\n";
    EXPECT_EQ(AnsiToUtf8(bytes), CodePageToUtf8(::GetACP(), bytes));
    EXPECT_EQ(AnsiToUtf8("plain ascii"), "plain ascii");
}

TEST(PlatformSystem, ProgramPathNamesThisExecutable) {
    const std::string path = ProgramPath();
    ASSERT_GE(path.size(), 4u);
    EXPECT_EQ(path.substr(path.size() - 4), ".exe");
    EXPECT_TRUE(testing::Exists(path));
    EXPECT_NE(path.find('\\'), std::string::npos);
}

TEST(PlatformSystem, SystemErrorTextIsTheSystemsOwn) {
    const std::string denied = SystemErrorText(ERROR_ACCESS_DENIED);
    ASSERT_FALSE(denied.empty());
    EXPECT_EQ(denied.back(), '\n');  // the line break the system puts at the end stays
    EXPECT_NE(SystemErrorText(ERROR_FILE_NOT_FOUND), denied);
    EXPECT_EQ(SystemErrorText(0x2000ABCDu), "");  // no text for it
}

TEST(PlatformSystem, ReadWholeFileReadsEveryByte) {
    TempDir dir;
    std::string content = "line 1\r\n";
    content.push_back('\0');  // binary content comes back whole
    content += "\xFF\xFE tail";
    ASSERT_TRUE(WriteFileBytes(dir / "list.txt", content));
    std::string bytes = "old";
    EXPECT_TRUE(ReadWholeFile(dir / "list.txt", bytes, FILE_SHARE_READ));
    EXPECT_EQ(bytes, content);

    ASSERT_TRUE(WriteFileBytes(dir / "empty.txt", ""));
    EXPECT_TRUE(ReadWholeFile(dir / "empty.txt", bytes, 0));
    EXPECT_EQ(bytes, "");

    const std::string longName = dir / (std::string(150, 'n') + "\\" + std::string(150, 'm'));
    ASSERT_TRUE(::CreateDirectoryW(LongPath(dir / std::string(150, 'n')).c_str(), nullptr));
    ASSERT_TRUE(WriteFileBytes(longName, "far away"));
    EXPECT_TRUE(ReadWholeFile(longName, bytes, FILE_SHARE_READ));
    EXPECT_EQ(bytes, "far away");
}

TEST(PlatformSystem, ReadWholeFileFailsCleanly) {
    TempDir dir;
    std::string bytes = "old";
    EXPECT_FALSE(ReadWholeFile(dir / "missing.txt", bytes, FILE_SHARE_READ));
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(bytes, "");

    bytes = "old";
    EXPECT_FALSE(ReadWholeFile(dir.Path(), bytes, FILE_SHARE_READ));  // a folder
    EXPECT_EQ(bytes, "");

    // Opened by someone who shares it with no other opener.
    HANDLE locked = ::CreateFileW(LongPath(dir / "locked.txt").c_str(), GENERIC_WRITE, 0, nullptr,
                                  CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(locked, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(ReadWholeFile(dir / "locked.txt", bytes, FILE_SHARE_READ | FILE_SHARE_WRITE));
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    ::CloseHandle(locked);

    EXPECT_FALSE(ReadWholeFile(std::string("C:\\a\0b", 6), bytes, FILE_SHARE_READ));
}

TEST(PlatformSystem, ReadWholeFileHandlesHugeAndRefusesOversizedFiles) {
    TempDir dir;
    // 100 MB of data is read whole.
    {
        std::string big(100u << 20, 'x');
        big.back() = 'y';
        ASSERT_TRUE(WriteFileBytes(dir / "big.txt", big));
        std::string bytes;
        ASSERT_TRUE(ReadWholeFile(dir / "big.txt", bytes, FILE_SHARE_READ));
        EXPECT_EQ(bytes.size(), big.size());
        EXPECT_TRUE(bytes == big);
    }
    ::DeleteFileW(LongPath(dir / "big.txt").c_str());

    // A 3 GB file (sparse, so it costs no disk) is refused before any memory is taken.
    HANDLE file = ::CreateFileW(LongPath(dir / "huge.txt").c_str(), GENERIC_WRITE, 0, nullptr,
                                CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD returned = 0;
    ::DeviceIoControl(file, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &returned, nullptr);
    LARGE_INTEGER size{};
    size.QuadPart = 3LL << 30;
    const bool grown = ::SetFilePointerEx(file, size, nullptr, FILE_BEGIN) && ::SetEndOfFile(file);
    ::CloseHandle(file);
    if (!grown) GTEST_SKIP() << "cannot make a 3 GB file here";
    std::string bytes = "old";
    EXPECT_FALSE(ReadWholeFile(dir / "huge.txt", bytes, FILE_SHARE_READ));
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_FILE_TOO_LARGE));
    EXPECT_EQ(bytes, "");
}

TEST(PlatformSystem, ExactNameExistsKeepsTrailingDotsAndBlanks) {
    TempDir dir;
    const auto make = [&](const std::string& name, bool folder) {
        const std::wstring path = L"\\\\?\\" + Widen(dir / name);
        if (folder) return ::CreateDirectoryW(path.c_str(), nullptr) != FALSE;
        HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) return false;
        ::CloseHandle(file);
        return true;
    };
    ASSERT_TRUE(make("d.", true) && make("sub", true) && make("b.txt ", false) &&
                make("x.txt", false));
    const struct {
        std::string name;
        bool exists;
    } cases[] = {
        // The system's normal form drops trailing dots and blanks: it would miss the first
        // three and find the next three.
        {dir / "b.txt ", true},
        {dir / "d.", true},
        {dir / "d.\\", true},  // a folder entry
        {dir / "x.txt ", false},
        {dir / "x.txt.", false},
        {dir / "d", false},
        {dir / "sub/./../sub/", true},
        {dir / "sub\\..\\b.txt ", true},
        {"\\\\?\\" + (dir / "b.txt "), true},
        // No full path names no definite file, even where the current folder holds one.
        {"sub", false},
        {dir.Path().substr(0, 2) + "sub", false},
        {"", false},
    };
    wchar_t previous[MAX_PATH + 1] = {};
    ::GetCurrentDirectoryW(MAX_PATH + 1, previous);
    ::SetCurrentDirectoryW(dir.WidePath().c_str());
    for (const auto& c : cases) EXPECT_EQ(ExactNameExists(c.name), c.exists) << c.name;
    ::SetCurrentDirectoryW(previous);
}

}  // namespace
}  // namespace velmora
