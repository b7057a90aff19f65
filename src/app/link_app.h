// The application object: start-up in its fixed order, and every value that more than one
// dialog needs for the whole run (the list, the target, the settings, the version string,
// the language table).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "framework/win_app.h"
#include "text/texts.h"

namespace velmora {

class CLinkApp : public CWinAppBase {
public:
    CLinkApp();
    ~CLinkApp() override;

    // The whole life of the program; always false (the program ends with the main dialog).
    bool InitInstance() override;

    // Checks the arguments and reads the list file; false (after the message) when start-up
    // must stop.
    bool ReadCommandLine();
    bool ReadSettings();
    // False when the language file named in the settings cannot be read (after the message).
    bool LoadLanguageFile();
    void BuildVersionString();

    // The help file: the HelpFile setting made absolute when it names an existing entry,
    // else the default help path beside the program.
    std::string GetHelpFilePath() const;
    // Starts the help viewer (hh.exe) with `argument`, owned by `owner`; message 1005 when it
    // cannot be started.
    void OpenHelpViewer(HWND owner, const std::string& argument) const;
    // Every help request acts like the main dialog's Help button.
    void WinHelp(std::uintptr_t data, unsigned command) override;
    // The language table's text for `id`, else `builtin`.
    std::string LookupText(TextId id, std::string_view builtin) const;
    const TextCatalog& Texts() const override { return m_langTable; }

    TextCatalog m_langTable;
    std::string m_strLanguageFile;
    std::string m_strHelpFile;
    bool m_bSaveRecursionDepth = false;
    int m_nDefaultRecursionDepth = 0;
    bool m_bSaveWindowPos = false;
    std::string m_strIniFile;
    std::string m_strVersion;
    std::string m_strTargetDir;
    std::vector<std::string> m_arrPaths;

    // The arguments as the runtime splits the command line (UTF-8); the process's own
    // unless set before ReadCommandLine.
    std::vector<std::string> m_arguments;
};

// The one application object.
CLinkApp& LinkApp();

}  // namespace velmora
