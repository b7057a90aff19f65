#include "ui/error_dlg.h"

#include <algorithm>
#include <optional>
#include <stdexcept>

#include "platform/win32/windows_support.h"
#include "resource.h"
#include "ui/text_fit.h"

namespace velmora {

namespace {
constexpr LanguageRow kErrorRows[] = {
    {IDC_SKIP, txt::kSkip},        {IDC_RETRY, txt::kRetry},         {IDC_SKIP_ALL, txt::kSkipAll},
    {IDCANCEL, txt::kErrorCancel}, {kDialogTitle, txt::kErrorTitle},
};

// The prompt's buttons and the answers they give, bound when the program is built: a
// renumbered template keeps each button's meaning, and a result that is no button of the
// prompt (DoModal's -1 when the dialog cannot be made, 0, or IDOK, which OnOK turns into
// Skip) can never pass for an answer.
struct ButtonAnswer {
    int id;
    PromptAnswer answer;
};
constexpr ButtonAnswer kButtonAnswers[] = {
    {IDC_SKIP, PromptAnswer::Skip},
    {IDC_RETRY, PromptAnswer::Retry},
    {IDC_SKIP_ALL, PromptAnswer::SkipAll},
    {IDCANCEL, PromptAnswer::Cancel},
};

constexpr std::optional<PromptAnswer> AnswerOf(INT_PTR id) {
    for (const ButtonAnswer& button : kButtonAnswers) {
        if (button.id == id) return button.answer;
    }
    return std::nullopt;
}

constexpr bool EveryAnswerHasOneButtonOfItsOwn() {
    for (const ButtonAnswer& a : kButtonAnswers) {
        if (a.id == -1 || a.id == 0 || a.id == IDOK) return false;
        int sameId = 0;
        int sameAnswer = 0;
        for (const ButtonAnswer& b : kButtonAnswers) {
            sameId += a.id == b.id ? 1 : 0;
            sameAnswer += a.answer == b.answer ? 1 : 0;
        }
        if (sameId != 1 || sameAnswer != 1) return false;
    }
    return true;
}
static_assert(std::size(kButtonAnswers) == 4 && EveryAnswerHasOneButtonOfItsOwn(),
              "each answer of the error prompt needs a button id of its own");

void MoveDown(HWND dialog, HWND child, int dy) {
    RECT r{};
    ::GetWindowRect(child, &r);
    ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    ::SetWindowPos(child, nullptr, r.left, r.top + dy, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
}  // namespace

CErrorDlg::CErrorDlg(const TextCatalog& texts, const CHelpViewer* help, HWND parent)
    : CLocalizedDialog(IDD_ERROR, texts, parent), m_pHelp(help) {}

PromptAnswer CErrorDlg::Ask(const std::string& message) {
    m_strMessage = message;
    const std::optional<PromptAnswer> answer = AnswerOf(DoModal());
    if (!answer) throw std::runtime_error("the error prompt gave no answer");
    return *answer;
}

void CErrorDlg::DoDataExchange(CDataExchange& dx) { dx.Text(IDC_ERROR_TEXT, m_strMessage); }

BOOL CErrorDlg::OnInitDialog() {
    CLocalizedDialog::OnInitDialog();
    ApplyLanguage(kErrorRows);
    FitMessage();
    // Enter means Skip even where the dialog manager would otherwise send IDOK.
    SendMessageW(m_hWnd, DM_SETDEFID, IDC_SKIP, 0);
    return TRUE;
}

void CErrorDlg::OnOK() { EndDialog(IDC_SKIP); }

void CErrorDlg::OnHelp() {
    if (m_pHelp == nullptr) return CLocalizedDialog::OnHelp();
    m_pHelp->OpenTopic(m_hWnd, help_topic::kErrorPrompt);
}

bool CErrorDlg::OnCommand(int id, int code) {
    if (code != BN_CLICKED) return false;
    if (id == IDC_SKIP || id == IDC_RETRY || id == IDC_SKIP_ALL) {
        EndDialog(id);
        return true;
    }
    return false;
}

// The message is shown as it is: a "&" in a name is no access key, a name without blanks
// that is wider than the prompt breaks where the line ends instead of being cut off, and when
// a long name needs more lines than the template gives, the text grows (and the buttons and
// the frame with it) so that the system's reason on the last line stays visible. A name too
// long for the work area even then is shortened in its middle, so the prompt, its reason and
// its buttons always lie on the screen.
void CErrorDlg::FitMessage() {
    HWND text = GetDlgItem(IDC_ERROR_TEXT);
    if (text == nullptr) return;
    const LONG_PTR style = ::GetWindowLongPtrW(text, GWL_STYLE);
    ::SetWindowLongPtrW(text, GWL_STYLE, style | SS_NOPREFIX | SS_EDITCONTROL);

    RECT frame{};
    ::GetWindowRect(m_hWnd, &frame);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (!::GetMonitorInfoW(::MonitorFromWindow(m_hWnd, MONITOR_DEFAULTTONEAREST), &monitor)) return;
    const RECT& work = monitor.rcWork;
    const int frameHeight = frame.bottom - frame.top;
    const int room = std::max(0, static_cast<int>(work.bottom - work.top) - frameHeight);

    RECT box{};
    ::GetClientRect(text, &box);
    HDC dc = ::GetDC(text);
    if (dc == nullptr) return;
    const auto font = reinterpret_cast<HGDIOBJ>(::SendMessageW(text, WM_GETFONT, 0, 0));
    HGDIOBJ oldFont = font != nullptr ? ::SelectObject(dc, font) : nullptr;
    const auto heightOf = [&](const std::wstring& message) {
        RECT need = box;
        ::DrawTextW(
            dc, message.c_str(), static_cast<int>(message.size()), &need,
            DT_CALCRECT | DT_CENTER | DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX | DT_EXPANDTABS);
        return static_cast<int>(need.bottom);
    };
    int needed = heightOf(Widen(m_strMessage));
    if (needed > box.bottom + room) {
        const auto fits = [&](std::size_t keep) {
            return heightOf(Widen(ShortenLongLines(m_strMessage, keep))) <= box.bottom + room;
        };
        const std::string shown =
            ShortenLongLines(m_strMessage, LargestFitting(12, CharCount(m_strMessage), fits));
        ::SetWindowTextW(text, Widen(shown).c_str());
        needed = heightOf(Widen(shown));
    }
    if (oldFont != nullptr) ::SelectObject(dc, oldFont);
    ::ReleaseDC(text, dc);

    const int grow = std::min(needed - static_cast<int>(box.bottom), room);
    if (grow <= 0) return;

    ::SetWindowPos(text, nullptr, 0, 0, box.right, box.bottom + grow,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    for (int id : {IDC_SKIP, IDC_RETRY, IDC_SKIP_ALL, IDCANCEL})
        if (HWND button = GetDlgItem(id)) MoveDown(m_hWnd, button, grow);
    // Grown about its middle, and kept inside the work area.
    const int height = frameHeight + grow;
    const int top = std::clamp(static_cast<int>(frame.top) - grow / 2, static_cast<int>(work.top),
                               static_cast<int>(work.bottom) - height);
    ::SetWindowPos(m_hWnd, nullptr, frame.left, top, frame.right - frame.left, height,
                   SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace velmora
