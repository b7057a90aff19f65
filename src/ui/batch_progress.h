// Keeps the main dialog alive while a link batch runs in its OK handler (one thread, no
// worker): once the batch has taken longer than a quarter second the dialog's fields and
// buttons other than Cancel are disabled, two labels tell what is being linked and how much
// has been made, and the message queue is served between links so the window repaints and
// answers. Cancel, Escape, the close box and Alt+F4 then stop the batch like Cancel in the
// error prompt: nothing more is made, nothing is undone.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "links/batch.h"
#include "text/texts.h"
#include "ui/batch_progress_pacer.h"

namespace velmora {

class CBatchProgress : public IBatchObserver {
public:
    CBatchProgress(HWND dialog, const TextCatalog& texts);
    // Gives the dialog back its enabled controls, texts and focus.
    ~CBatchProgress() override;
    CBatchProgress(const CBatchProgress&) = delete;
    CBatchProgress& operator=(const CBatchProgress&) = delete;

    bool OnProgress(const BatchProgress& progress) override;

    // The dialog's Cancel while the batch runs (it must not end the dialog itself: the batch
    // unwinds first). The batch stops at its next progress report.
    void RequestStop();

private:
    struct SavedLabel {
        HWND hwnd = nullptr;
        std::wstring text;
        LONG_PTR style = 0;
        std::wstring shown;  // what this object last put there, to skip needless repaints
    };

    void EnterBusyState();
    void LeaveBusyState();
    void Show(const BatchProgress& progress);
    void ShowLabel(SavedLabel& label, const std::string& text);
    void PumpMessages();

    HWND m_hDlg;
    const TextCatalog& m_texts;
    ProgressPacer m_pacer;
    bool m_bStop = false;
    bool m_bEntered = false;
    std::vector<HWND> m_disabled;  // controls this object disabled, to enable again
    HWND m_focusBefore = nullptr;
    SavedLabel m_entryLabel;  // names the entry being linked
    SavedLabel m_countLabel;  // counts what has been made
};

}  // namespace velmora
