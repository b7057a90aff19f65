// The application object, the composition root: start-up in its fixed order, and every value
// the dialogs share for the whole run (the list, the target, the settings store and the one
// settings value, the language table, the help viewer), handed to the main dialog.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "framework/win_app.h"
#include "platform/profile.h"
#include "text/settings.h"
#include "text/texts.h"

namespace velmora {

class CLinkApp : public CWinAppBase {
public:
    CLinkApp();
    ~CLinkApp() override;

    // The whole life of the program; always false (the program ends with the main dialog).
    bool InitInstance() override;
    // Every help request acts like the main dialog's Help button.
    void WinHelp(std::uintptr_t data, unsigned command) override;
    // 0 to 4, as the README lists them: what the batch did, 1 without one, 4 when nothing
    // could start (also when start-up broke off).
    int ExitInstance() override { return m_exitCode; }

private:
    // Checks the arguments and reads the list file; false (after the message) when start-up
    // must stop. `iniFile` receives the settings file the command line names, if any.
    bool ReadCommandLine(std::string& iniFile);
    // False when the language file named in the settings cannot be read (after the message).
    // A relative name is taken against `programFolder`.
    bool LoadLanguageFile(const std::string& programFolder);
    // The framework says what it says in the language of the texts.
    void SetFrameworkTexts();

    std::vector<std::string> m_paths;
    std::string m_targetDir;
    std::unique_ptr<IProfile> m_profile;
    Settings m_settings;
    TextCatalog m_catalog;  // the language table over the built-in texts
    int m_exitCode;
};

}  // namespace velmora
