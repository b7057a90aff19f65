#include "framework/dialog.h"

#include "framework/dialog_rules.h"
#include "framework/message_box.h"
#include "framework/win_app.h"
#include "platform/win32/windows_support.h"

namespace velmora {

namespace {

// Messages whose answer a dialog procedure returns directly instead of in DWLP_MSGRESULT.
bool AnswersDirectly(UINT message) {
    switch (message) {
        case WM_CTLCOLORMSGBOX:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSCROLLBAR:
        case WM_CTLCOLORSTATIC:
        case WM_COMPAREITEM:
        case WM_VKEYTOITEM:
        case WM_CHARTOITEM:
        case WM_QUERYDRAGICON:
        case WM_INITDIALOG:
            return true;
        default:
            return false;
    }
}

// The child control a parent notification is about, when it is one of ours.
CControl* NotifyingControl(UINT message, LPARAM lParam) {
    switch (message) {
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORSCROLLBAR:
        case WM_CTLCOLORSTATIC:
        case WM_COMMAND:
            return lParam != 0 ? CControl::FromHandle(reinterpret_cast<HWND>(lParam)) : nullptr;
        case WM_NOTIFY:
            return lParam != 0
                       ? CControl::FromHandle(reinterpret_cast<const NMHDR*>(lParam)->hwndFrom)
                       : nullptr;
        default:
            return nullptr;
    }
}

void CenterOn(HWND dialog, HWND owner) {
    RECT window{};
    GetWindowRect(dialog, &window);
    RECT area{};
    HMONITOR monitor =
        MonitorFromWindow(owner != nullptr ? owner : dialog, MONITOR_DEFAULTTONEAREST);
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    GetMonitorInfoW(monitor, &info);
    area = info.rcWork;
    RECT centre = area;
    if (owner != nullptr && IsWindowVisible(owner) && !IsIconic(owner))
        GetWindowRect(owner, &centre);
    int width = window.right - window.left;
    int height = window.bottom - window.top;
    int x = (centre.left + centre.right - width) / 2;
    int y = (centre.top + centre.bottom - height) / 2;
    // Keep the whole dialog on the monitor's work area where it fits.
    if (x + width > area.right) x = area.right - width;
    if (y + height > area.bottom) y = area.bottom - height;
    if (x < area.left) x = area.left;
    if (y < area.top) y = area.top;
    SetWindowPos(dialog, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

// ---- CDataExchange ----

HWND CDataExchange::Item(int id) { return m_dialog.GetDlgItem(id); }

void CDataExchange::Fail(HWND control) {
    m_bFailed = true;
    if (control != nullptr) {
        SetFocus(control);
        SendMessageW(control, EM_SETSEL, 0, -1);
    }
}

void CDataExchange::Text(int id, std::string& value) {
    if (m_bFailed) return;
    if (m_bSaveAndValidate) {
        value = WindowText(Item(id));
    } else {
        ::SetWindowTextW(Item(id), Widen(value).c_str());
    }
}

void CDataExchange::Int(int id, int& value) {
    if (m_bFailed) return;
    HWND control = Item(id);
    if (!m_bSaveAndValidate) {
        ::SetWindowTextW(control, std::to_wstring(value).c_str());
        return;
    }
    std::optional<int> parsed = ParseDialogInt(WindowText(control));
    if (parsed) {
        value = *parsed;
        return;
    }
    MessageBeep(MB_ICONEXCLAMATION);
    MessageBoxApp(CWinAppBase::Texts().notAnInteger, MB_OK | MB_ICONEXCLAMATION);
    Fail(control);
}

void CDataExchange::Check(int id, int& value) {
    if (m_bFailed) return;
    HWND control = Item(id);
    if (m_bSaveAndValidate) {
        value = static_cast<int>(SendMessageW(control, BM_GETCHECK, 0, 0));
    } else {
        SendMessageW(control, BM_SETCHECK, static_cast<WPARAM>(value), 0);
    }
}

void CDataExchange::Check(int id, bool& value) {
    int state = value ? BST_CHECKED : BST_UNCHECKED;
    Check(id, state);
    if (m_bSaveAndValidate && !m_bFailed) value = state == BST_CHECKED;
}

void CDataExchange::Control(int id, CControl& control) {
    if (m_bFailed || control.m_hWnd != nullptr) return;
    HWND child = Item(id);
    if (child == nullptr || !control.SubclassWindow(child)) m_bFailed = true;
}

// ---- CDialogBase ----

CDialogBase::CDialogBase(UINT templateId, HWND parent)
    : m_nIDTemplate(templateId), m_hWndParent(parent) {}

CDialogBase::~CDialogBase() {
    if (m_hWnd != nullptr && !m_bModal) ::DestroyWindow(m_hWnd);
}

HWND CDialogBase::OwnerForRun() const {
    if (m_hWndParent != nullptr) return m_hWndParent;
    CWinAppBase* app = CWinAppBase::Current();
    if (app == nullptr || app->m_pMainWnd == nullptr || app->m_pMainWnd == this) return nullptr;
    HWND main = app->m_pMainWnd->GetSafeHwnd();
    return main != nullptr && IsWindow(main) ? GetLastActivePopup(main) : nullptr;
}

INT_PTR CDialogBase::DoModal() {
    m_bModal = true;
    INT_PTR result = DialogBoxParamW(AppInstance(), MAKEINTRESOURCEW(m_nIDTemplate), OwnerForRun(),
                                     &CDialogBase::DialogProc, reinterpret_cast<LPARAM>(this));
    m_bModal = false;
    return result;
}

HWND CDialogBase::Create(HWND parent) {
    if (parent != nullptr) m_hWndParent = parent;
    m_bModal = false;
    return CreateDialogParamW(AppInstance(), MAKEINTRESOURCEW(m_nIDTemplate), m_hWndParent,
                              &CDialogBase::DialogProc, reinterpret_cast<LPARAM>(this));
}

void CDialogBase::EndDialog(INT_PTR result) {
    if (m_hWnd == nullptr) return;
    if (m_bModal) {
        ::EndDialog(m_hWnd, result);
    } else {
        ::DestroyWindow(m_hWnd);
    }
}

void CDialogBase::DestroyWindow() {
    if (m_hWnd != nullptr) ::DestroyWindow(m_hWnd);
}

bool CDialogBase::UpdateData(bool saveAndValidate) {
    if (m_hWnd == nullptr) return false;
    CDataExchange dx(*this, saveAndValidate);
    DoDataExchange(dx);
    return !dx.Failed();
}

HWND CDialogBase::GetDlgItem(int id) const {
    return m_hWnd != nullptr ? ::GetDlgItem(m_hWnd, id) : nullptr;
}

std::string CDialogBase::GetDlgItemText(int id) const { return WindowText(GetDlgItem(id)); }

void CDialogBase::SetDlgItemText(int id, const std::string& text) {
    if (HWND item = GetDlgItem(id)) ::SetWindowTextW(item, Widen(text).c_str());
}

std::string CDialogBase::GetWindowText() const { return WindowText(m_hWnd); }

void CDialogBase::SetWindowText(const std::string& text) {
    if (m_hWnd != nullptr) ::SetWindowTextW(m_hWnd, Widen(text).c_str());
}

BOOL CDialogBase::OnInitDialog() {
    UpdateData(false);
    return TRUE;
}

void CDialogBase::OnOK() {
    if (UpdateData(true)) EndDialog(IDOK);
}

void CDialogBase::OnCancel() { EndDialog(IDCANCEL); }

bool CDialogBase::OnCommand(int, int) { return false; }

bool CDialogBase::OnMessage(UINT, WPARAM, LPARAM, LRESULT&) { return false; }

void CDialogBase::DoDataExchange(CDataExchange&) {}

void CDialogBase::OnHelp() {
    if (CWinAppBase* app = CWinAppBase::Current()) app->WinHelp(0, HELP_CONTEXT);
}

BOOL CDialogBase::InitDialog() {
    RECT before{};
    GetWindowRect(m_hWnd, &before);
    m_bKeepPlacement = false;
    BOOL result = OnInitDialog();
    // Like the classic dialog framework: a dialog that its initialisation did not place is
    // centred over its owner (or on the work area when it has none).
    RECT after{};
    if (m_hWnd != nullptr && !m_bKeepPlacement && GetWindowRect(m_hWnd, &after) &&
        EqualRect(&before, &after)) {
        CenterOn(m_hWnd, GetWindow(m_hWnd, GW_OWNER));
    }
    return result;
}

INT_PTR CALLBACK CDialogBase::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CDialogBase* self = nullptr;
    if (message == WM_INITDIALOG) {
        self = reinterpret_cast<CDialogBase*>(lParam);
        SetWindowLongPtrW(hwnd, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
        self->m_hWnd = hwnd;
    } else {
        self = reinterpret_cast<CDialogBase*>(GetWindowLongPtrW(hwnd, DWLP_USER));
    }
    if (self == nullptr) return FALSE;
    try {
        return self->HandleMessage(message, wParam, lParam);
    } catch (...) {
        // An exception must never unwind through the system's dialog manager. The handler
        // that threw is abandoned and the user told; the dialog stays usable.
        ReportUnexpectedFailure();
        return FALSE;
    }
}

// Every message goes through the same steps: the window's own life (creation, help,
// destruction), then a notification reflected to the control it is about, then the commands
// (OK and Cancel included), then whatever the dialog handles itself.
INT_PTR CDialogBase::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    INT_PTR answer = FALSE;
    if (HandleLifecycle(message, answer)) return answer;
    LRESULT result = 0;
    if (ReflectToControl(message, wParam, lParam, result)) return Answer(message, result);
    if (message == WM_COMMAND) return DispatchCommand(LOWORD(wParam), HIWORD(wParam), lParam);
    if (OnMessage(message, wParam, lParam, result)) return Answer(message, result);
    return FALSE;
}

bool CDialogBase::HandleLifecycle(UINT message, INT_PTR& answer) {
    switch (message) {
        case WM_INITDIALOG:
            answer = InitDialog();
            return true;
        case WM_HELP:
            OnHelp();
            answer = TRUE;
            return true;
        case WM_DESTROY:
            OnDestroy();
            return true;
        case WM_NCDESTROY:
            SetWindowLongPtrW(m_hWnd, DWLP_USER, 0);
            m_hWnd = nullptr;
            return true;
        default:
            return false;
    }
}

bool CDialogBase::ReflectToControl(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    CControl* control = NotifyingControl(message, lParam);
    return control != nullptr && control->OnChildNotify(message, wParam, lParam, result);
}

INT_PTR CDialogBase::DispatchCommand(int id, int code, LPARAM lParam) {
    if (OnCommand(id, code)) return TRUE;
    // A button click, or a key the dialog manager turned into a command (no control).
    if (code != BN_CLICKED && lParam != 0) return FALSE;
    if (id == IDOK) {
        OnOK();
        return TRUE;
    }
    if (id == IDCANCEL) {
        OnCancel();
        return TRUE;
    }
    return FALSE;
}

INT_PTR CDialogBase::Answer(UINT message, LRESULT result) {
    if (AnswersDirectly(message)) return static_cast<INT_PTR>(result);
    if (m_hWnd != nullptr) SetWindowLongPtrW(m_hWnd, DWLP_MSGRESULT, result);
    return TRUE;
}

}  // namespace velmora
