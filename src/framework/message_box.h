// Message boxes of the program: the application's name as caption, owned by the window the
// user is working in.
#pragma once

#include <windows.h>

#include <string>

namespace velmora {

// Shows `text` (UTF-8) with the framework's caption (the application's name). A `type` that names
// no icon gets the exclamation icon. Returns the button chosen (IDOK, ...).
int MessageBoxApp(const std::string& text, UINT type = MB_OK);

// Tells the user that an operation ended by an unexpected failure (an exception caught at a
// window procedure or at the entry point), in the framework's text for it. Never throws; a failure
// reported while another report is on screen is dropped.
void ReportUnexpectedFailure() noexcept;

// The window that should own a box or dialog started now without a parent: the main
// window's last active pop-up (the innermost modal dialog), else the active window, else none.
HWND DefaultOwnerWindow();

}  // namespace velmora
