#include "ui/batch_progress.h"

#include <commctrl.h>
#include <objbase.h>
#include <shobjidl.h>

#include "framework/win_app.h"
#include "platform/win32/windows_support.h"
#include "resource.h"
#include "text/plural.h"

namespace velmora {

namespace {

// Fields and buttons that must not be used while the batch runs; Cancel stays enabled.
constexpr int kLockedControls[] = {
    IDC_TARGET, IDC_DEPTH, IDC_DEPTH_SPIN, IDOK, IDC_SETTINGS, IDC_HELP_BUTTON,
};

// A bound on the messages served per refresh: a window that never validates its paint would
// otherwise hold the batch in the pump for good.
constexpr int kMaxMessagesPerPump = 256;

// The progress row below the buttons, in dialog units: the bar, the time left beside it, and
// how much the dialog grows to hold them.
constexpr RECT kBarRect{7, 81, 7 + 140, 81 + 10};
constexpr RECT kTimeRect{152, 82, 152 + 109, 82 + 8};
constexpr int kRowGrowth = 17;

}  // namespace

CBatchProgress::CBatchProgress(HWND dialog, const TextCatalog& texts)
    : m_hDlg(dialog), m_texts(texts), m_pacer(GetTickCount64()) {}

CBatchProgress::~CBatchProgress() { LeaveBusyState(); }

bool CBatchProgress::OnCounting(std::uint64_t files) {
    if (m_bStop) return false;
    if (!m_pacer.Due([] { return GetTickCount64(); })) return true;
    if (!m_bEntered) EnterBusyState();
    ShowLabel(m_entryLabel, PluralText(m_texts, txt::kBatchCounting, files));
    ShowLabel(m_countLabel, {});
    PumpMessages();
    if (m_bStop) ShowLabel(m_entryLabel, m_texts.Text(txt::kBatchStopping));
    return !m_bStop;
}

void CBatchProgress::StartBatch(std::uint64_t total) {
    m_estimate.emplace(total);
    m_workStart = GetTickCount64();
    m_waitedMs = 0;
    m_barShown = -1;
    SetTaskbarState(TBPF_NORMAL);
    if (m_bar != nullptr) {
        SendMessageW(m_bar, PBM_SETRANGE32, 0, m_estimate->BarRange());
        ShowBar();
    }
}

bool CBatchProgress::OnProgress(const BatchProgress& progress) {
    if (m_bStop) return false;
    if (!m_pacer.Due([] { return GetTickCount64(); })) return true;
    if (!m_bEntered) EnterBusyState();
    Show(progress);
    PumpMessages();
    if (m_bStop) ShowLabel(m_entryLabel, m_texts.Format(txt::kBatchStopping));
    return !m_bStop;
}

void CBatchProgress::RequestStop() { m_bStop = true; }

PromptAnswer CBatchProgress::PausingPrompt::Ask(const std::string& message) {
    m_progress.m_waitStart = GetTickCount64();
    m_progress.SetTaskbarState(TBPF_PAUSED);
    struct Resume {
        CBatchProgress& progress;
        ~Resume() {
            const std::uint64_t now = GetTickCount64();
            if (now >= progress.m_waitStart) progress.m_waitedMs += now - progress.m_waitStart;
            progress.SetTaskbarState(TBPF_NORMAL);
        }
    } resume{m_progress};
    return m_prompt.Ask(message);
}

std::uint64_t CBatchProgress::WorkMs() const {
    const std::uint64_t spent = GetTickCount64() - m_workStart;
    return spent > m_waitedMs ? spent - m_waitedMs : 0;
}

void CBatchProgress::SetTaskbarState(int flags) {
    if (m_taskbar == nullptr) return;
    // Before the count is known the button only says that something is going on.
    if (flags == TBPF_NORMAL && !m_estimate) flags = TBPF_INDETERMINATE;
    m_taskbar->SetProgressState(m_hDlg, static_cast<TBPFLAG>(flags));
}

void CBatchProgress::EnterBusyState() {
    m_bEntered = true;
    if (m_hDlg == nullptr || !IsWindow(m_hDlg)) return;
    HWND focus = GetFocus();
    if (focus != nullptr && (focus == m_hDlg || IsChild(m_hDlg, focus))) m_focusBefore = focus;
    // The focus goes to Cancel before the field holding it is disabled: keys then still
    // reach the dialog, and Escape and Enter both stop the batch.
    if (HWND cancel = GetDlgItem(m_hDlg, IDCANCEL)) {
        SendMessageW(m_hDlg, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(cancel), TRUE);
    }
    for (int id : kLockedControls) {
        HWND control = GetDlgItem(m_hDlg, id);
        if (control != nullptr && IsWindowEnabled(control)) {
            EnableWindow(control, FALSE);
            m_disabled.push_back(control);
        }
    }
    // Names may hold '&', and a long path is shortened in its middle, keeping the last name.
    const auto save = [this](SavedLabel& label, int id, LONG_PTR extraStyle) {
        label.hwnd = GetDlgItem(m_hDlg, id);
        if (label.hwnd == nullptr) return;
        label.text = Widen(WindowText(label.hwnd));
        label.style = GetWindowLongPtrW(label.hwnd, GWL_STYLE);
        SetWindowLongPtrW(label.hwnd, GWL_STYLE, label.style | SS_NOPREFIX | extraStyle);
    };
    save(m_entryLabel, IDC_CAPTION, SS_PATHELLIPSIS);
    save(m_countLabel, IDC_DEPTH_LABEL, SS_ENDELLIPSIS);
    AddProgressRow();
    // The taskbar button's share: Windows 7 and later; without it nothing else changes.
    m_comStarted = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    void* taskbar = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_ITaskbarList3, &taskbar)) &&
        taskbar != nullptr) {
        m_taskbar = static_cast<ITaskbarList3*>(taskbar);
        if (FAILED(m_taskbar->HrInit())) {
            m_taskbar->Release();
            m_taskbar = nullptr;
        }
    }
    SetTaskbarState(TBPF_NORMAL);
}

