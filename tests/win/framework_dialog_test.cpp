// The dialog framework against real dialogs made from the program's templates: data
// exchange, language rows, control binding with reflected notifications, modal runs.
#include <windows.h>
// After windows.h, whose types it uses.
#include <commctrl.h>

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "framework/dialog.h"
#include "framework/file_dialog.h"
#include "framework/message_box.h"
#include "framework_test_util.h"
#include "resource.h"
#include "ui/error_dlg.h"
#include "ui/localized_dialog.h"

namespace velmora {
namespace {

using testing::MessageBoxText;
using testing::ModalAnswerer;
using testing::TestApp;

// A dialog over the settings template, which has every kind of field: check boxes, number
// and text edits, an up-down control.
class FieldsDialog : public CLocalizedDialog {
public:
    explicit FieldsDialog(const TextCatalog& texts) : CLocalizedDialog(IDD_SETTINGS, texts) {}
    void DoDataExchange(CDataExchange& dx) override {
        dx.Control(IDC_DEFAULT_DEPTH_SPIN, m_spin);
        dx.Check(IDC_SAVE_WINDOW_POS, m_savePos);
        dx.Check(IDC_SAVE_DEPTH, m_saveDepth);
        dx.Int(IDC_DEFAULT_DEPTH, m_depth);
        dx.Text(IDC_LANGUAGE_FILE, m_language);
    }
    void Apply(std::span<const LanguageRow> rows) { ApplyLanguage(rows); }

