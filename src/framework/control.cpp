#include "framework/control.h"

#include <commctrl.h>

#include "platform/win32/windows_support.h"

namespace velmora {

namespace {
constexpr UINT_PTR kSubclassId = 0x564C4D;  // any number unique to this procedure will do
// The bound object is also kept as a window property, so FromHandle needs no comctl32
// export that older import libraries lack.
constexpr wchar_t kControlProperty[] = L"Velmora.Control";
}  // namespace

CControl::~CControl() { UnsubclassWindow(); }

bool CControl::SubclassWindow(HWND hwnd) {
    if (hwnd == nullptr || m_hWnd != nullptr || FromHandle(hwnd) != nullptr) return false;
    if (!SetWindowSubclass(hwnd, &CControl::SubclassProc, kSubclassId,
                           reinterpret_cast<DWORD_PTR>(this))) {
        return false;
    }
    SetPropW(hwnd, kControlProperty, this);
    m_hWnd = hwnd;
    PreSubclassWindow();
    return true;
}

void CControl::UnsubclassWindow() {
    if (m_hWnd == nullptr) return;
    RemoveWindowSubclass(m_hWnd, &CControl::SubclassProc, kSubclassId);
    RemovePropW(m_hWnd, kControlProperty);
    m_hWnd = nullptr;
}

CControl* CControl::FromHandle(HWND hwnd) {
    if (hwnd == nullptr) return nullptr;
    return static_cast<CControl*>(GetPropW(hwnd, kControlProperty));
}

std::string CControl::GetWindowText() const { return WindowText(m_hWnd); }

void CControl::SetWindowText(const std::string& text) {
    if (m_hWnd != nullptr) ::SetWindowTextW(m_hWnd, Widen(text).c_str());
}

LRESULT CControl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return Default(message, wParam, lParam);
}

LRESULT CControl::Default(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefSubclassProc(m_hWnd, message, wParam, lParam);
}

bool CControl::OnChildNotify(UINT, WPARAM, LPARAM, LRESULT&) { return false; }

LRESULT CALLBACK CControl::SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                        UINT_PTR, DWORD_PTR refData) {
    auto* self = reinterpret_cast<CControl*>(refData);
    if (message == WM_NCDESTROY) {
        // The window goes; the object stays and may be bound again to a new window.
        LRESULT result = DefSubclassProc(hwnd, message, wParam, lParam);
        RemoveWindowSubclass(hwnd, &CControl::SubclassProc, kSubclassId);
        RemovePropW(hwnd, kControlProperty);
        if (self->m_hWnd == hwnd) self->m_hWnd = nullptr;
        return result;
    }
    try {
        return self->WindowProc(message, wParam, lParam);
    } catch (...) {
        // No exception may cross the window procedure back into the system.
        return DefSubclassProc(hwnd, message, wParam, lParam);
    }
}

void CSpinButtonCtrl::SetRange(int lower, int upper) {
    if (m_hWnd == nullptr) return;
    LPARAM range = MAKELPARAM(static_cast<WORD>(upper), static_cast<WORD>(lower));
    SendMessageW(m_hWnd, UDM_SETRANGE, 0, range);
}

}  // namespace velmora
