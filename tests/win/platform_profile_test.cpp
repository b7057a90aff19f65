// Both settings stores against the real registry and real INI files.
#include <windows.h>

#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "platform/win32/profile_win.h"
#include "platform/win32/windows_support.h"
#include "platform_temp_dir.h"

namespace velmora {
namespace {

using testing::Exists;
using testing::TempDir;
using testing::WriteFileBytes;

const std::string kCyrillic = "Файл языка: Русский.lng";

// ---- registry ----

// A company name of this test run only; its whole key is removed before and after.
class RegistryProfileTest : public ::testing::Test {
protected:
    void SetUp() override { ::RegDeleteTreeW(HKEY_CURRENT_USER, CompanyKey().c_str()); }
    void TearDown() override { ::RegDeleteTreeW(HKEY_CURRENT_USER, CompanyKey().c_str()); }

    static std::string Company() {
        return "VelmoraTestCo-" + std::to_string(::GetCurrentProcessId());
    }
    static std::wstring CompanyKey() { return L"Software\\" + Widen(Company()); }
    static std::wstring SettingsKey() { return CompanyKey() + L"\\Velmora\\Settings"; }

    static bool KeyExists(const std::wstring& path) {
        HKEY key = nullptr;
        if (::RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
            return false;
        ::RegCloseKey(key);
        return true;
    }
    static DWORD ValueType(const wchar_t* name) {
        DWORD type = REG_NONE;
        if (::RegGetValueW(HKEY_CURRENT_USER, SettingsKey().c_str(), name,
                           RRF_RT_ANY | RRF_NOEXPAND, &type, nullptr, nullptr) != ERROR_SUCCESS)
            return REG_NONE;
        return type;
    }
    static void SetRaw(const wchar_t* name, DWORD type, const void* data, DWORD size) {
        ASSERT_EQ(
            ::RegSetKeyValueW(HKEY_CURRENT_USER, SettingsKey().c_str(), name, type, data, size),
            ERROR_SUCCESS);
    }

    RegistryProfile profile{Company(), "Velmora"};
};

TEST_F(RegistryProfileTest, AbsentValuesGiveDefaultsAndReadingCreatesNothing) {
    EXPECT_EQ(profile.SectionKey("Settings"), SettingsKey());
    EXPECT_EQ(profile.GetString("Settings", "LanguageFile", ""), "");
    EXPECT_EQ(profile.GetString("Settings", "HelpFile", "fallback"), "fallback");
    EXPECT_EQ(profile.GetInt("Settings", "PosLeft", -1), -1);
    EXPECT_EQ(profile.GetInt("Settings", "DefaultRecursionDepth", 0), 0);
    EXPECT_FALSE(KeyExists(CompanyKey()));

    // The key exists but not the value.
    ASSERT_TRUE(profile.WriteInt("Settings", "Other", 5));
    EXPECT_EQ(profile.GetInt("Settings", "PosLeft", -1), -1);
    EXPECT_EQ(profile.GetString("Settings", "LanguageFile", "x"), "x");
}

TEST_F(RegistryProfileTest, TextsAndIntegersRoundTripWithTheirTypes) {
    ASSERT_TRUE(profile.WriteString("Settings", "LanguageFile", kCyrillic));
    ASSERT_TRUE(profile.WriteString("Settings", "HelpFile", ""));
    EXPECT_EQ(profile.GetString("Settings", "LanguageFile", "x"), kCyrillic);
    EXPECT_EQ(profile.GetString("Settings", "HelpFile", "x"), "");  // stored empty is not absent
    EXPECT_EQ(ValueType(L"LanguageFile"), static_cast<DWORD>(REG_SZ));

    for (int value : {-1, 0, 1, 1000, INT_MIN, INT_MAX}) {
        ASSERT_TRUE(profile.WriteInt("Settings", "DefaultRecursionDepth", value));
        EXPECT_EQ(profile.GetInt("Settings", "DefaultRecursionDepth", 12345), value);
    }
    EXPECT_EQ(ValueType(L"DefaultRecursionDepth"), static_cast<DWORD>(REG_DWORD));
    // Overwriting keeps one value of the new type.
    ASSERT_TRUE(profile.WriteString("Settings", "DefaultRecursionDepth", "7"));
    EXPECT_EQ(ValueType(L"DefaultRecursionDepth"), static_cast<DWORD>(REG_SZ));
}

TEST_F(RegistryProfileTest, ValuesOfTheOtherTypeAreReadSensibly) {
    ASSERT_TRUE(profile.WriteInt("Settings", "Seed", 1));  // makes the key
    // Typed in by hand as text: the number is read by the INI rule.
    SetRaw(L"Depth", REG_SZ, L" -12abc", sizeof(L" -12abc"));
    EXPECT_EQ(profile.GetInt("Settings", "Depth", 99), -12);
    SetRaw(L"Letters", REG_SZ, L"abc", sizeof(L"abc"));
    EXPECT_EQ(profile.GetInt("Settings", "Letters", 99), 99);
    // A text stored without its terminating zero is still read whole.
    SetRaw(L"NoZero", REG_SZ, L"abc", 3 * sizeof(wchar_t));
    EXPECT_EQ(profile.GetString("Settings", "NoZero", ""), "abc");
    // A number where a file name belongs is no file name: the default.
    const DWORD number = 5;
    SetRaw(L"LanguageFile", REG_DWORD, &number, sizeof number);
    EXPECT_EQ(profile.GetString("Settings", "LanguageFile", "def"), "def");
    // A double word of the wrong size, and a binary value, are not integers.
    const unsigned char two[2] = {1, 2};
    SetRaw(L"Short", REG_DWORD, two, sizeof two);
    EXPECT_EQ(profile.GetInt("Settings", "Short", 99), 99);
    SetRaw(L"Binary", REG_BINARY, &number, sizeof number);
    EXPECT_EQ(profile.GetInt("Settings", "Binary", 99), 99);
}

TEST_F(RegistryProfileTest, LongTextsAndRefusedWrites) {
    const std::string longText(5000, 'z');
    ASSERT_TRUE(profile.WriteString("Settings", "HelpFile", longText));
    EXPECT_EQ(profile.GetString("Settings", "HelpFile", ""), longText);
    // A zero character would cut the stored text: the write says it was not stored.
    EXPECT_FALSE(profile.WriteString("Settings", "HelpFile", std::string("a\0b", 3)));
    EXPECT_EQ(profile.GetString("Settings", "HelpFile", ""), longText);
}

// ---- INI file ----

std::string FileBytes(const std::string& path) {
    std::string bytes;
    ReadWholeFile(path, bytes, FILE_SHARE_READ | FILE_SHARE_WRITE);
    return bytes;
}

TEST(IniProfileTest, AbsentFileAndValuesGiveDefaultsAndReadingCreatesNothing) {
    TempDir dir;
    IniProfile profile(dir / "links.ini");
    EXPECT_EQ(profile.GetString("Settings", "LanguageFile", ""), "");
    EXPECT_EQ(profile.GetString("Settings", "LanguageFile", "fallback"), "fallback");
    EXPECT_EQ(profile.GetInt("Settings", "PosLeft", -1), -1);
    EXPECT_FALSE(Exists(dir / "links.ini"));

    ASSERT_TRUE(WriteFileBytes(dir / "links.ini", "[Settings]\r\nHelpFile=\r\nOther=1\r\n"));
    EXPECT_EQ(profile.GetString("Settings", "LanguageFile", "x"), "x");
    EXPECT_EQ(profile.GetString("Settings", "HelpFile", "x"), "");  // present but empty
    EXPECT_EQ(profile.GetInt("Settings", "HelpFile", 7), 7);        // empty number: the default
    EXPECT_EQ(profile.GetInt("Other", "Other", 7), 7);              // another section
}

TEST(IniProfileTest, ANewFileIsUtf16AndTextsRoundTrip) {
    TempDir dir;
    IniProfile profile(dir / "links.ini");
    ASSERT_TRUE(profile.WriteString("Settings", "LanguageFile", kCyrillic));
    const std::string bytes = FileBytes(dir / "links.ini");
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE");
    EXPECT_NE(bytes.find(std::string("\x24\x04\x30\x04", 4)),
              std::string::npos);  // "Фа" in UTF-16 LE

    IniProfile reader(dir / "links.ini");
    EXPECT_EQ(reader.GetString("Settings", "LanguageFile", ""), kCyrillic);

    // Texts the reader would trim or unquote come back exactly as written.
    for (const std::string text :
         {"  blanks around  ", "\"quoted\"", "'single'", "\"", "a \"b\" c", "tab\t",
          "C:\\Program Files\\Help.chm", "key=value", "; not a comment"}) {
        ASSERT_TRUE(profile.WriteString("Settings", "HelpFile", text)) << text;
        EXPECT_EQ(reader.GetString("Settings", "HelpFile", "x"), text);
    }
    ASSERT_TRUE(profile.WriteString("Settings", "HelpFile", ""));
    EXPECT_EQ(reader.GetString("Settings", "HelpFile", "x"), "");

    const std::string longText(3000, 'q');
    ASSERT_TRUE(profile.WriteString("Settings", "HelpFile", longText));
    EXPECT_EQ(reader.GetString("Settings", "HelpFile", ""), longText);
}

TEST(IniProfileTest, AnEmptyFileBecomesUtf16) {
    TempDir dir;
    ASSERT_TRUE(WriteFileBytes(dir / "empty.ini", ""));
    IniProfile profile(dir / "empty.ini");
    ASSERT_TRUE(profile.WriteString("Settings", "LanguageFile", kCyrillic));
    EXPECT_EQ(FileBytes(dir / "empty.ini").substr(0, 2), "\xFF\xFE");
    EXPECT_EQ(profile.GetString("Settings", "LanguageFile", ""), kCyrillic);
}

TEST(IniProfileTest, IntegersRoundTripAndAreReadLikeTheSystemReadsThem) {
    TempDir dir;
    IniProfile profile(dir / "links.ini");
    for (int value : {-1, 0, 1, 1000, INT_MIN, INT_MAX}) {
        ASSERT_TRUE(profile.WriteInt("Settings", "DefaultRecursionDepth", value));
        EXPECT_EQ(profile.GetInt("Settings", "DefaultRecursionDepth", 12345), value);
    }
    EXPECT_EQ(profile.GetString("Settings", "DefaultRecursionDepth", ""), std::to_string(INT_MAX));

    ASSERT_TRUE(WriteFileBytes(dir / "hand.ini",
                               "[Settings]\r\nA=  12abc\r\nB=abc\r\nC=-7\r\nD=+3\r\nE=\r\n"));
    IniProfile hand(dir / "hand.ini");
    EXPECT_EQ(hand.GetInt("Settings", "A", 99), 12);
    EXPECT_EQ(hand.GetInt("Settings", "B", 99), 0);
    EXPECT_EQ(hand.GetInt("Settings", "C", 99), -7);
    EXPECT_EQ(hand.GetInt("Settings", "D", 99), 3);
    EXPECT_EQ(hand.GetInt("Settings", "E", 99), 99);
    EXPECT_EQ(hand.GetInt("Settings", "Missing", -1), -1);
}

TEST(IniProfileTest, AnExistingFileKeepsItsEncoding) {
    TempDir dir;
    const std::string original = "; written by hand\r\n[Settings]\r\nSaveWindowPos=1\r\n";
    ASSERT_TRUE(WriteFileBytes(dir / "ansi.ini", original));
    IniProfile profile(dir / "ansi.ini");
    ASSERT_TRUE(profile.WriteString("Settings", "HelpFile", "help.chm"));
    const std::string bytes = FileBytes(dir / "ansi.ini");
    EXPECT_NE(bytes.substr(0, 2), "\xFF\xFE");
    EXPECT_NE(bytes.find("HelpFile=help.chm"), std::string::npos);
    EXPECT_NE(bytes.find("; written by hand"), std::string::npos);
    EXPECT_EQ(profile.GetInt("Settings", "SaveWindowPos", 0), 1);

    // A character no single-byte code page holds cannot be stored in an 8-bit file.
    const UINT acp = ::GetACP();
    if (acp != 932 && acp != 936 && acp != 949 && acp != 950 && acp != CP_UTF8) {
        EXPECT_FALSE(profile.WriteString("Settings", "HelpFile", "漢字.chm"));
        EXPECT_EQ(profile.GetString("Settings", "HelpFile", ""), "help.chm");
    }
}

TEST(IniProfileTest, WritesThatCannotBeStoredReportFailure) {
    TempDir dir;
    // The folder does not exist: nothing is made, not even the folder.
    IniProfile missing(dir / "missing\\links.ini");
    EXPECT_FALSE(missing.WriteString("Settings", "HelpFile", "x"));
    EXPECT_FALSE(missing.WriteInt("Settings", "PosLeft", 1));
    EXPECT_FALSE(Exists(dir / "missing"));

    // A line break would add a line of its own to the file.
    IniProfile profile(dir / "links.ini");
    ASSERT_TRUE(profile.WriteString("Settings", "HelpFile", "safe"));
    EXPECT_FALSE(profile.WriteString("Settings", "HelpFile", "x\r\nLanguageFile=evil"));
    EXPECT_FALSE(profile.WriteString("Settings", "Bad=Key", "x"));
    EXPECT_FALSE(profile.WriteString("Set]tings", "Key", "x"));
    EXPECT_FALSE(profile.WriteString("Settings", "HelpFile", std::string("a\0b", 3)));
    EXPECT_EQ(profile.GetString("Settings", "HelpFile", ""), "safe");
    EXPECT_EQ(profile.GetString("Settings", "LanguageFile", "none"), "none");

    // Another program holds the file open without sharing it.
    HANDLE held = ::CreateFileW(LongPath(dir / "links.ini").c_str(), GENERIC_READ, 0, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(profile.WriteString("Settings", "HelpFile", "changed"));
    ::CloseHandle(held);
    EXPECT_EQ(profile.GetString("Settings", "HelpFile", ""), "safe");

    // The name is taken by a folder.
    ASSERT_TRUE(::CreateDirectoryW(LongPath(dir / "folder.ini").c_str(), nullptr));
    IniProfile folder(dir / "folder.ini");
    EXPECT_FALSE(folder.WriteInt("Settings", "PosLeft", 1));
    EXPECT_EQ(folder.GetInt("Settings", "PosLeft", -1), -1);
}

TEST(IniProfileTest, AWriteIntoAReadOnlyFileReportsFailure) {
    TempDir dir;
    IniProfile profile(dir / "links.ini");
    ASSERT_TRUE(profile.WriteString("Settings", "HelpFile", "safe"));
    ASSERT_TRUE(::SetFileAttributesW(LongPath(dir / "links.ini").c_str(), FILE_ATTRIBUTE_READONLY));
    // An administrator (root under Wine) may write a read-only file anyway.
    HANDLE file = ::CreateFileW(LongPath(dir / "links.ini").c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        ::CloseHandle(file);
        GTEST_SKIP() << "this user may write read-only files";
    }
    EXPECT_FALSE(profile.WriteString("Settings", "HelpFile", "changed"));
    EXPECT_EQ(profile.GetString("Settings", "HelpFile", ""), "safe");
}

TEST(IniProfileTest, AWriteIntoAReadOnlyFolderReportsFailure) {
    TempDir dir;
    const std::string folder = dir / "locked";
    ASSERT_TRUE(::CreateDirectoryW(LongPath(folder).c_str(), nullptr));
    ASSERT_TRUE(::SetFileAttributesW(LongPath(folder).c_str(), FILE_ATTRIBUTE_READONLY));
    // Windows keeps the read-only attribute of a folder only as a mark for the shell; the
    // test is meaningful only where it really stops new files.
    const std::wstring probe = LongPath(folder + "\\probe.tmp");
    HANDLE file = ::CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        ::CloseHandle(file);
        ::DeleteFileW(probe.c_str());
        GTEST_SKIP()
            << "this system (or this user: root under Wine) lets new files into a read-only folder";
    }
    IniProfile profile(folder + "\\links.ini");
    EXPECT_FALSE(profile.WriteString("Settings", "HelpFile", "x"));
    EXPECT_FALSE(profile.WriteInt("Settings", "PosLeft", 1));
    EXPECT_FALSE(Exists(folder + "\\links.ini"));
}

TEST(IniProfileTest, ARelativeNameIsMadeAbsoluteAgainstTheCurrentFolder) {
    TempDir dir;
    wchar_t saved[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, saved);
    ASSERT_TRUE(::SetCurrentDirectoryW(dir.WidePath().c_str()));
    IniProfile profile("relative.ini");
    ::SetCurrentDirectoryW(saved);
    EXPECT_EQ(profile.Path(), dir / "relative.ini");
    ASSERT_TRUE(profile.WriteInt("Settings", "PosTop", 3));
    EXPECT_TRUE(Exists(dir / "relative.ini"));
}

TEST(IniProfileTest, TheRegistryIsNeverTouched) {
    const auto settingsValues = []() -> long {
        HKEY key = nullptr;
        if (::RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Tarnwell\\Velmora\\Settings", 0,
                            KEY_READ, &key) != ERROR_SUCCESS)
            return -1;
        DWORD values = 0;
        ::RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values,
                           nullptr, nullptr, nullptr, nullptr);
        ::RegCloseKey(key);
        return static_cast<long>(values);
    };
    const auto softwareKeys = []() -> DWORD {
        HKEY key = nullptr;
        if (::RegOpenKeyExW(HKEY_CURRENT_USER, L"Software", 0, KEY_READ, &key) != ERROR_SUCCESS)
            return 0;
        DWORD keys = 0;
        ::RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &keys, nullptr, nullptr, nullptr,
                           nullptr, nullptr, nullptr, nullptr);
        ::RegCloseKey(key);
        return keys;
    };
    const long valuesBefore = settingsValues();
    const DWORD keysBefore = softwareKeys();

    TempDir dir;
    IniProfile profile(dir / "links.ini");
    ASSERT_TRUE(profile.WriteString("Settings", "LanguageFile", "English.lng"));
    ASSERT_TRUE(profile.WriteInt("Settings", "SaveWindowPos", 1));
    EXPECT_EQ(profile.GetString("Settings", "LanguageFile", ""), "English.lng");
    EXPECT_EQ(profile.GetInt("Settings", "SaveWindowPos", 0), 1);

    EXPECT_EQ(settingsValues(), valuesBefore);
    EXPECT_EQ(softwareKeys(), keysBefore);
}

}  // namespace
}  // namespace velmora
