// The main dialog over a settings store in memory: the caption
// forms, the title, the system menu, the language rows, restoring and saving the rectangle
// and the depth, the version string from this program's own version record.
#include <windows.h>
// After windows.h, whose types it uses.
#include <commctrl.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/link_app.h"
#include "framework_test_util.h"
#include "platform/win32/windows_support.h"
#include "resource.h"
#include "support/memory_profile.h"
#include "ui/help_viewer.h"
#include "ui/link_dlg.h"

namespace velmora {
namespace {

using test::MemoryProfile;

class FrameworkMainDialog : public ::testing::Test {
protected:
    void SetUp() override { VELMORA_REQUIRE_WINDOWS(); }
    void TearDown() override {
        if (m_dialog && m_dialog->GetSafeHwnd()) m_dialog->DestroyWindow();
    }
    LinkDlgInputs Inputs() {
        return {m_texts, m_settings, m_profile, m_help, m_paths, "D:\\Links\\", m_version};
    }
    CLinkDlg& Open() {
        m_dialog = std::make_unique<CLinkDlg>(Inputs());
        EXPECT_NE(m_dialog->Create(), nullptr) << "cannot create a window (no display?)";
        return *m_dialog;
    }
    int Stored(const char* key) { return m_profile.GetInt("Settings", key, -12345); }