    CSpinButtonCtrl m_spin;
    int m_savePos = 1;
    bool m_saveDepth = false;
    int m_depth = -1;
    std::string m_language = "Русский.lng";
};

class FrameworkDialog : public ::testing::Test {
protected:
    void SetUp() override {
        VELMORA_REQUIRE_WINDOWS();
        m_app.m_texts.notAnInteger = "Need a number";
        ASSERT_NE(m_dialog.Create(), nullptr) << "cannot create a window (no display?)";
    }
    TestApp m_app;
    FieldsDialog m_dialog{m_app.m_catalog};
};

TEST_F(FrameworkDialog, ExchangesEveryKindOfFieldBothWays) {
    ASSERT_TRUE(m_dialog.UpdateData(false));
    HWND hwnd = m_dialog.GetSafeHwnd();
    EXPECT_EQ(IsDlgButtonChecked(hwnd, IDC_SAVE_WINDOW_POS), BST_CHECKED);
    EXPECT_EQ(IsDlgButtonChecked(hwnd, IDC_SAVE_DEPTH), BST_UNCHECKED);
    EXPECT_EQ(m_dialog.GetDlgItemText(IDC_DEFAULT_DEPTH), "-1");
    EXPECT_EQ(m_dialog.GetDlgItemText(IDC_LANGUAGE_FILE), "Русский.lng");
    EXPECT_EQ(m_dialog.m_spin.GetSafeHwnd(), GetDlgItem(hwnd, IDC_DEFAULT_DEPTH_SPIN));

    CheckDlgButton(hwnd, IDC_SAVE_WINDOW_POS, BST_UNCHECKED);
    CheckDlgButton(hwnd, IDC_SAVE_DEPTH, BST_CHECKED);
    m_dialog.SetDlgItemText(IDC_DEFAULT_DEPTH, " -17 ");
    m_dialog.SetDlgItemText(IDC_LANGUAGE_FILE, "C:\\Языки\\English.lng");
    ASSERT_TRUE(m_dialog.UpdateData(true));
    EXPECT_EQ(m_dialog.m_savePos, 0);
    EXPECT_TRUE(m_dialog.m_saveDepth);
    EXPECT_EQ(m_dialog.m_depth, -17);
    EXPECT_EQ(m_dialog.m_language, "C:\\Языки\\English.lng");
}

TEST_F(FrameworkDialog, BadNumberFailsWithTheTableMessageAndFocusesTheField) {
    ASSERT_TRUE(m_dialog.UpdateData(false));
    m_dialog.SetDlgItemText(IDC_DEFAULT_DEPTH, "12abc");
    m_dialog.SetDlgItemText(IDC_LANGUAGE_FILE, "changed");
    m_dialog.m_depth = 3;

    std::string message;
    ModalAnswerer answer([&](HWND box) {
        message = MessageBoxText(box);
        PostMessageW(box, WM_COMMAND, IDOK, 0);
    });
    EXPECT_FALSE(m_dialog.UpdateData(true));
    EXPECT_EQ(message, "Need a number");
    EXPECT_EQ(m_dialog.m_depth, 3);
    // The exchange stops at the bad field: later fields keep their values.
    EXPECT_EQ(m_dialog.m_language, "Русский.lng");
    EXPECT_EQ(GetFocus(), m_dialog.GetDlgItem(IDC_DEFAULT_DEPTH));
}

TEST_F(FrameworkDialog, LanguageRowsReplaceOnlyTextsTheTableHolds) {
    m_app.m_catalog.SetTable({{54, "Remember the window"}, {56, ""}, {50, "Options"}});
    const LanguageRow rows[] = {{IDC_SAVE_WINDOW_POS, txt::kSaveWindowPos},
                                {IDC_SAVE_DEPTH, txt::kSaveDepth},
                                {IDC_DEFAULT_DEPTH_LABEL, txt::kDefaultDepth},
                                {kDialogTitle, txt::kSettingsTitle},
                                {4242, txt::kSaveWindowPos}};
    m_dialog.Apply(rows);
    EXPECT_EQ(m_dialog.GetDlgItemText(IDC_SAVE_WINDOW_POS), "Remember the window");
    EXPECT_EQ(m_dialog.GetDlgItemText(IDC_SAVE_DEPTH), "Сохранять глу&бину рекурсии");
    EXPECT_EQ(m_dialog.GetDlgItemText(IDC_DEFAULT_DEPTH_LABEL), "");  // an empty text wins too
    EXPECT_EQ(m_dialog.GetWindowText(), "Options");
}

TEST_F(FrameworkDialog, SpinRangeCarriesMinusOne) {
    ASSERT_TRUE(m_dialog.UpdateData(false));
    m_dialog.m_spin.SetRange(-1, 1000);
    int lower = 0, upper = 0;
    SendMessageW(m_dialog.m_spin.GetSafeHwnd(), UDM_GETRANGE32, reinterpret_cast<WPARAM>(&lower),
                 reinterpret_cast<LPARAM>(&upper));
    EXPECT_EQ(lower, -1);
    EXPECT_EQ(upper, 1000);
}

// A static control that counts what its dialog reflects to it and colours itself blue.
class ReflectingStatic : public CStatic {
public:
    bool OnChildNotify(UINT message, WPARAM wParam, LPARAM, LRESULT& result) override {
        if (message == WM_CTLCOLORSTATIC) {
            ++colours;
            SetTextColor(reinterpret_cast<HDC>(wParam), RGB(0, 0, 255));
            result = reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
            return true;
        }
        if (message == WM_COMMAND && HIWORD(wParam) == STN_CLICKED) {
            ++clicks;
            return true;
        }
        return false;
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_SETTEXT) ++textsSet;
        return CStatic::WindowProc(message, wParam, lParam);
    }
    void PreSubclassWindow() override { ++bound; }
    int colours = 0, clicks = 0, textsSet = 0, bound = 0;
};

class LinkDialog : public CDialogBase {
public:
    LinkDialog() : CDialogBase(IDD_ABOUT) {}
    void DoDataExchange(CDataExchange& dx) override { dx.Control(IDC_HOME_LINK, m_link); }
    bool OnCommand(int id, int) override {
        if (id == IDC_HOME_LINK) ++m_commandsSeen;
        return false;
    }
    ReflectingStatic m_link;
    int m_commandsSeen = 0;
};

TEST(FrameworkControls, BoundStaticGetsItsReflectedNotificationsAndMessages) {
    VELMORA_REQUIRE_WINDOWS();
    TestApp app;
    LinkDialog dialog;
    HWND hwnd = dialog.Create();
    ASSERT_NE(hwnd, nullptr);
    ASSERT_TRUE(dialog.UpdateData(false));
    HWND link = GetDlgItem(hwnd, IDC_HOME_LINK);
    ASSERT_EQ(dialog.m_link.GetSafeHwnd(), link);
    EXPECT_EQ(dialog.m_link.bound, 1);
    EXPECT_EQ(CControl::FromHandle(link), &dialog.m_link);

    HDC dc = GetDC(link);
    auto brush = SendMessageW(hwnd, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                              reinterpret_cast<LPARAM>(link));
    EXPECT_EQ(reinterpret_cast<HGDIOBJ>(brush), GetStockObject(NULL_BRUSH));
    EXPECT_EQ(GetTextColor(dc), RGB(0, 0, 255));
    ReleaseDC(link, dc);
    EXPECT_GE(dialog.m_link.colours, 1);

    SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(IDC_HOME_LINK, STN_CLICKED),
                 reinterpret_cast<LPARAM>(link));
    EXPECT_EQ(dialog.m_link.clicks, 1);
    EXPECT_EQ(dialog.m_commandsSeen, 0);  // handled by the control, not the dialog

