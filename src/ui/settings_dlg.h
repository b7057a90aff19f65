// The settings dialog: the five persistent settings, a file browser for each of the two
// paths, and Help on the settings topic. OK writes all five to the profile and to the
// application object; whether saving failed is left in m_bSaveFailed for the caller.
#pragma once

#include <string>

#include "text/texts.h"
#include "ui/localized_dialog.h"

namespace velmora {

class CSettingsDlg : public CLocalizedDialog {
public:
    // Filled from the application object's five settings.
    explicit CSettingsDlg(HWND parent = nullptr);

    // Set by OK when at least one of the five profile writes failed.
    bool m_bSaveFailed = false;
    CStatic m_labelDefaultDepth;
    CSpinButtonCtrl m_spinDefaultDepth;
    std::string m_strLanguageFile;
    int m_bSaveRecursionDepth = 0;
    int m_bSaveWindowPos = 0;
    int m_nDefaultRecursionDepth = 0;
    std::string m_strHelpFile;

    void OnSaveDepthClicked();
    void OnHelpClicked();
    void OnBrowseLanguageFile();
    void OnBrowseHelpFile();

protected:
    void DoDataExchange(CDataExchange& dx) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    bool OnCommand(int id, int code) override;

private:
    void Browse(int editId, TextId filterId, const char* pattern, const char* extension);
    void ShiftLabelForVisualStyles();
};

}  // namespace velmora