    TextCatalog m_texts;
    Settings m_settings;
    MemoryProfile m_profile;
    CHelpViewer m_help{"", m_settings, m_texts};
    std::vector<std::string> m_paths;
    std::string m_version = "1.1";
    std::unique_ptr<CLinkDlg> m_dialog;
};

TEST_F(FrameworkMainDialog, CaptionAndTargetForEachFormOfTheList) {
    struct Case {
        std::vector<std::string> paths;
        std::string caption, target;
    };
    const Case cases[] = {
        {{"C:\\Data\\report.txt"},
         "&Создать ссылку для \"report.txt\" в:",
         "D:\\Links\\report.txt"},
        {{"C:\\Data\\Photos\\"},
         "&Создать ссылки для выделенных файлов (1 шт.) в:",
         "D:\\Links\\*.*"},
        {{"C:\\a", "C:\\b\\", "C:\\c"},
         "&Создать ссылки для выделенных файлов (3 шт.) в:",
         "D:\\Links\\*.*"},
        {{}, "&Создать ссылки для выделенных файлов (0 шт.) в:", "D:\\Links\\*.*"},
        {{"bare.txt"}, "&Создать ссылку для \"bare.txt\" в:", "D:\\Links\\bare.txt"},
        {{""}, "&Создать ссылку для \"\" в:", "D:\\Links\\"},
    };
    for (const Case& c : cases) {
        m_paths = c.paths;
        CLinkDlg dialog(Inputs());
        EXPECT_EQ(dialog.m_strCaption, c.caption) << c.target;
        EXPECT_EQ(dialog.m_strTarget, c.target);
    }
}

TEST_F(FrameworkMainDialog, CaptionFormatFromTheTableOnlyWhenItsConversionsMatch) {
    m_paths = {"C:\\a", "C:\\b"};
    m_texts.SetTable({{5, "Link \"%s\" into:"}, {6, "Links for %d items into:"}});
    EXPECT_EQ(CLinkDlg(Inputs()).m_strCaption, "Links for 2 items into:");
    // A %s where the number goes would read an argument that was never passed.
    m_texts.SetTable({{6, "Links for %s items into:"}});
    EXPECT_EQ(CLinkDlg(Inputs()).m_strCaption, "&Создать ссылки для выделенных файлов (2 шт.) в:");
    m_paths = {"C:\\report.txt"};
    m_texts.SetTable({{5, "%s%s%n"}});
    EXPECT_EQ(CLinkDlg(Inputs()).m_strCaption, "&Создать ссылку для \"report.txt\" в:");
}

TEST_F(FrameworkMainDialog, OpensWithTitleFieldsIconsAndAboutItem) {
    m_paths = {"C:\\Data\\report.txt"};
    m_settings.defaultRecursionDepth = 2;
    CLinkDlg& dialog = Open();
    HWND hwnd = dialog.GetSafeHwnd();
    wchar_t cls[16] = {};
    GetClassNameW(hwnd, cls, 16);
    EXPECT_EQ(std::wstring(cls), L"#32770");
    EXPECT_EQ(WindowText(hwnd), "Velmora 1.1");
    EXPECT_EQ(dialog.GetDlgItemText(IDC_TARGET), "D:\\Links\\report.txt");
    EXPECT_EQ(dialog.GetDlgItemText(IDC_DEPTH), "2");
    EXPECT_EQ(dialog.GetDlgItemText(IDC_CAPTION), "&Создать ссылку для \"report.txt\" в:");
    EXPECT_EQ(dialog.GetDlgItemText(IDC_SETTINGS), "Настрой&ки");
    EXPECT_NE(SendMessageW(hwnd, WM_GETICON, ICON_BIG, 0), 0);
    EXPECT_NE(SendMessageW(hwnd, WM_GETICON, ICON_SMALL, 0), 0);

    int lower = 0, upper = 0;
    SendMessageW(GetDlgItem(hwnd, IDC_DEPTH_SPIN), UDM_GETRANGE32, reinterpret_cast<WPARAM>(&lower),
                 reinterpret_cast<LPARAM>(&upper));
    EXPECT_EQ(lower, -1);
    EXPECT_EQ(upper, 1000);

    HMENU menu = GetSystemMenu(hwnd, FALSE);
    ASSERT_NE(menu, nullptr);
    int count = GetMenuItemCount(menu);
    ASSERT_GE(count, 2);
    wchar_t text[64] = {};
    GetMenuStringW(menu, IDM_ABOUTBOX, text, 64, MF_BYCOMMAND);
    EXPECT_EQ(Narrow(text), "&О программе...");
    EXPECT_EQ(GetMenuItemID(menu, count - 1), static_cast<UINT>(IDM_ABOUTBOX));
    EXPECT_TRUE(GetMenuState(menu, static_cast<UINT>(count - 2), MF_BYPOSITION) & MF_SEPARATOR);
}

TEST_F(FrameworkMainDialog, LanguageTableRenamesButtonsButNeverTheTitle) {
    m_texts.SetTable({{3, "Options"}, {151, ""}, {1, "Go"}});
    m_version.clear();
    CLinkDlg& dialog = Open();
    EXPECT_EQ(dialog.GetDlgItemText(IDC_SETTINGS), "Options");
    EXPECT_EQ(dialog.GetDlgItemText(IDOK), "Go");
    EXPECT_EQ(dialog.GetDlgItemText(IDCANCEL), "Отмена");
    EXPECT_EQ(dialog.GetWindowText(), "Velmora");
    // An empty About text adds neither the item nor its separator.
    HMENU menu = GetSystemMenu(dialog.GetSafeHwnd(), FALSE);
    EXPECT_EQ(GetMenuState(menu, IDM_ABOUTBOX, MF_BYCOMMAND), static_cast<UINT>(-1));
    int count = GetMenuItemCount(menu);
    EXPECT_FALSE(GetMenuState(menu, static_cast<UINT>(count - 1), MF_BYPOSITION) & MF_SEPARATOR);
}

RECT WindowRect(HWND hwnd) {
    RECT rect{};
    GetWindowRect(hwnd, &rect);
    return rect;
}

TEST_F(FrameworkMainDialog, StoredRectangleIsRestoredOnlyWhenCompleteAndVisible) {
    m_settings.saveWindowPos = true;
    m_profile.Set("Settings", "PosLeft", 100);
    m_profile.Set("Settings", "PosRight", 500);
    m_profile.Set("Settings", "PosTop", 50);
    m_profile.Set("Settings", "PosBottom", 200);
    RECT rect = WindowRect(Open().GetSafeHwnd());
    EXPECT_EQ(rect.left, 100);
    EXPECT_EQ(rect.top, 50);
    EXPECT_EQ(rect.right, 500);
    EXPECT_EQ(rect.bottom, 200);
    m_dialog->DestroyWindow();

    for (auto [key, value] : {std::pair{"PosTop", -1}, {"PosTop", -20000}}) {
        m_profile.Set("Settings", "PosLeft", 100);
        m_profile.Set("Settings", "PosRight", 500);
        m_profile.Set("Settings", "PosTop", 50);
        m_profile.Set("Settings", "PosBottom", 200);
        m_profile.Set("Settings", key, value);
        if (value == -20000) m_profile.Set("Settings", "PosBottom", -19900);
        rect = WindowRect(Open().GetSafeHwnd());
        EXPECT_NE(rect.left, 100) << key << "=" << value;
        EXPECT_GE(rect.top, 0) << key << "=" << value;
        m_dialog->DestroyWindow();
    }

    EXPECT_FALSE(IsOnSomeWorkArea(RECT{-30000, -30000, -29000, -29000}));
    EXPECT_FALSE(IsOnSomeWorkArea(RECT{300, 300, 300, 400}));  // no area at all
    EXPECT_TRUE(IsOnSomeWorkArea(RECT{-100, -100, 10, 10}));   // partly visible is enough
}

TEST_F(FrameworkMainDialog, ClosingStoresRectangleAndDepthOnlyWhenAsked) {
    CLinkDlg* dialog = &Open();
    dialog->SetDlgItemText(IDC_DEPTH, "5");
    dialog->DestroyWindow();
    EXPECT_EQ(Stored("PosLeft"), -12345);
    EXPECT_EQ(Stored("DefaultRecursionDepth"), -12345);

    m_settings.saveWindowPos = true;
    m_settings.saveRecursionDepth = true;
    dialog = &Open();
    RECT rect = WindowRect(dialog->GetSafeHwnd());
    dialog->SetDlgItemText(IDC_DEPTH, "-7");
    dialog->DestroyWindow();
    EXPECT_EQ(Stored("PosLeft"), rect.left);
    EXPECT_EQ(Stored("PosRight"), rect.right);
    EXPECT_EQ(Stored("PosTop"), rect.top);
    EXPECT_EQ(Stored("PosBottom"), rect.bottom);
    EXPECT_EQ(Stored("DefaultRecursionDepth"), -7);

    dialog = &Open();
    dialog->SetDlgItemText(IDC_DEPTH, "abc");
    dialog->DestroyWindow();
    EXPECT_EQ(Stored("DefaultRecursionDepth"), 0);
}

TEST_F(FrameworkMainDialog, VersionStringComesFromTheProgramsOwnRecord) {
    EXPECT_EQ(ProgramVersionString(), "1.1");
}

TEST_F(FrameworkMainDialog, HelpPathFallsBackWhenTheSettingNamesNothing) {
    const CHelpViewer help("C:\\Program\\velmora.chm", m_settings, m_texts);
    EXPECT_EQ(help.FilePath(), "C:\\Program\\velmora.chm");
    m_settings.helpFile = "no such help file.chm";
    EXPECT_EQ(help.FilePath(), "C:\\Program\\velmora.chm");
    // An existing file named relatively: its absolute path in the current folder.
    const std::string program = ProgramPath();
    const std::string folder = program.substr(0, program.find_last_of('\\') + 1);
    SetCurrentDirectoryW(Widen(folder).c_str());
    m_settings.helpFile = program.substr(folder.size());
    EXPECT_EQ(help.FilePath(), program);
}

}  // namespace
}  // namespace velmora