    dialog.m_link.SetWindowText("https://tarnwell.example/");
    EXPECT_EQ(dialog.m_link.textsSet, 1);
    EXPECT_EQ(dialog.m_link.GetWindowText(), "https://tarnwell.example/");

    // A second exchange does not bind again; a new window of the same dialog does.
    ASSERT_TRUE(dialog.UpdateData(false));
    EXPECT_EQ(dialog.m_link.bound, 1);
    dialog.DestroyWindow();
    EXPECT_EQ(dialog.m_link.GetSafeHwnd(), nullptr);
    EXPECT_EQ(dialog.GetSafeHwnd(), nullptr);
    ASSERT_NE(dialog.Create(), nullptr);
    ASSERT_TRUE(dialog.UpdateData(false));
    EXPECT_EQ(dialog.m_link.bound, 2);
}

TEST(FrameworkControls, BindingAMissingControlFailsTheExchange) {
    VELMORA_REQUIRE_WINDOWS();
    TestApp app;
    class Missing : public CDialogBase {
    public:
        Missing() : CDialogBase(IDD_ERROR) {}
        void DoDataExchange(CDataExchange& dx) override { dx.Control(4242, m_control); }
        CStatic m_control;
    } dialog;
    ASSERT_NE(dialog.Create(), nullptr);
    EXPECT_FALSE(dialog.UpdateData(false));
}

// The error prompt, run modally the way the batch runs it.
class FrameworkErrorPrompt : public ::testing::Test {
protected:
    void SetUp() override { VELMORA_REQUIRE_WINDOWS(); }
    TestApp m_app;
    CErrorDlg m_prompt{m_app.m_catalog};
};

TEST_F(FrameworkErrorPrompt, ShowsTheMessageAndTemplateTextsWithoutALanguageTable) {
    std::string title, message, skip, cancel;
    ModalAnswerer answer([&](HWND dlg) {
        title = WindowText(dlg);
        message = WindowText(GetDlgItem(dlg, IDC_ERROR_TEXT));
        skip = WindowText(GetDlgItem(dlg, IDC_SKIP));
        cancel = WindowText(GetDlgItem(dlg, IDCANCEL));
        PostMessageW(dlg, WM_COMMAND, MAKEWPARAM(IDC_RETRY, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dlg, IDC_RETRY)));
    });
    EXPECT_EQ(m_prompt.Ask("Первая строка\nC:\\Данные\\файл.txt\nAccess is denied.\r\n"),
              PromptAnswer::Retry);
    EXPECT_EQ(title, "Ошибка");
    EXPECT_EQ(message, "Первая строка\nC:\\Данные\\файл.txt\nAccess is denied.\r\n");
    EXPECT_EQ(skip, "&Пропустить");
    EXPECT_EQ(cancel, "&Отмена");
}

