#include "ui/about_dlg.h"

#include <utility>

#include "resource.h"
#include "ui/hyperlink_rules.h"

namespace velmora {

CAboutDlg::CAboutDlg(const TextCatalog& texts, std::string version)
    : CLocalizedDialog(IDD_ABOUT, texts), m_strVersion(std::move(version)) {}

void CAboutDlg::DoDataExchange(CDataExchange& dx) {
    dx.Control(IDC_MAIL_LINK, m_linkMail);
    dx.Control(IDC_HOME_LINK, m_linkHome);
}

BOOL CAboutDlg::OnInitDialog() {
    CLocalizedDialog::OnInitDialog();
    // The links keep showing their template texts; only what a click opens is set here.
    m_linkHome.m_strLink = about::HomePageAddress();
    m_linkMail.m_strLink = about::MailLink();

    // Each line is replaced only when the language table holds its number; the version line
    // always gets the version.
    auto has = [this](TextId id) { return m_texts.Has(id); };
    auto text = [this](TextId id) { return m_texts.Table().at(id); };

    if (has(txt::kAboutTitle)) SetWindowText(text(txt::kAboutTitle));
    if (has(txt::kAboutProgram))
        SetDlgItemText(IDC_ABOUT_PROGRAM, about::ProgramLine(text(txt::kAboutProgram)));
    const bool has153 = has(txt::kAboutVersion);
    SetDlgItemText(IDC_ABOUT_VERSION,
                   about::VersionLine(has153, has153 ? text(txt::kAboutVersion) : std::string(),
                                      m_strVersion));
    if (has(txt::kAboutDeveloper)) {
        // One number switches both lines to their Latin-letter forms.
        SetDlgItemText(IDC_ABOUT_DEVELOPER, about::DeveloperLine(text(txt::kAboutDeveloper)));
        SetDlgItemText(IDC_ABOUT_AFFILIATION, std::string(about::AffiliationLineLatin()));
    }
    if (has(txt::kAboutHomePage)) SetDlgItemText(IDC_HOME_LABEL, text(txt::kAboutHomePage));
    return TRUE;
}

}  // namespace velmora
