// The common base of the program's dialogs: holds the language table it was given and
// replaces the template's control texts and title with its texts, row by row.
#pragma once

#include "framework/dialog.h"
#include "text/texts.h"

namespace velmora {

// One replaceable text of a dialog: control number (-1 for the dialog's title) and string
// number. A row whose control is 0 ends a table.
struct LanguageRow {
    int nCtrlID;
    int nTextID;
};

class CLocalizedDialog : public CDialogBase {
public:
    CLocalizedDialog(UINT templateId, const TextCatalog& texts, HWND parent = nullptr)
        : CDialogBase(templateId, parent), m_texts(texts) {}

protected:
    // For each row whose string number the language table holds, sets that text as the
    // control's text (or the title). Rows the table lacks keep the template's text. Null
    // `rows` do nothing.
    void ApplyLanguage(const LanguageRow* rows);

    const TextCatalog& m_texts;
};

}  // namespace velmora
