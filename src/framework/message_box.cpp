#include "framework/message_box.h"

#include "framework/dialog.h"
#include "framework/win_app.h"
#include "platform/win32/windows_support.h"

namespace velmora {

HWND DefaultOwnerWindow() {
    CWinAppBase* app = CWinAppBase::Current();
    HWND main = app && app->m_pMainWnd ? app->m_pMainWnd->GetSafeHwnd() : nullptr;
    if (main != nullptr && IsWindow(main)) return GetLastActivePopup(main);
    return GetActiveWindow();
}

int MessageBoxApp(const std::string& text, UINT type) {
    if ((type & MB_ICONMASK) == 0) type |= MB_ICONEXCLAMATION;
    return MessageBoxW(DefaultOwnerWindow(), Widen(text).c_str(),
                       Widen(CWinAppBase::Texts().caption).c_str(), type);
}

void ReportUnexpectedFailure() noexcept {
    static bool reporting = false;
    if (reporting) return;
    reporting = true;
    try {
        MessageBoxApp(CWinAppBase::Texts().unexpectedFailure, MB_OK | MB_ICONHAND);
    } catch (...) {
        MessageBeep(MB_ICONHAND);
    }
    reporting = false;
}

}  // namespace velmora
