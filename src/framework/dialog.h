// Dialogs built from the program's templates. One static dialog procedure keeps `this` in the
// window and calls virtual handlers; data exchange moves values between members and controls.
// No C++ exception crosses the procedure back into the system.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

#include "framework/control.h"

namespace velmora {

class CDialogBase;

// One run of data exchange, towards the controls (load) or from them (save and validate).
// After a failed field every further call does nothing, so a DoDataExchange simply lists its
// fields in order.
class CDataExchange {
public:
    CDataExchange(CDialogBase& dialog, bool saveAndValidate)
        : m_dialog(dialog), m_bSaveAndValidate(saveAndValidate) {}

    // The window text of control `id`.
    void Text(int id, std::string& value);
    // The number in control `id`. Text that is no integer fails the exchange: beep, the
    // framework's "not an integer" message, focus on the field.
    void Int(int id, int& value);
    // The state of check box `id`: 0 unchecked, 1 checked (2 indeterminate, kept as read).
    void Check(int id, int& value);
    void Check(int id, bool& value);
    // Binds `control` to the child window `id` (once: the first exchange after the window
    // was created). A missing child fails the exchange.
    void Control(int id, CControl& control);

    bool Failed() const { return m_bFailed; }
    CDialogBase& Dialog() const { return m_dialog; }

private:
    HWND Item(int id);
    void Fail(HWND control);

    CDialogBase& m_dialog;
    bool m_bFailed = false;

public:
    const bool m_bSaveAndValidate;
};

class CDialogBase {
public:
    // `parent` null: a modal run is owned by the application's main window (when that is
    // not this dialog itself).
    explicit CDialogBase(UINT templateId, HWND parent = nullptr);
    virtual ~CDialogBase();
    CDialogBase(const CDialogBase&) = delete;
    CDialogBase& operator=(const CDialogBase&) = delete;

    // Runs the dialog modally; the result given to EndDialog, or -1 when the template
    // could not be loaded.
    INT_PTR DoModal();
    // Creates the dialog modelessly (not shown unless its template is visible); null on failure.
    HWND Create(HWND parent = nullptr);
    void EndDialog(INT_PTR result);
    void DestroyWindow();

    // Data exchange: true when every field was exchanged.
    bool UpdateData(bool saveAndValidate = true);

    HWND GetSafeHwnd() const { return m_hWnd; }
    HWND GetDlgItem(int id) const;
    std::string GetDlgItemText(int id) const;
    void SetDlgItemText(int id, const std::string& text);
    std::string GetWindowText() const;
    void SetWindowText(const std::string& text);

    UINT m_nIDTemplate;
    HWND m_hWndParent;
    HWND m_hWnd = nullptr;

protected:
    // Default: loads the members into the controls; returns TRUE so that the system sets the
    // focus to the first tab stop.
    virtual BOOL OnInitDialog();
    // Default: saves the controls into the members and, when that worked, ends with IDOK.
    virtual void OnOK();
    // Default: ends with IDCANCEL.
    virtual void OnCancel();
    // WM_COMMAND after reflection to the sending control; true when handled.
    virtual bool OnCommand(int id, int code);
    // Any other message; true when handled, `result` then being the answer.
    virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    virtual void OnDestroy() {}
    virtual void DoDataExchange(CDataExchange& dx);
    // F1 (WM_HELP) in this dialog or one of its controls. Default: the application's help hook.
    virtual void OnHelp();

    // Called by an initialisation that has put the window where it belongs: the framework
    // then leaves it there, even where that is the place the template gave it.
    void KeepPlacement() { m_bKeepPlacement = true; }

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // The steps of HandleMessage; each true (or an answer) when the message was handled.
    bool HandleLifecycle(UINT message, INT_PTR& answer);
    bool ReflectToControl(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    INT_PTR DispatchCommand(int id, int code, LPARAM lParam);
    // A handled message's answer: returned directly or through DWLP_MSGRESULT.
    INT_PTR Answer(UINT message, LRESULT result);
    BOOL InitDialog();
    HWND OwnerForRun() const;

    bool m_bModal = false;
    bool m_bKeepPlacement = false;
};

}  // namespace velmora
