// The common base of the program's dialogs: replaces the template's control texts and title
// with the language table's texts, row by row.
#pragma once

#include "framework/dialog.h"

namespace velmora {

// One replaceable text of a dialog: control number (-1 for the dialog's title) and string
// number. A row whose control is 0 ends a table.
struct LanguageRow {
    int nCtrlID;
    int nTextID;
};

class CLocalizedDialog : public CDialogBase {
public:
    explicit CLocalizedDialog(UINT templateId, HWND parent = nullptr)
        : CDialogBase(templateId, parent) {}

protected:
    // For each row whose string number the language table holds, sets that text as the
    // control's text (or the title). Rows the table lacks keep the template's text. A null
    // table does nothing.
    void ApplyLanguage(const LanguageRow* rows);
};

}  // namespace velmora