TEST_F(FrameworkErrorPrompt, EveryWayOfAnsweringGivesItsResult) {
    struct Case {
        const char* name;
        void (*answer)(HWND);
        PromptAnswer expected;
    };
    const Case cases[] = {
        {"Enter (the dialog manager's IDOK)", [](HWND d) { PostMessageW(d, WM_COMMAND, IDOK, 0); },
         PromptAnswer::Skip},
        {"Skip button", [](HWND d) { PostMessageW(GetDlgItem(d, IDC_SKIP), BM_CLICK, 0, 0); },
         PromptAnswer::Skip},
        {"Skip all button",
         [](HWND d) { PostMessageW(GetDlgItem(d, IDC_SKIP_ALL), BM_CLICK, 0, 0); }, PromptAnswer::SkipAll},
        {"Cancel button", [](HWND d) { PostMessageW(GetDlgItem(d, IDCANCEL), BM_CLICK, 0, 0); },
         PromptAnswer::Cancel},
        {"Escape", [](HWND d) { PostMessageW(d, WM_COMMAND, IDCANCEL, 0); }, PromptAnswer::Cancel},
        {"close box", [](HWND d) { PostMessageW(d, WM_SYSCOMMAND, SC_CLOSE, 0); }, PromptAnswer::Cancel},
    };
    for (const Case& c : cases) {
        ModalAnswerer answer([&](HWND dlg) { c.answer(dlg); });
        EXPECT_EQ(m_prompt.Ask("message"), c.expected) << c.name;
    }
}

TEST_F(FrameworkErrorPrompt, DefaultButtonIsSkip) {
    LRESULT defId = 0;
    ModalAnswerer answer([&](HWND dlg) {
        defId = SendMessageW(dlg, DM_GETDEFID, 0, 0);
        PostMessageW(dlg, WM_COMMAND, IDCANCEL, 0);
    });
    m_prompt.Ask("message");
    EXPECT_EQ(HIWORD(defId), DC_HASDEFID);
    EXPECT_EQ(LOWORD(defId), IDC_SKIP);
}

TEST_F(FrameworkErrorPrompt, OneObjectShowsEachRunsOwnMessageAndLanguageTexts) {
    m_app.m_catalog.SetTable({{100, "Error"}, {101, "&Skip"}, {104, "Cancel"}});
    std::vector<std::string> messages;
    std::string title, skip, retry, skipAll, cancel;
    ModalAnswerer answer([&](HWND dlg) {
        messages.push_back(WindowText(GetDlgItem(dlg, IDC_ERROR_TEXT)));
        title = WindowText(dlg);
        skip = WindowText(GetDlgItem(dlg, IDC_SKIP));
        retry = WindowText(GetDlgItem(dlg, IDC_RETRY));
        skipAll = WindowText(GetDlgItem(dlg, IDC_SKIP_ALL));
        cancel = WindowText(GetDlgItem(dlg, IDCANCEL));
        PostMessageW(dlg, WM_COMMAND, IDOK, 0);
    });
    m_prompt.Ask("first");
    m_prompt.Ask("second");
    EXPECT_EQ(messages, (std::vector<std::string>{"first", "second"}));
    EXPECT_EQ(title, "Error");
    EXPECT_EQ(skip, "&Skip");
    EXPECT_EQ(retry, "Повтор&ить");
    EXPECT_EQ(skipAll, "Пропустить &все");
    EXPECT_EQ(cancel, "Cancel");
}

TEST(FrameworkMessageBox, CaptionIsTheAppNameAndAPlainBoxGetsAnIcon) {
    VELMORA_REQUIRE_WINDOWS();
    TestApp app;
    app.m_texts.caption = "Velmora";
    std::string caption, text;
    bool hasIcon = false;
    ModalAnswerer answer([&](HWND box) {
        caption = WindowText(box);
        text = MessageBoxText(box);
        // The icon is a static control with SS_ICON that the plain box would not have.
        EnumChildWindows(
            box,
            [](HWND child, LPARAM data) -> BOOL {
                if ((GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
                    *reinterpret_cast<bool*>(data) = true;
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&hasIcon));
        PostMessageW(box, WM_COMMAND, IDOK, 0);
    });
    EXPECT_EQ(MessageBoxApp("Не удалось открыть файл справки!", MB_OK), IDOK);
    EXPECT_EQ(caption, "Velmora");
    EXPECT_EQ(text, "Не удалось открыть файл справки!");
    EXPECT_TRUE(hasIcon);
}

TEST(FrameworkFileDialog, FilterBarsBecomeTheSystemsPairs) {
    std::wstring filter = SystemFilter("Языковые файлы (*.lng)|*.lng|Все файлы (*.*)|*.*||");
    std::vector<std::wstring> parts;
    for (const wchar_t* p = filter.c_str(); *p != 0; p += wcslen(p) + 1) parts.emplace_back(p);
    EXPECT_EQ(parts, (std::vector<std::wstring>{L"Языковые файлы (*.lng)", L"*.lng",
                                                L"Все файлы (*.*)", L"*.*"}));
    // A filter without the closing bars is still ended properly.
    filter = SystemFilter("A|*.a");
    ASSERT_GE(filter.size(), 2u);
    EXPECT_EQ(filter.substr(filter.size() - 2), std::wstring(2, L'\0'));
}

}  // namespace
}  // namespace velmora

