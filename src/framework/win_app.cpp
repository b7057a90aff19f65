#include "framework/win_app.h"

#include <commctrl.h>

#include "framework/dialog.h"
#include "framework/message_box.h"
#include "platform/win32/wide.h"

namespace velmora {

namespace {
CWinAppBase* g_app = nullptr;

std::string ModuleFileName(HINSTANCE instance) {
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        DWORD n = GetModuleFileNameW(instance, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) return {};
        if (n < buffer.size()) {
            buffer.resize(n);
            return Narrow(buffer);
        }
        buffer.resize(buffer.size() * 2);
    }
}

// The program file's name without folder and extension, as the caption of early messages.
std::string BaseName(const std::string& path) {
    std::size_t slash = path.find_last_of("\\/");
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    std::size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot != 0) name.erase(dot);
    return name;
}
}  // namespace

CWinAppBase::CWinAppBase() { g_app = this; }

CWinAppBase::~CWinAppBase() {
    if (g_app == this) g_app = nullptr;
}

CWinAppBase* CWinAppBase::Current() { return g_app; }

int CWinAppBase::Run(HINSTANCE instance) {
    m_hInstance = instance;
    std::string path = ModuleFileName(instance);
    m_strAppName = BaseName(path);
    // Until the program sets its own, help goes to a file named like the program.
    m_strHelpPath = path.size() >= 4 ? path.substr(0, path.size() - 4) + ".hlp" : "help.hlp";

    INITCOMMONCONTROLSEX icc{
        sizeof(icc), ICC_STANDARD_CLASSES | ICC_UPDOWN_CLASS | ICC_WIN95_CLASSES | ICC_LINK_CLASS};
    InitCommonControlsEx(&icc);
    try {
        // Like the classic framework, a program whose initialisation ends it (the usual case
        // for a dialog program) exits with 0.
        InitInstance();
        return 0;
    } catch (...) {
        // Nothing sensible is left to do but to say so; never let an exception end the
        // process with a crash report.
        ReportUnexpectedFailure();
        return 2;
    }
}

void CWinAppBase::WinHelp(std::uintptr_t, unsigned) {}

const TextCatalog& CWinAppBase::Texts() const {
    static const TextCatalog empty;
    return empty;
}

std::string CWinAppBase::GetProfileString(std::string_view section, std::string_view key,
                                          std::string_view def) const {
    if (!m_profile) return std::string(def);
    return m_profile->GetString(section, key, def);
}

int CWinAppBase::GetProfileInt(std::string_view section, std::string_view key, int def) const {
    if (!m_profile) return def;
    return m_profile->GetInt(section, key, def);
}

bool CWinAppBase::WriteProfileString(std::string_view section, std::string_view key,
                                     std::string_view value) {
    return m_profile && m_profile->WriteString(section, key, value);
}

bool CWinAppBase::WriteProfileInt(std::string_view section, std::string_view key, int value) {
    return m_profile && m_profile->WriteInt(section, key, value);
}

}  // namespace velmora
