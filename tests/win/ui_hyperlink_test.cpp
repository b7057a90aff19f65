// The link control on real static windows: what attaching settles (notify style, link and
// text, underlined font, hand cursor), the colours it answers for the parent, and the registry
// read behind the web-page fallback.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/win32/windows_support.h"
#include "ui/hyperlink.h"

namespace velmora {
namespace {

const TextCatalog kTexts;

// A hidden pop-up with one static child showing `text` in the GUI font.
class StaticWindow {
public:
    explicit StaticWindow(const wchar_t* text) {
        m_parent = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 300, 100, nullptr, nullptr,
                                   GetModuleHandleW(nullptr), nullptr);
        m_static = CreateWindowExW(0, L"STATIC", text, WS_CHILD | WS_VISIBLE | SS_LEFT, 10, 10, 200,
                                   20, m_parent, nullptr, GetModuleHandleW(nullptr), nullptr);
        SendMessageW(m_static, WM_SETFONT,
                     reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    }
    ~StaticWindow() { DestroyWindow(m_parent); }
    StaticWindow(const StaticWindow&) = delete;
    StaticWindow& operator=(const StaticWindow&) = delete;

    HWND Static() const { return m_static; }
    std::string Text() const { return WindowText(m_static); }

private:
    HWND m_parent = nullptr;
    HWND m_static = nullptr;
};

TEST(HyperLinkAttach, EmptyStaticShowsTheLinkAssignedBefore) {
    StaticWindow window(L"");
    CHyperLink link(kTexts);
    link.m_strLink = "https://tarnwell.example/velmora/";
    ASSERT_TRUE(link.SubclassWindow(window.Static()));
    EXPECT_EQ(window.Text(), "https://tarnwell.example/velmora/");
    EXPECT_EQ(link.m_strLink, "https://tarnwell.example/velmora/");
    EXPECT_FALSE(link.m_bHover);
}

TEST(HyperLinkAttach, StaticTextBecomesTheLinkWhenNoneWasAssigned) {
    StaticWindow window(L"mailto:someone@tarnwell.example");
    CHyperLink link(kTexts);
    ASSERT_TRUE(link.SubclassWindow(window.Static()));
    EXPECT_EQ(link.m_strLink, "mailto:someone@tarnwell.example");
    EXPECT_EQ(window.Text(), "mailto:someone@tarnwell.example");
}

TEST(HyperLinkAttach, LinkAssignedBeforeKeepsTheShownTextAndAfterChangesOnlyTheAddress) {
    StaticWindow window(L"Home page");
    CHyperLink link(kTexts);
    link.m_strLink = "https://a.example/";
    ASSERT_TRUE(link.SubclassWindow(window.Static()));
    EXPECT_EQ(window.Text(), "Home page");
    EXPECT_EQ(link.m_strLink, "https://a.example/");
    link.m_strLink = "https://b.example/";
    EXPECT_EQ(window.Text(), "Home page");
}

TEST(HyperLinkAttach, AddsNotifyUnderlinesTheFontAndHasAHandCursor) {
    StaticWindow window(L"x");
    CHyperLink link(kTexts);
    ASSERT_TRUE(link.SubclassWindow(window.Static()));
    EXPECT_NE(GetWindowLongPtrW(window.Static(), GWL_STYLE) & SS_NOTIFY, 0);

    auto font = reinterpret_cast<HFONT>(SendMessageW(window.Static(), WM_GETFONT, 0, 0));
    ASSERT_NE(font, nullptr);
    EXPECT_NE(font, GetStockObject(DEFAULT_GUI_FONT));
    LOGFONTW underlined{};
    LOGFONTW original{};
    ASSERT_NE(GetObjectW(font, sizeof(underlined), &underlined), 0);
    ASSERT_NE(GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(original), &original), 0);
    EXPECT_TRUE(underlined.lfUnderline);
    EXPECT_EQ(underlined.lfHeight, original.lfHeight);
    EXPECT_STREQ(underlined.lfFaceName, original.lfFaceName);

