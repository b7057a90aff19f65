// The About box: the program's name and version, the maker, and two links - the maker's home
// page and the support address. Its texts follow language-file rules of their own.
#pragma once

#include "ui/hyperlink.h"
#include "ui/localized_dialog.h"

namespace velmora {

class CAboutDlg : public CLocalizedDialog {
public:
    CAboutDlg();

    CHyperLink m_linkMail;
    CHyperLink m_linkHome;

protected:
    void DoDataExchange(CDataExchange& dx) override;
    BOOL OnInitDialog() override;
};

}  // namespace velmora
