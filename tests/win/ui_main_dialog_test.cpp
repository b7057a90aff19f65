// The main dialog over a settings store in memory: the caption, the title, the system menu,
// the language rows, restoring and saving the rectangle and the depth; the help file and the
// topic F1 opens in each dialog.
#include <windows.h>
// After windows.h, whose types it uses.
#include <commctrl.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "app/link_app.h"
#include "framework_test_util.h"
#include "platform/win32/windows_support.h"
#include "resource.h"
#include "support/memory_profile.h"
#include "ui/error_dlg.h"
#include "ui/help_viewer.h"
#include "ui/link_dlg.h"
#include "ui/settings_dlg.h"

namespace velmora {
namespace {

using test::MemoryProfile;

// Records what the viewer would be started with instead of starting it.
class RecordingHelp : public CHelpViewer {
public:
    using CHelpViewer::CHelpViewer;
    void Open(HWND, const std::string& argument) const override { opened.push_back(argument); }
    mutable std::vector<std::string> opened;
};

std::string ProgramFolder() {
    const std::string program = ProgramPath();
    return program.substr(0, program.find_last_of('\\') + 1);
}

class FrameworkMainDialog : public ::testing::Test {
protected:
    void SetUp() override { VELMORA_REQUIRE_WINDOWS(); }
    void TearDown() override {
        if (m_dialog && m_dialog->GetSafeHwnd()) m_dialog->DestroyWindow();
    }
    LinkDlgInputs Inputs() {
        return {m_texts, m_settings,    m_profile, m_help,
                m_paths, "D:\\Links\\", m_version, "C:\\Program\\"};
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
    RecordingHelp m_help{"C:\\Program\\", "C:\\Program\\velmora.chm", m_settings, m_texts};
    std::vector<std::string> m_paths;
    std::string m_version = "1.1";
    std::unique_ptr<CLinkDlg> m_dialog;
};

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

RECT ScreenRectOf(HWND hwnd) {
    RECT rect{};
    GetWindowRect(hwnd, &rect);
    return rect;
}

TEST_F(FrameworkMainDialog, StoredRectangleIsRestoredOnlyWhereTheUserCanReachIt) {
    // The rule itself is the native test's (ui/window_rect.h); here the dialog's own size, its
    // title bar and the monitors' work areas. Nothing stored: the own size, centred.
    m_settings.saveWindowPos = true;
    const RECT centred = ScreenRectOf(Open().GetSafeHwnd());
    m_dialog->DestroyWindow();
    const int w = centred.right - centred.left, h = centred.bottom - centred.top;
    const std::vector<WindowRect> areas = MonitorWorkAreas();
    ASSERT_FALSE(areas.empty());
    const WindowRect work = areas.front();

    const struct {
        const char* what;
        WindowRect stored;
        bool restored;
    } cases[] = {
        {"at (0,0) with its own size", {work.left, work.top, work.left + w, work.top + h}, true},
        {"PosTop -1", {100, -1, 100 + w, 50 + h}, false},
        {"narrower than its own size", {100, 50, 100 + w - 1, 50 + h}, false},
        {"title bar above the work area", {100, work.top - 5, 100 + w, work.top - 5 + h}, false},
    };
    for (const auto& c : cases) {
        WriteWindowRect(m_profile, c.stored);
        const RECT shown = ScreenRectOf(Open().GetSafeHwnd());
        m_dialog->DestroyWindow();
        const RECT expected =
            c.restored ? RECT{c.stored.left, c.stored.top, c.stored.right, c.stored.bottom}
                       : centred;
        EXPECT_TRUE(EqualRect(&shown, &expected))
            << c.what << ": at " << shown.left << "," << shown.top << " - " << shown.right << ","
            << shown.bottom;
    }
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
    RECT rect = ScreenRectOf(dialog->GetSafeHwnd());
    dialog->SetDlgItemText(IDC_DEPTH, "-7");
    dialog->DestroyWindow();
    EXPECT_EQ(Stored("PosLeft"), rect.left);
    EXPECT_EQ(Stored("PosRight"), rect.right);
    EXPECT_EQ(Stored("PosTop"), rect.top);
    EXPECT_EQ(Stored("PosBottom"), rect.bottom);
    EXPECT_EQ(Stored("DefaultRecursionDepth"), -7);
}

TEST_F(FrameworkMainDialog, HelpFileIsTakenAgainstTheProgramsFolderWhateverTheCurrentOne) {
    const std::string folder = ProgramFolder();
    const std::string program = ProgramPath();
    const std::string name = program.substr(folder.size());
    const CHelpViewer help(folder, "C:\\Program\\velmora.chm", m_settings, m_texts);
    // As after a file browser went elsewhere.
    wchar_t windows[MAX_PATH] = {};
    GetWindowsDirectoryW(windows, MAX_PATH);
    ASSERT_TRUE(SetCurrentDirectoryW(windows));
    const struct {
        std::string setting, file;
    } cases[] = {
        {"", "C:\\Program\\velmora.chm"},
        {"no such help file.chm", "C:\\Program\\velmora.chm"},
        {name, program},
        {".\\" + name, program},
        {program, program},
    };
    for (const auto& c : cases) {
        m_settings.helpFile = c.setting;
        EXPECT_EQ(help.FilePath(), c.file) << c.setting;
    }
    SetCurrentDirectoryW(Widen(folder).c_str());
}

TEST_F(FrameworkMainDialog, F1OpensTheTopicOfTheWindowItIsPressedIn) {
    const auto pressF1 = [](HWND dialog) {
        HELPINFO info{};
        info.cbSize = sizeof(info);
        info.iContextType = HELPINFO_WINDOW;
        info.hItemHandle = GetFocus() != nullptr ? GetFocus() : dialog;
        SendMessageW(dialog, WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
    };
    const struct {
        const char* window;
        std::function<void()> run;
        std::string topic;
    } cases[] = {
        {"main dialog", [&] { pressF1(Open().GetSafeHwnd()); }, "C:\\Program\\velmora.chm"},
        {"settings",
         [&] {
             CSettingsDlg settings(m_texts, m_settings, m_profile, m_help, "C:\\Program\\");
             ASSERT_NE(settings.Create(), nullptr);
             pressF1(settings.GetSafeHwnd());
             // The Help button asks for the same topic.
             SendMessageW(settings.GetSafeHwnd(), WM_COMMAND, IDC_HELP_BUTTON, 0);
             settings.DestroyWindow();
         },
         "C:\\Program\\velmora.chm::/prog_settings.htm"},
        {"error prompt",
         [&] {
             CErrorDlg prompt(m_texts, &m_help);
             testing::ModalAnswerer answer([&](HWND dlg) {
                 pressF1(dlg);
                 PostMessageW(dlg, WM_COMMAND, IDCANCEL, 0);
             });
             EXPECT_EQ(prompt.Ask("F1"), PromptAnswer::Cancel);
         },
         "C:\\Program\\velmora.chm::/error_prompt.htm"},
    };
    for (const auto& c : cases) {
        m_help.opened.clear();
        c.run();
        ASSERT_FALSE(m_help.opened.empty()) << c.window;
        for (const std::string& opened : m_help.opened) EXPECT_EQ(opened, c.topic) << c.window;
        if (m_dialog && m_dialog->GetSafeHwnd()) m_dialog->DestroyWindow();
    }
}

}  // namespace
}  // namespace velmora
