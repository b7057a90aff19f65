#include "ui/localized_dialog.h"

namespace velmora {

void CLocalizedDialog::ApplyLanguage(const LanguageRow* rows) {
    if (rows == nullptr || m_hWnd == nullptr) return;
    for (const LanguageRow* row = rows; row->nCtrlID != 0; ++row) {
        auto id = static_cast<TextId>(row->nTextID);
        if (!m_texts.Has(id)) continue;
        const std::string& text = m_texts.Table().at(id);
        if (row->nCtrlID == -1) {
            SetWindowText(text);
        } else if (GetDlgItem(row->nCtrlID) != nullptr) {
            SetDlgItemText(row->nCtrlID, text);
        }
    }
}

}  // namespace velmora
