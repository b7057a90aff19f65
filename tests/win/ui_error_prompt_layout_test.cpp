// The error prompt's layout under long names: the whole message stays visible, the buttons
// below it and inside the prompt; a short message keeps the template's layout.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "framework_test_util.h"
#include "platform/win32/windows_support.h"
#include "resource.h"
#include "ui/error_dlg.h"

namespace velmora {
namespace {

struct PromptLayout {
    RECT text{};
    RECT skip{};
    RECT cancel{};
    RECT client{};
    LONG_PTR textStyle = 0;
    int textNeeds = 0;  // height the message takes at the text's width, as the system lays it out
};

RECT ChildRect(HWND dialog, int id) {
    RECT r{};
    GetWindowRect(GetDlgItem(dialog, id), &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

PromptLayout ShowAndMeasure(const std::string& message) {
    testing::TestApp app;
    CErrorDlg prompt(app.m_catalog);
    PromptLayout layout;
    testing::ModalAnswerer answer([&](HWND dialog) {
        HWND text = GetDlgItem(dialog, IDC_ERROR_TEXT);
        layout.text = ChildRect(dialog, IDC_ERROR_TEXT);
        layout.skip = ChildRect(dialog, IDC_SKIP);
        layout.cancel = ChildRect(dialog, IDCANCEL);
        GetClientRect(dialog, &layout.client);
        layout.textStyle = GetWindowLongPtrW(text, GWL_STYLE);
        const std::wstring wide = Widen(message);
        HDC dc = GetDC(text);
        HGDIOBJ old =
            SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(text, WM_GETFONT, 0, 0)));
        RECT need{0, 0, layout.text.right - layout.text.left, 0};
        DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &need,
                  DT_CALCRECT | DT_CENTER | DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX);
        SelectObject(dc, old);
        ReleaseDC(text, dc);
        layout.textNeeds = need.bottom;
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(prompt.Ask(message), PromptAnswer::Cancel);
    return layout;
}

TEST(LinksErrorPrompt, ALongNameLeavesTheReasonVisible) {
    VELMORA_REQUIRE_WINDOWS();
    const PromptLayout shortOne =
        ShowAndMeasure("Ошибка при создании ссылки для файла\nC:\\Docs\\a.txt\nAccess denied.\r\n");
    std::string longName = "C:\\Docs";
    for (int i = 0; i < 8; ++i)
        longName += "\\averyveryverylongfoldernamewithoutanyblanks" + std::to_string(i);
    const PromptLayout longOne = ShowAndMeasure("Ошибка при создании ссылки для файла\n" +
                                                longName + "\\a.txt\nAccess denied.\r\n");

    // A short message fits the template's text as it is: nothing moves.
    EXPECT_GE(shortOne.text.bottom - shortOne.text.top, shortOne.textNeeds);
    EXPECT_EQ(longOne.text.top, shortOne.text.top);

    // A long one: the text is as tall as the message, the buttons below it, all inside.
    EXPECT_GT(longOne.textNeeds, shortOne.text.bottom - shortOne.text.top);
    EXPECT_GE(longOne.text.bottom - longOne.text.top, longOne.textNeeds);
    EXPECT_GE(longOne.skip.top, longOne.text.bottom);
    EXPECT_EQ(longOne.skip.top - longOne.text.bottom, shortOne.skip.top - shortOne.text.bottom);
    EXPECT_LE(longOne.cancel.bottom, longOne.client.bottom);
    EXPECT_EQ(longOne.client.bottom - longOne.cancel.bottom,
              shortOne.client.bottom - shortOne.cancel.bottom);
}

TEST(LinksErrorPrompt, AnAmpersandInANameIsShownAsItIs) {
    VELMORA_REQUIRE_WINDOWS();
    const PromptLayout layout = ShowAndMeasure("Ошибка\nC:\\Tom & Jerry.avi\nAccess denied.\r\n");
    EXPECT_NE(layout.textStyle & SS_NOPREFIX, 0);
}

}  // namespace
}  // namespace velmora
