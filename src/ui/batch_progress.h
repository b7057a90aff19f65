// Keeps the main dialog alive while a link batch runs in its OK handler (one thread, no
// worker): once the batch has taken longer than a quarter second the dialog's fields and
// buttons other than Cancel are disabled, two labels tell what is being linked and how much
// has been made, a row below the buttons shows the share done on a progress bar and the
// time left, the taskbar button fills with the same share, and the message queue is served
// between links so the window repaints and answers. Before the first link the files are
// counted ("Counting... N files"). Cancel, Escape, the close box and Alt+F4 then stop the
// count or the batch like Cancel in the error prompt: nothing more is made, nothing undone.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "links/batch.h"
#include "links/file_count.h"
#include "text/texts.h"
#include "ui/batch_estimate.h"
#include "ui/batch_progress_pacer.h"

struct ITaskbarList3;

namespace velmora {

class CBatchProgress : public IBatchObserver, public ICountObserver {
public:
    CBatchProgress(HWND dialog, const TextCatalog& texts);
    // Gives the dialog back its size, enabled controls, texts and focus.
    ~CBatchProgress() override;
    CBatchProgress(const CBatchProgress&) = delete;
    CBatchProgress& operator=(const CBatchProgress&) = delete;

    bool OnCounting(std::uint64_t files) override;
    // The count is done: `total` files to handle; the batch's own clock starts.
    void StartBatch(std::uint64_t total);
    bool OnProgress(const BatchProgress& progress) override;

    // The dialog's Cancel while the batch runs (it must not end the dialog itself: the batch
    // unwinds first). The batch stops at its next progress report.
    void RequestStop();

    // The batch's prompt, shown through this object: while it waits the taskbar button shows
    // the paused colour and the time spent waiting does not count as work.
    class PausingPrompt : public IPrompt {
    public:
        PausingPrompt(IPrompt& prompt, CBatchProgress& progress)
            : m_prompt(prompt), m_progress(progress) {}
        PromptAnswer Ask(const std::string& message) override;

    private:
        IPrompt& m_prompt;
        CBatchProgress& m_progress;
    };

private:
    struct SavedLabel {
        HWND hwnd = nullptr;
        std::wstring text;
        LONG_PTR style = 0;
        std::wstring shown;  // what this object last put there, to skip needless repaints
    };

    void EnterBusyState();
    void LeaveBusyState();
    void AddProgressRow();
    void RemoveProgressRow();
    void Show(const BatchProgress& progress);
    void ShowLabel(SavedLabel& label, const std::string& text);
    void ShowBar();
    void PumpMessages();
    std::uint64_t WorkMs() const;
    void SetTaskbarState(int flags);

    HWND m_hDlg;
    const TextCatalog& m_texts;
    ProgressPacer m_pacer;
    bool m_bStop = false;
    bool m_bEntered = false;
    std::vector<HWND> m_disabled;  // controls this object disabled, to enable again
    HWND m_focusBefore = nullptr;
    SavedLabel m_entryLabel;  // names the entry being linked
    SavedLabel m_countLabel;  // counts what has been made
    SavedLabel m_timeLabel;   // the time left, beside the bar (made by this object)
    HWND m_bar = nullptr;     // made by this object
    int m_grownBy = 0;        // pixels the dialog grew for the bar's row
    int m_barShown = -1;      // the bar's last position
    std::optional<ProgressEstimate> m_estimate;  // from the end of the count on
    std::uint64_t m_workStart = 0;
    std::uint64_t m_waitedMs = 0;  // in prompts, since the work clock started
    std::uint64_t m_waitStart = 0;
    ITaskbarList3* m_taskbar = nullptr;  // none where the system lacks the interface
    bool m_comStarted = false;
};

}  // namespace velmora