    // The old help program's cursor, or the system's hand where it has none.
    EXPECT_NE(link.HandCursor(), nullptr);
    // Over the link the control sets the cursor itself.
    EXPECT_EQ(SendMessageW(window.Static(), WM_SETCURSOR, reinterpret_cast<WPARAM>(window.Static()),
                           MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)),
              TRUE);
}

TEST(HyperLinkColours, BlueTextOnATransparentBackground) {
    StaticWindow window(L"x");
    CHyperLink link(kTexts);
    ASSERT_TRUE(link.SubclassWindow(window.Static()));
    HDC dc = CreateCompatibleDC(nullptr);
    LRESULT brush = 0;
    EXPECT_TRUE(link.OnChildNotify(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                   reinterpret_cast<LPARAM>(window.Static()), brush));
    EXPECT_EQ(GetTextColor(dc), RGB(0, 0, 255));
    EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
    EXPECT_EQ(reinterpret_cast<HGDIOBJ>(brush), GetStockObject(NULL_BRUSH));
    DeleteDC(dc);
    // Other notifications are not the link's.
    LRESULT ignored = 0;
    EXPECT_FALSE(
        link.OnChildNotify(WM_CTLCOLOREDIT, 0, reinterpret_cast<LPARAM>(window.Static()), ignored));
}

class RegistryKey : public ::testing::Test {
protected:
    static constexpr const char* kKey = "Software\\Velmora.test\\shell\\open\\command";
    void SetUp() override {
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Velmora.test");
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, Widen(kKey).c_str(), 0, nullptr, 0,
                                  KEY_SET_VALUE, nullptr, &m_key, nullptr),
                  ERROR_SUCCESS);
    }
    void TearDown() override {
        RegCloseKey(m_key);
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Velmora.test");
    }
    void SetDefault(DWORD type, const void* data, DWORD size) {
        ASSERT_EQ(RegSetValueExW(m_key, nullptr, 0, type, static_cast<const BYTE*>(data), size),
                  ERROR_SUCCESS);
    }
    HKEY m_key = nullptr;
};

TEST_F(RegistryKey, ReadsTheDefaultTextWhateverItsLength) {
    std::wstring command = L"\"C:\\Программы\\web.exe\" \"%1\"";
    command.append(400, L'x');  // longer than the classic 260-byte buffer
    SetDefault(REG_SZ, command.c_str(), static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
    EXPECT_EQ(CHyperLink::ReadRegDefault(HKEY_CURRENT_USER, kKey), Narrow(command));
}

TEST_F(RegistryKey, MissingKeyOrValueThatIsNoTextGivesNothing) {
    EXPECT_EQ(CHyperLink::ReadRegDefault(HKEY_CURRENT_USER, "Software\\Velmora.test\\none"),
              std::nullopt);
    // The key exists but has no default value.
    EXPECT_EQ(CHyperLink::ReadRegDefault(HKEY_CURRENT_USER, kKey), std::nullopt);
    const DWORD number = 7;
    SetDefault(REG_DWORD, &number, sizeof(number));
    EXPECT_EQ(CHyperLink::ReadRegDefault(HKEY_CURRENT_USER, kKey), std::nullopt);
}

TEST_F(RegistryKey, ExpandsEnvironmentVariablesOfAnExpandableText) {
    const wchar_t value[] = L"%SystemRoot%\\web.exe %1";
    SetDefault(REG_EXPAND_SZ, value, sizeof(value));
    const std::string out = CHyperLink::ReadRegDefault(HKEY_CURRENT_USER, kKey).value_or("");
    EXPECT_EQ(out.find('%'), out.find("%1"));
    EXPECT_NE(out.find("\\web.exe %1"), std::string::npos);
}

}  // namespace
}  // namespace velmora
