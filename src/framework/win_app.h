// The application object's base: the program's instance, the main window, the help hook and
// the framework's own texts. There is exactly one application object; Current() returns it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace velmora {

class CDialogBase;

// What the framework itself says, in the program's language: the application fills these at
// start-up. Until it does, the caption is the program file's name without its extension and
// the texts are the framework's own English ones.
struct FrameworkTexts {
    std::string caption;                                    // of every message box
    std::string notAnInteger = "Please enter an integer.";  // data exchange of a number field
    std::string unexpectedFailure = "Unexpected error.";    // an exception caught at a boundary
};

class CWinAppBase {
public:
    CWinAppBase();
    virtual ~CWinAppBase();
    CWinAppBase(const CWinAppBase&) = delete;
    CWinAppBase& operator=(const CWinAppBase&) = delete;

    // The one application object (null before it is constructed or after it is destroyed).
    static CWinAppBase* Current();
    // The current application's texts, or the framework's defaults without one.
    static const FrameworkTexts& Texts();

    // Entry point: sets the instance and the default caption, enables the common controls and
    // runs InitInstance, then returns ExitInstance() as the process exit code, also after an
    // exception (which is reported first). No C++ exception leaves it.
    int Run(HINSTANCE instance);

    // The whole life of the program. Its result says whether a message loop should follow;
    // this framework never runs one, so it only documents the intent.
    virtual bool InitInstance() = 0;
    // The process exit code; 0 unless the program says otherwise.
    virtual int ExitInstance() { return 0; }

    // Help requests from any window of the program (F1 in a dialog arrives here).
    virtual void WinHelp(std::uintptr_t data, unsigned command);

    HINSTANCE m_hInstance = nullptr;
    FrameworkTexts m_texts;
    // The dialog that runs as the main window, while it runs.
    CDialogBase* m_pMainWnd = nullptr;
};

// The module whose resources the dialogs load: the application's instance, else the program.
HINSTANCE AppInstance();

}  // namespace velmora