// The bar and the time left take a row of their own below the buttons; the dialog grows by
// that row while the batch runs.
void CBatchProgress::AddProgressRow() {
    RECT bar = kBarRect;
    RECT time = kTimeRect;
    RECT growth{0, 0, 0, kRowGrowth};
    MapDialogRect(m_hDlg, &bar);
    MapDialogRect(m_hDlg, &time);
    MapDialogRect(m_hDlg, &growth);
    RECT frame{};
    GetWindowRect(m_hDlg, &frame);
    m_grownBy = growth.bottom;
    SetWindowPos(m_hDlg, nullptr, 0, 0, frame.right - frame.left,
                 frame.bottom - frame.top + m_grownBy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    HINSTANCE instance = AppInstance();
    m_bar = CreateWindowExW(0, PROGRESS_CLASSW, L"", WS_CHILD | WS_VISIBLE, bar.left, bar.top,
                            bar.right - bar.left, bar.bottom - bar.top, m_hDlg,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_PROGRESS)), instance,
                            nullptr);
    m_timeLabel.hwnd = CreateWindowExW(
        0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX | SS_ENDELLIPSIS,
        time.left, time.top, time.right - time.left, time.bottom - time.top, m_hDlg,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_TIME_LEFT)), instance, nullptr);
    if (m_timeLabel.hwnd != nullptr) {
        SendMessageW(m_timeLabel.hwnd, WM_SETFONT, SendMessageW(m_hDlg, WM_GETFONT, 0, 0), FALSE);
    }
    if (m_bar != nullptr) {
        SendMessageW(m_bar, PBM_SETRANGE32, 0, m_estimate ? m_estimate->BarRange() : 0);
        ShowBar();
    }
}

void CBatchProgress::RemoveProgressRow() {
    if (m_bar != nullptr) DestroyWindow(m_bar);
    if (m_timeLabel.hwnd != nullptr) DestroyWindow(m_timeLabel.hwnd);
    m_bar = m_timeLabel.hwnd = nullptr;
    if (m_grownBy == 0) return;
    RECT frame{};
    GetWindowRect(m_hDlg, &frame);
    SetWindowPos(m_hDlg, nullptr, 0, 0, frame.right - frame.left,
                 frame.bottom - frame.top - m_grownBy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    m_grownBy = 0;
}

void CBatchProgress::LeaveBusyState() {
    if (m_taskbar != nullptr) {
        m_taskbar->SetProgressState(m_hDlg, TBPF_NOPROGRESS);
        m_taskbar->Release();
        m_taskbar = nullptr;
    }
    if (m_comStarted) CoUninitialize();
    m_comStarted = false;
    if (!m_bEntered || m_hDlg == nullptr || !IsWindow(m_hDlg)) return;
    RemoveProgressRow();
    for (SavedLabel* label : {&m_entryLabel, &m_countLabel}) {
        if (label->hwnd == nullptr) continue;
        SetWindowLongPtrW(label->hwnd, GWL_STYLE, label->style);
        SetWindowTextW(label->hwnd, label->text.c_str());
        label->hwnd = nullptr;
    }
    for (HWND control : m_disabled) EnableWindow(control, TRUE);
    m_disabled.clear();
    if (m_focusBefore != nullptr && IsWindow(m_focusBefore)) {
        SendMessageW(m_hDlg, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(m_focusBefore), TRUE);
    }
    m_bEntered = false;
}

void CBatchProgress::Show(const BatchProgress& progress) {
    ShowLabel(m_entryLabel, m_texts.Format(txt::kBatchCurrent, progress.current));
    // Until the first link or folder is made there is nothing to count yet.
    if (progress.links == 0 && progress.folders == 0) {
        ShowLabel(m_countLabel, m_texts.Format(txt::kBatchRunning));
    } else {
        ShowLabel(m_countLabel,
                  m_texts.Format(txt::kBatchCounts, progress.links, progress.folders));
    }
    if (!m_estimate) return;
    m_estimate->Update(progress.files, WorkMs());
    ShowBar();
    const std::optional<std::uint64_t> left = m_estimate->SecondsLeft();
    ShowLabel(m_timeLabel, left ? TimeLeftText(*left, m_texts) : std::string());
}

void CBatchProgress::ShowBar() {
    if (!m_estimate) return;
    const int position = m_estimate->BarPosition();
    if (position == m_barShown) return;
    m_barShown = position;
    if (m_bar != nullptr) SendMessageW(m_bar, PBM_SETPOS, position, 0);
    if (m_taskbar != nullptr && m_estimate->Total() > 0) {
        m_taskbar->SetProgressValue(m_hDlg, m_estimate->Position(), m_estimate->Total());
    }
}

void CBatchProgress::ShowLabel(SavedLabel& label, const std::string& text) {
    if (label.hwnd == nullptr) return;
    std::wstring wide = Widen(text);
    if (wide == label.shown) return;
    SetWindowTextW(label.hwnd, wide.c_str());
    label.shown = std::move(wide);
}

void CBatchProgress::PumpMessages() {
    MSG msg{};
    for (int i = 0; i < kMaxMessagesPerPump && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
        if (msg.message == WM_QUIT) {
            // The program is asked to end: the dialog's own loop must see the request too,
            // and no more links are made.
            PostQuitMessage(static_cast<int>(msg.wParam));
            m_bStop = true;
            return;
        }
        if (m_hDlg != nullptr && IsDialogMessageW(m_hDlg, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

}  // namespace velmora
