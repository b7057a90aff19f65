#include "links/error_dlg.h"

#include "resource.h"

namespace velmora {

namespace {
const LanguageRow kErrorRows[] = {
    {IDC_SKIP, 101}, {IDC_RETRY, 102}, {IDC_SKIP_ALL, 103}, {IDCANCEL, 104}, {-1, 100}, {0, 0},
};
}  // namespace

CErrorDlg::CErrorDlg(HWND parent) : CLocalizedDialog(IDD_ERROR, parent) {}

int CErrorDlg::Ask(const std::string& message) {
    m_strMessage = message;
    INT_PTR result = DoModal();
    switch (result) {
        case kPromptSkip:
        case kPromptRetry:
        case kPromptSkipAll:
        case kPromptCancel:
            return static_cast<int>(result);
        default:
            return kPromptSkip;
    }
}

void CErrorDlg::DoDataExchange(CDataExchange& dx) { dx.Text(IDC_ERROR_TEXT, m_strMessage); }

BOOL CErrorDlg::OnInitDialog() {
    CLocalizedDialog::OnInitDialog();
    ApplyLanguage(kErrorRows);
    // Enter means Skip even where the dialog manager would otherwise send IDOK.
    SendMessageW(m_hWnd, DM_SETDEFID, IDC_SKIP, 0);
    return TRUE;
}

void CErrorDlg::OnOK() { EndDialog(kPromptSkip); }

bool CErrorDlg::OnCommand(int id, int code) {
    if (code != BN_CLICKED) return false;
    if (id == IDC_SKIP || id == IDC_RETRY || id == IDC_SKIP_ALL) {
        EndDialog(id);
        return true;
    }
    return false;
}

}  // namespace velmora
