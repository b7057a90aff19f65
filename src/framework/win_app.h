// The application object's base: the program's instance, its name (the caption of every
// message box), the help path, the settings store chosen at start-up, the main window and the
// help hook. There is exactly one application object; Current() returns it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/profile.h"
#include "text/texts.h"

namespace velmora {

class CDialogBase;

class CWinAppBase {
public:
    CWinAppBase();
    virtual ~CWinAppBase();
    CWinAppBase(const CWinAppBase&) = delete;
    CWinAppBase& operator=(const CWinAppBase&) = delete;

    // The one application object (null before it is constructed or after it is destroyed).
    static CWinAppBase* Current();

    // Entry point: sets the instance, the default name and help path, enables the common
    // controls and runs InitInstance. Returns the process exit code. No C++ exception leaves it.
    int Run(HINSTANCE instance);

    // The whole life of the program. Its result says whether a message loop should follow;
    // this framework never runs one, so it only documents the intent.
    virtual bool InitInstance() = 0;

    // Help requests from any window of the program (F1 in a dialog arrives here).
    virtual void WinHelp(std::uintptr_t data, unsigned command);

    // The language table that replaces built-in texts; empty unless the program loaded one.
    virtual const TextCatalog& Texts() const;

    // Settings store operations. Without a profile, reads give the default and writes fail.
    std::string GetProfileString(std::string_view section, std::string_view key,
                                 std::string_view def = {}) const;
    int GetProfileInt(std::string_view section, std::string_view key, int def) const;
    bool WriteProfileString(std::string_view section, std::string_view key, std::string_view value);
    bool WriteProfileInt(std::string_view section, std::string_view key, int value);
    void SetProfile(std::unique_ptr<IProfile> profile) { m_profile = std::move(profile); }
    IProfile* Profile() const { return m_profile.get(); }

    HINSTANCE m_hInstance = nullptr;
    // The caption of message boxes; until the program names itself, the program file's name
    // without its extension.
    std::string m_strAppName;
    // The framework's help path; the program replaces it with its default help file.
    std::string m_strHelpPath;
    // The dialog that runs as the main window, while it runs.
    CDialogBase* m_pMainWnd = nullptr;

private:
    std::unique_ptr<IProfile> m_profile;
};

}  // namespace velmora
