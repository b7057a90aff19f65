#include "framework/win_app.h"

#include <commctrl.h>

#include "framework/message_box.h"
#include "platform/path.h"
#include "platform/win32/windows_support.h"

namespace velmora {

namespace {
CWinAppBase* g_app = nullptr;

// The program file's name without folder and extension, as the caption of early messages.
std::string BaseName(const std::string& file) {
    return std::string(path::Stem(path::FileName(file, '\\')));
}
}  // namespace

CWinAppBase::CWinAppBase() { g_app = this; }

CWinAppBase::~CWinAppBase() {
    if (g_app == this) g_app = nullptr;
}

CWinAppBase* CWinAppBase::Current() { return g_app; }

const FrameworkTexts& CWinAppBase::Texts() {
    static const FrameworkTexts defaults;
    return g_app != nullptr ? g_app->m_texts : defaults;
}

HINSTANCE AppInstance() {
    return g_app != nullptr && g_app->m_hInstance != nullptr ? g_app->m_hInstance
                                                             : GetModuleHandleW(nullptr);
}

int CWinAppBase::Run(HINSTANCE instance) {
    m_hInstance = instance;
    m_texts.caption = BaseName(ProgramPath());

    INITCOMMONCONTROLSEX icc{
        sizeof(icc), ICC_STANDARD_CLASSES | ICC_UPDOWN_CLASS | ICC_WIN95_CLASSES | ICC_LINK_CLASS};
    InitCommonControlsEx(&icc);
    try {
        InitInstance();
    } catch (...) {
        // Nothing sensible is left to do but to say so; never let an exception end the
        // process with a crash report.
        ReportUnexpectedFailure();
    }
    return ExitInstance();
}

void CWinAppBase::WinHelp(std::uintptr_t, unsigned) {}

}  // namespace velmora
