// The About box: the program's name and version, the maker, and two links - the maker's home
// page and the support address. Its texts follow language-file rules of their own.
#pragma once

#include <string>

#include "ui/hyperlink.h"
#include "ui/localized_dialog.h"

namespace velmora {

class CAboutDlg : public CLocalizedDialog {
public:
    CAboutDlg(const TextCatalog& texts, std::string version);

    CHyperLink m_linkMail{m_texts};
    CHyperLink m_linkHome{m_texts};

protected:
    void DoDataExchange(CDataExchange& dx) override;
    BOOL OnInitDialog() override;

private:
    std::string m_strVersion;
};

}  // namespace velmora
