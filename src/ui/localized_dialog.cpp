#include "ui/localized_dialog.h"

#include "framework/win_app.h"

namespace velmora {

void CLocalizedDialog::ApplyLanguage(const LanguageRow* rows) {
    CWinAppBase* app = CWinAppBase::Current();
    if (rows == nullptr || app == nullptr || m_hWnd == nullptr) return;
    const TextCatalog& texts = app->Texts();
    for (const LanguageRow* row = rows; row->nCtrlID != 0; ++row) {
        auto id = static_cast<TextId>(row->nTextID);
        if (!texts.Has(id)) continue;
        std::string text = texts.Table().at(id);
        if (row->nCtrlID == -1) {
            SetWindowText(text);
        } else if (GetDlgItem(row->nCtrlID) != nullptr) {
            SetDlgItemText(row->nCtrlID, text);
        }
    }
}

}  // namespace velmora
