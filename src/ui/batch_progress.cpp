#include "ui/batch_progress.h"

#include "platform/win32/windows_support.h"
#include "resource.h"

namespace velmora {

namespace {

// Fields and buttons that must not be used while the batch runs; Cancel stays enabled.
constexpr int kLockedControls[] = {
    IDC_TARGET, IDC_DEPTH, IDC_DEPTH_SPIN, IDOK, IDC_SETTINGS, IDC_HELP_BUTTON,
};

// A bound on the messages served per refresh: a window that never validates its paint would
// otherwise hold the batch in the pump for good.
constexpr int kMaxMessagesPerPump = 256;

}  // namespace

CBatchProgress::CBatchProgress(HWND dialog, const TextCatalog& texts)
    : m_hDlg(dialog), m_texts(texts), m_pacer(GetTickCount64()) {}

CBatchProgress::~CBatchProgress() { LeaveBusyState(); }

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
}

void CBatchProgress::LeaveBusyState() {
    if (!m_bEntered || m_hDlg == nullptr || !IsWindow(m_hDlg)) return;
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
