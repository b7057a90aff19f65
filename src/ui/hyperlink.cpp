#include "ui/hyperlink.h"

#include <shellapi.h>

#include "framework/message_box.h"
#include "platform/win32/windows_support.h"
#include "text/texts.h"
#include "ui/hyperlink_rules.h"

namespace velmora {

namespace {

// The hand cursor of the old help program; modern systems (and Wine) may lack the program or
// its cursor, and then the system's own hand is used.
constexpr WORD kHelpProgramHandCursor = 106;

std::wstring WindowsDirectory() {
    std::wstring path(MAX_PATH, L'\0');
    UINT length = GetWindowsDirectoryW(path.data(), static_cast<UINT>(path.size()));
    if (length > path.size()) {
        path.resize(length);
        length = GetWindowsDirectoryW(path.data(), static_cast<UINT>(path.size()));
    }
    path.resize(length <= path.size() ? length : 0);
    return path;
}

}  // namespace

CHyperLink::~CHyperLink() {
    // The window goes first (with its dialog); only then may its font be deleted.
    UnsubclassWindow();
    if (m_fontUnderline != nullptr) DeleteObject(m_fontUnderline);
    if (m_bOwnsCursor && m_hHandCursor != nullptr) DestroyCursor(m_hHandCursor);
}

void CHyperLink::PreSubclassWindow() {
    // A static reports clicks only with SS_NOTIFY.
    LONG_PTR style = GetWindowLongPtrW(m_hWnd, GWL_STYLE);
    SetWindowLongPtrW(m_hWnd, GWL_STYLE, style | SS_NOTIFY);

    if (m_strLink.empty()) m_strLink = GetWindowText();
    if (GetWindowText().empty()) SetWindowText(m_strLink);

    auto font = reinterpret_cast<HFONT>(SendMessageW(m_hWnd, WM_GETFONT, 0, 0));
    // A static without a font of its own draws with the system font; underline that one.
    if (font == nullptr) font = static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
    LOGFONTW description{};
    if (font != nullptr && GetObjectW(font, sizeof(description), &description) != 0) {
        description.lfUnderline = TRUE;
        if (HFONT underlined = CreateFontIndirectW(&description)) {
            if (m_fontUnderline != nullptr) DeleteObject(m_fontUnderline);
            m_fontUnderline = underlined;
            SendMessageW(m_hWnd, WM_SETFONT, reinterpret_cast<WPARAM>(m_fontUnderline), TRUE);
        }
    }

    LoadHandCursor();
}

bool CHyperLink::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (message == WM_CTLCOLORSTATIC) {
        auto dc = reinterpret_cast<HDC>(wParam);
        SetTextColor(dc, RGB(0, 0, 255));
        SetBkMode(dc, TRANSPARENT);
        result = reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
        return true;
    }
    if (message == WM_COMMAND && HIWORD(wParam) == STN_CLICKED &&
        reinterpret_cast<HWND>(lParam) == m_hWnd) {
        OnLinkClicked();
        result = 0;
        return true;
    }
    return false;
}

LRESULT CHyperLink::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SETCURSOR:
            if (m_hHandCursor == nullptr) return FALSE;
            SetCursor(m_hHandCursor);
            return TRUE;
        case WM_MOUSEMOVE: {
            LRESULT result = Default(message, wParam, lParam);
            if (m_bHover) {
                RECT client{};
                GetClientRect(m_hWnd, &client);
                POINT point{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
                if (!PtInRect(&client, point)) {
                    m_bHover = false;
                    ReleaseCapture();
                }
            } else {
                // Holding the capture, the control also sees the move that leaves it.
                m_bHover = true;
                SetCapture(m_hWnd);
            }
            return result;
        }
        case WM_CAPTURECHANGED:
            // Someone else took the mouse (a message box, the shell's window): not hovering any
            // more, so the next move over the link captures it again.
            if (reinterpret_cast<HWND>(lParam) != m_hWnd) m_bHover = false;
            return Default(message, wParam, lParam);
        default:
            return Default(message, wParam, lParam);
    }
}

void CHyperLink::OnLinkClicked() {
    OpenResult result = OpenLink(m_strLink, SW_SHOW);
    if (!result.success) {
        MessageBeep(MB_ICONEXCLAMATION);
        ShowOpenError(static_cast<long long>(result.code));
    }
}

CHyperLink::OpenResult CHyperLink::OpenLink(const std::string& address, int showCommand) {
    auto shell = reinterpret_cast<std::uintptr_t>(
        ShellExecuteW(nullptr, L"open", Widen(address).c_str(), nullptr, nullptr, showCommand));
    if (IsOpenSuccess(shell)) return {true, shell};
    const OpenResult shellFailure{false, shell};

    const std::optional<std::string> type = ReadRegDefault(HKEY_CLASSES_ROOT, ".htm");
    if (!type) return shellFailure;
    const std::optional<std::string> command =
        ReadRegDefault(HKEY_CLASSES_ROOT, *type + "\\shell\\open\\command");
    if (!command) return shellFailure;

    std::wstring commandLine = Widen(BuildFallbackCommand(*command, address));
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(showCommand);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        return {false, GetLastError()};
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return {true, 33};
}

void CHyperLink::ShowOpenError(long long code) const {
    MessageBoxApp(m_texts.Format(txt::kCommandFailed, static_cast<int>(code)),
                  MB_OK | MB_ICONEXCLAMATION);
}

std::optional<std::string> CHyperLink::ReadRegDefault(HKEY root, const std::string& subKey) {
    const std::optional<RegValue> value = ReadRegValue(root, Widen(subKey), L"");
    if (!value || (value->type != REG_SZ && value->type != REG_EXPAND_SZ)) return std::nullopt;
    std::wstring text = RegText(*value);
    if (value->type == REG_EXPAND_SZ) {
        DWORD length = ExpandEnvironmentStringsW(text.c_str(), nullptr, 0);
        if (length != 0) {
            std::wstring expanded(length, L'\0');
            length = ExpandEnvironmentStringsW(text.c_str(), expanded.data(), length);
            if (length != 0) {
                expanded.resize(length - 1);
                text = std::move(expanded);
            }
        }
    }
    return Narrow(text);
}

void CHyperLink::LoadHandCursor() {
    if (m_hHandCursor != nullptr) return;

    const std::wstring windows = WindowsDirectory();
    if (!windows.empty()) {
        const std::wstring program = windows + L"\\winhlp32.exe";
        // Mapped for its resources only: none of the program's code runs.
        HMODULE module = LoadLibraryExW(program.c_str(), nullptr,
                                        LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
        if (module != nullptr) {
            if (HCURSOR cursor = LoadCursorW(module, MAKEINTRESOURCEW(kHelpProgramHandCursor))) {
                // A private copy outlives the module.
                m_hHandCursor =
                    reinterpret_cast<HCURSOR>(CopyIcon(reinterpret_cast<HICON>(cursor)));
                m_bOwnsCursor = m_hHandCursor != nullptr;
            }
            FreeLibrary(module);
        }
    }
    if (m_hHandCursor == nullptr) {
        m_hHandCursor = LoadCursorW(nullptr, IDC_HAND);  // shared: never destroyed
        m_bOwnsCursor = false;
    }
}

}  // namespace velmora
