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
    const about::Lines lines = about::LanguageLines(m_texts, m_strVersion);
    const auto set = [this](int id, const std::optional<std::string>& line) {
        if (line) SetDlgItemText(id, *line);
    };
    if (lines.title) SetWindowText(*lines.title);
    set(IDC_ABOUT_PROGRAM, lines.program);
    SetDlgItemText(IDC_ABOUT_VERSION, lines.version);
    set(IDC_ABOUT_DEVELOPER, lines.developer);
    set(IDC_ABOUT_AFFILIATION, lines.affiliation);
    set(IDC_HOME_LABEL, lines.homeLabel);
    return TRUE;
}

}  // namespace velmora
