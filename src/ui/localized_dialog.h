// The common base of the program's dialogs: holds the language table it was given and
// replaces the template's control texts and title with its texts, row by row.
#pragma once

#include <span>

#include "framework/dialog.h"
#include "text/texts.h"

namespace velmora {

// The control number of a language row that replaces the dialog's title.
inline constexpr int kDialogTitle = -1;

// One replaceable text of a dialog: the control (or kDialogTitle) and its string number.
struct LanguageRow {
    int control;
    TextId text;
};

class CLocalizedDialog : public CDialogBase {
public:
    CLocalizedDialog(UINT templateId, const TextCatalog& texts, HWND parent = nullptr)
        : CDialogBase(templateId, parent), m_texts(texts) {}

protected:
    // For each row whose string number the language table holds, sets that text as the
    // control's text (or the title). Rows the table lacks keep the template's text.
    void ApplyLanguage(std::span<const LanguageRow> rows);

    const TextCatalog& m_texts;
};

}  // namespace velmora
