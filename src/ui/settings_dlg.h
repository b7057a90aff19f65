// The settings dialog: the five persistent settings, a file browser for each of the two
// paths, and Help on the settings topic. OK writes all five to the profile and puts them into
// the program's one settings value; whether saving failed is left in m_bSaveFailed.
#pragma once

#include <string>

#include "framework/control.h"
#include "platform/profile.h"
#include "text/settings.h"
#include "text/texts.h"
#include "ui/help_viewer.h"
#include "ui/localized_dialog.h"

namespace velmora {

class CSettingsDlg : public CLocalizedDialog {
public:
    // Edits a copy of `settings`; OK writes it to `profile` and then into `settings`. Files
    // picked inside `programFolder` are stored relative to it.
    CSettingsDlg(const TextCatalog& texts, Settings& settings, IProfile& profile,
                 const CHelpViewer& help, std::string programFolder, HWND parent = nullptr);

    // Set by OK when at least one of the five profile writes failed.
    bool m_bSaveFailed = false;

protected:
    void DoDataExchange(CDataExchange& dx) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    bool OnCommand(int id, int code) override;
    // F1 does what the Help button does.
    void OnHelp() override;

private:
    void OnSaveDepthClicked();
    void Browse(int editId, TextId filterId, const char* pattern, const char* extension);
    void ShiftLabelForVisualStyles();

    Settings& m_settings;
    IProfile& m_profile;
    const CHelpViewer& m_help;
    std::string m_programFolder;
    Settings m_values;  // what the fields show; taken over by OK
    CStatic m_labelDefaultDepth;
    CSpinButtonCtrl m_spinDefaultDepth;
};

}  // namespace velmora