namespace velmora {
namespace {

class HelpCountingApp : public testing::TestApp {
public:
    void WinHelp(std::uintptr_t, unsigned) override { ++m_helpRequests; }
    int m_helpRequests = 0;
};

// The system turns F1 into WM_HELP for the dialog (checked with real key presses end to end);
// from there every dialog of the program hands it to the application object.
TEST(FrameworkHelp, HelpRequestInAModalDialogReachesTheApplication) {
    VELMORA_REQUIRE_WINDOWS();
    HelpCountingApp app;
    CErrorDlg prompt(app.m_catalog);
    testing::ModalAnswerer answer([&](HWND dlg) {
        HELPINFO info{};
        info.cbSize = sizeof(info);
        info.iContextType = HELPINFO_WINDOW;
        info.iCtrlId = IDC_SKIP;
        info.hItemHandle = GetDlgItem(dlg, IDC_SKIP);
        SendMessageW(dlg, WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
        PostMessageW(dlg, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(prompt.Ask("F1"), PromptAnswer::Cancel);
    EXPECT_EQ(app.m_helpRequests, 1);
}

}  // namespace
}  // namespace velmora

namespace velmora {
namespace {

TEST(FrameworkFileDialog, OpensOnTheFilterAndFolderAndGivesNothingOnCancel) {
    VELMORA_REQUIRE_WINDOWS();
    testing::TestApp app;
    const std::string program = ProgramPath();
    const std::string folder = program.substr(0, program.find_last_of('\\') + 1);
    OpenFileRequest request;
    request.filter = "Программы (*.exe)|*.exe|Все файлы (*.*)|*.*||";
    request.initialName = folder + "*.exe";
    request.defaultExtension = "exe";
    {
        std::string filterShown;
        testing::ModalAnswerer answer([&](HWND dlg) {
            // The file-type box (cmb1) lists the filter's first description.
            filterShown = WindowText(GetDlgItem(dlg, 0x470));
            PostMessageW(dlg, WM_COMMAND, IDCANCEL, 0);
        });
        EXPECT_EQ(ShowOpenFileDialog(request), std::nullopt);
        EXPECT_EQ(filterShown, "Программы (*.exe)");
    }
}

}  // namespace
}  // namespace velmora

namespace velmora {
namespace {

TEST(FrameworkFailures, AnExceptionInAHandlerIsReportedAndTheDialogStaysUsable) {
    VELMORA_REQUIRE_WINDOWS();
    testing::TestApp app;
    app.m_texts.unexpectedFailure = "Something went wrong";
    class Throwing : public CDialogBase {
    public:
        Throwing() : CDialogBase(IDD_ERROR) {}
        bool OnCommand(int id, int) override {
            if (id == IDC_RETRY) throw std::runtime_error("handler failed");
            if (id == IDC_SKIP) ++m_skips;
            return true;
        }
        int m_skips = 0;
    } dialog;
    HWND hwnd = dialog.Create();
    ASSERT_NE(hwnd, nullptr);

    std::vector<std::string> reports;
    testing::ModalAnswerer answer([&](HWND box) {
        reports.push_back(MessageBoxText(box));
        PostMessageW(box, WM_COMMAND, IDOK, 0);
    });
    SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(IDC_RETRY, BN_CLICKED), 0);
    EXPECT_EQ(reports, std::vector<std::string>{"Something went wrong"});
    ASSERT_TRUE(IsWindow(hwnd));
    SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(IDC_SKIP, BN_CLICKED), 0);
    EXPECT_EQ(dialog.m_skips, 1);
}

}  // namespace
}  // namespace velmora
