// The main dialog: what is about to be linked, the target and the recursion depth; OK runs
// the link batch. It remembers its window rectangle and the depth when the user asked for it.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "framework/control.h"
#include "links/batch.h"
#include "platform/profile.h"
#include "text/settings.h"
#include "text/texts.h"
#include "ui/help_viewer.h"
#include "ui/localized_dialog.h"
#include "ui/window_rect.h"

namespace velmora {

class CBatchProgress;

// What the main dialog works with for the whole run, handed in by the application.
struct LinkDlgInputs {
    const TextCatalog& texts;
    Settings& settings;  // the one settings value: the settings dialog edits it
    IProfile& profile;   // the window rectangle, the depth and the settings dialog's writes
    const CHelpViewer& help;
    const std::vector<std::string>& paths;  // the list file's entries, in order
    std::string targetDir;                  // the second argument, verbatim
    std::string version;                    // after the title, and in the About box
    std::string programFolder;              // relative settings files are taken against it
};

class CLinkDlg : public CLocalizedDialog {
public:
    explicit CLinkDlg(const LinkDlgInputs& inputs);
    ~CLinkDlg() override;

    // What the link batch did, once OK has run it.
    std::optional<BatchResult> m_batchResult;

    int m_nDepth = 0;
    std::string m_strTarget;
    std::string m_strCaption;

protected:
    void DoDataExchange(CDataExchange& dx) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    bool OnCommand(int id, int code) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void OnDestroy() override;
    // F1: the help's start page, like the Help button.
    void OnHelp() override;

private:
    bool OnSysCommand(WPARAM command);
    void OnSettingsClicked();
    void OnPaint();
    void AddAboutItem();
    void RestoreWindowRect();

    Settings& m_settings;
    IProfile& m_profile;
    const CHelpViewer& m_help;
    const std::vector<std::string>& m_paths;
    std::string m_strVersion;
    std::string m_programFolder;
    CSpinButtonCtrl m_spinDepth;
    HICON m_hIcon = nullptr;       // shared; not destroyed
    HICON m_hSmallIcon = nullptr;  // owned
    // Set while OK runs the batch: the dialog then only answers Cancel, by stopping it.
    CBatchProgress* m_pBatchProgress = nullptr;
};

// The work areas of all monitors (the screen less the task bars).
std::vector<WindowRect> MonitorWorkAreas();

}  // namespace velmora
