#include "ui/localized_dialog.h"

namespace velmora {

void CLocalizedDialog::ApplyLanguage(std::span<const LanguageRow> rows) {
    if (m_hWnd == nullptr) return;
    for (const LanguageRow& row : rows) {
        const std::optional<std::string_view> text = m_texts.Find(row.text);
        if (!text) continue;
        if (row.control == kDialogTitle) {
            SetWindowText(std::string(*text));
        } else if (GetDlgItem(row.control) != nullptr) {
            SetDlgItemText(row.control, std::string(*text));
        }
    }
}

}  // namespace velmora
