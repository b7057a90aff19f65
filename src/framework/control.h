// Control objects bound to the child windows of a dialog. A bound control may subclass its
// window (its WindowProc then sees every message first) and receives the notifications its
// parent gets about it (WM_CTLCOLORSTATIC and the like, WM_COMMAND): the dialog reflects them.
#pragma once

#include <windows.h>

#include <string>

namespace velmora {

class CControl {
public:
    CControl() = default;
    virtual ~CControl();
    CControl(const CControl&) = delete;
    CControl& operator=(const CControl&) = delete;

    // Binds the object to `hwnd` and subclasses it; then calls PreSubclassWindow. False when
    // the window is null or already bound to another object.
    bool SubclassWindow(HWND hwnd);
    // Undoes SubclassWindow (also done automatically when the window is destroyed).
    void UnsubclassWindow();

    HWND GetSafeHwnd() const { return m_hWnd; }
    std::string GetWindowText() const;
    void SetWindowText(const std::string& text);

    // The bound control for `hwnd`, or null.
    static CControl* FromHandle(HWND hwnd);

    HWND m_hWnd = nullptr;

protected:
    // Runs once the object is bound, like the control's own WM_CREATE.
    virtual void PreSubclassWindow() {}
    // Every message of the window; the default hands it to the window's own procedure.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam);

public:
    // A message the parent received about this control (WM_CTLCOLOR*, WM_COMMAND with the
    // control as sender, WM_NOTIFY). Return true when handled; `result` is then the parent's
    // answer (for WM_CTLCOLOR*, the brush).
    virtual bool OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

private:
    static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR id, DWORD_PTR refData);
};

// A static text control; the base of controls that draw or react on a static (links).
class CStatic : public CControl {};

class CSpinButtonCtrl : public CControl {
public:
    // UDM_SETRANGE: the upper bound in the low word, the lower one in the high word
    // (both 16-bit, so -1 travels as 0xFFFF).
    void SetRange(int lower, int upper);
};

}  // namespace velmora
