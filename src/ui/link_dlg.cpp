#include "ui/link_dlg.h"

#include <utility>

#include "framework/message_box.h"
#include "framework/win_app.h"
#include "links/batch.h"
#include "links/file_count.h"
#include "platform/win32/fs_win.h"
#include "platform/win32/windows_support.h"
#include "resource.h"
#include "ui/about_dlg.h"
#include "ui/batch_progress.h"
#include "ui/batch_summary.h"
#include "ui/error_dlg.h"
#include "ui/link_rules.h"
#include "ui/settings_dlg.h"
#include "ui/settings_rules.h"
#include "ui/text_fit.h"

namespace velmora {

namespace {

constexpr LanguageRow kLinkRows[] = {
    {IDC_DEPTH_LABEL, txt::kDepthLabel},
    {IDOK, txt::kOk},
    {IDCANCEL, txt::kCancel},
    {IDC_SETTINGS, txt::kSettings},
    {IDC_HELP_BUTTON, txt::kHelp},
};

class MessageBoxes : public IMessages {
public:
    void ShowMessage(const std::string& text) override { MessageBoxApp(text, MB_OK); }
};

BOOL CALLBACK AddWorkArea(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    if (GetMonitorInfoW(monitor, &info)) {
        const RECT& work = info.rcWork;
        reinterpret_cast<std::vector<WindowRect>*>(data)->push_back(
            {work.left, work.top, work.right, work.bottom});
    }
    return TRUE;
}

// A skipped name as the summary box can show it: shortened in the middle to at most half the
// width of the work area in the message font, so that the counts and OK stay on the screen.
std::string FitSummaryName(HWND window, const std::string& name) {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    if (!GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor) ||
        !SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) {
        return ShortenMiddle(name, 80);
    }
    const LONG limit = (monitor.rcWork.right - monitor.rcWork.left) / 2;
    HDC dc = GetDC(nullptr);
    HFONT font = CreateFontIndirectW(&metrics.lfMessageFont);
    HGDIOBJ old = font != nullptr ? SelectObject(dc, font) : nullptr;
    const auto fits = [&](std::size_t keep) {
        const std::wstring wide = Widen(ShortenMiddle(name, keep));
        SIZE size{};
        return GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size) &&
               size.cx <= limit;
    };
    const std::string fitted = ShortenMiddle(name, LargestFitting(12, CharCount(name), fits));
    if (old != nullptr) SelectObject(dc, old);
    if (font != nullptr) DeleteObject(font);
    ReleaseDC(nullptr, dc);
    return fitted;
}

}  // namespace

std::vector<WindowRect> MonitorWorkAreas() {
    std::vector<WindowRect> areas;
    EnumDisplayMonitors(nullptr, nullptr, &AddWorkArea, reinterpret_cast<LPARAM>(&areas));
    return areas;
}

CLinkDlg::CLinkDlg(const LinkDlgInputs& inputs)
    : CLocalizedDialog(IDD_LINK, inputs.texts),
      m_settings(inputs.settings),
      m_profile(inputs.profile),
      m_help(inputs.help),
      m_paths(inputs.paths),
      m_strVersion(inputs.version),
      m_programFolder(inputs.programFolder) {
    const DWORD attributes = GetFileAttributesW(LongPath(inputs.targetDir).c_str());
    const bool targetIsFolder =
        attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    LinkDialogFields fields = MainDialogFields(m_paths, inputs.targetDir, targetIsFolder, m_texts);
    m_strCaption = std::move(fields.caption);
    m_strTarget = std::move(fields.target);
    m_nDepth = m_settings.defaultRecursionDepth;

    HINSTANCE instance = AppInstance();
    m_hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_VELMORA));
    m_hSmallIcon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_VELMORA),
                                                 IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                                 GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
}

CLinkDlg::~CLinkDlg() {
    if (m_hSmallIcon != nullptr) DestroyIcon(m_hSmallIcon);
}

void CLinkDlg::DoDataExchange(CDataExchange& dx) {
    dx.Control(IDC_DEPTH_SPIN, m_spinDepth);
    dx.Int(IDC_DEPTH, m_nDepth);
    dx.Text(IDC_TARGET, m_strTarget);
    dx.Text(IDC_CAPTION, m_strCaption);
}

BOOL CLinkDlg::OnInitDialog() {
    CLocalizedDialog::OnInitDialog();
    AddAboutItem();
    SendMessageW(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessageW(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hSmallIcon));
    m_spinDepth.SetRange(-1, 1000);
    ApplyLanguage(kLinkRows);
    if (!m_strVersion.empty()) SetWindowText(GetWindowText() + " " + m_strVersion);
    if (m_settings.saveWindowPos) RestoreWindowRect();
    return TRUE;
}

void CLinkDlg::AddAboutItem() {
    HMENU menu = GetSystemMenu(m_hWnd, FALSE);
    if (menu == nullptr) return;
    std::string text;
    if (const std::optional<std::string_view> found = m_texts.Find(txt::kAboutMenu)) {
        text = *found;
    } else {
        // The string table's entry; LoadStringW with length 0 returns a pointer into it.
        const wchar_t* resource = nullptr;
        int length =
            LoadStringW(AppInstance(), IDS_ABOUTBOX, reinterpret_cast<LPWSTR>(&resource), 0);
        if (length > 0 && resource != nullptr) {
            text = Narrow(std::wstring_view(resource, static_cast<std::size_t>(length)));
        }
    }
    if (text.empty()) return;
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, IDM_ABOUTBOX, Widen(text).c_str());
}

void CLinkDlg::RestoreWindowRect() {
    const std::optional<WindowRect> stored = ReadWindowRect(m_profile);
    if (!stored) return;
    // A window the user cannot reach (a screen removed, a new resolution, a size that cuts
    // off its buttons, a damaged value) opens centred as if nothing were stored. The title
    // bar is everything above the client area: frame and caption at this window's DPI.
    RECT own{};
    POINT client{0, 0};
    if (!GetWindowRect(m_hWnd, &own) || !ClientToScreen(m_hWnd, &client)) return;
    if (!IsReachable(*stored, own.right - own.left, own.bottom - own.top, client.y - own.top,
                     MonitorWorkAreas())) {
        return;
    }
    MoveWindow(m_hWnd, stored->left, stored->top, stored->right - stored->left,
               stored->bottom - stored->top, TRUE);
    KeepPlacement();
}

void CLinkDlg::OnOK() {
    // Enter or a click that reaches the dialog while its batch runs must not start another.
    if (m_pBatchProgress != nullptr) return;
    if (!UpdateData(true)) return;
    const ULONGLONG started = GetTickCount64();
    Win32FileSystem fileSystem;
    CErrorDlg prompt(m_texts, &m_help);
    MessageBoxes messages;
    {
        // Destroyed before the data exchange below, which reads the labels it changes.
        CBatchProgress progress(m_hWnd, m_texts);
        struct Running {
            CBatchProgress*& slot;
            ~Running() { slot = nullptr; }
        } running{m_pBatchProgress};
        m_pBatchProgress = &progress;
        // The files are counted first, for the share done; Cancel meanwhile ends the program
        // as a cancelled batch does. A target the batch refuses at once is not worth a count.
        const bool refused = !CompleteTarget(fileSystem, m_strTarget, m_paths.size());
        if (const std::optional<std::uint64_t> total =
                refused ? std::optional<std::uint64_t>(0)
                        : CountBatchFiles(fileSystem, m_paths, m_nDepth, &progress)) {
            progress.StartBatch(*total);
            CBatchProgress::PausingPrompt pausing(prompt, progress);
            LinkBatch batch(fileSystem, pausing, messages, m_texts, &progress);
            m_batchResult = batch.Run(m_paths, m_strTarget, m_nDepth);
        } else {
            m_batchResult.emplace().outcome = BatchOutcome::Cancelled;
        }
    }
    // The batch is over whatever happened in it: the dialog closes with OK, after the
    // summary when the batch passed anything over.
    UpdateData(true);
    if (std::optional<std::string> summary = BatchSummary(
            *m_batchResult, m_texts, GetTickCount64() - started,
            [this](const std::string& name) { return FitSummaryName(m_hWnd, name); })) {
        MessageBoxApp(*summary, MB_OK);
    }
    EndDialog(IDOK);
}

bool CLinkDlg::OnCommand(int id, int code) {
    if (m_pBatchProgress != nullptr) {
        // Cancel, Escape, the close box and Alt+F4 all arrive as IDCANCEL: they stop the
        // batch, and OK ends the dialog once it has unwound. Nothing else may run meanwhile.
        if (id == IDCANCEL) m_pBatchProgress->RequestStop();
        return true;
    }
    if (code != BN_CLICKED) return false;
    switch (id) {
        case IDC_HELP_BUTTON:
            OnHelp();
            return true;
        case IDC_SETTINGS:
            OnSettingsClicked();
            return true;
        default:
            return false;
    }
}

bool CLinkDlg::OnMessage(UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
    switch (message) {
        case WM_SYSCOMMAND:
            return OnSysCommand(wParam);
        case WM_PAINT:
            if (!IsIconic(m_hWnd)) return false;
            OnPaint();
            result = 0;
            return true;
        case WM_QUERYDRAGICON:
            result = reinterpret_cast<LRESULT>(m_hIcon);
            return true;
        default:
            return false;
    }
}

bool CLinkDlg::OnSysCommand(WPARAM command) {
    if ((command & 0xFFF0) != IDM_ABOUTBOX) return false;
    // Not over a running batch: its modal loop would hold the batch until it closes.
    if (m_pBatchProgress != nullptr) return true;
    CAboutDlg(m_texts, m_strVersion).DoModal();
    return true;
}

void CLinkDlg::OnSettingsClicked() {
    const std::string languageBefore = m_settings.languageFile;
    CSettingsDlg settings(m_texts, m_settings, m_profile, m_help, m_programFolder);
    const INT_PTR result = settings.DoModal();
    // The language table is not reloaded: a new file counts from the next start.
    if (LanguageNoticeNeeded(result == IDOK, settings.m_bSaveFailed, languageBefore,
                             m_settings.languageFile)) {
        MessageBoxApp(std::string(LanguageNoticeText()), MB_OK | MB_ICONEXCLAMATION);
    }
}

void CLinkDlg::OnPaint() {
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(m_hWnd, &paint);
    SendMessageW(m_hWnd, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    int cx = GetSystemMetrics(SM_CXICON);
    int cy = GetSystemMetrics(SM_CYICON);
    RECT client{};
    GetClientRect(m_hWnd, &client);
    int x = (client.right - client.left - cx + 1) / 2;
    int y = (client.bottom - client.top - cy + 1) / 2;
    DrawIcon(dc, x, y, m_hIcon);
    EndPaint(m_hWnd, &paint);
}

void CLinkDlg::OnHelp() {
    // Not while the batch runs: the dialog then answers only Cancel.
    if (m_pBatchProgress == nullptr) m_help.OpenTopic(m_hWnd, help_topic::kStart);
}

void CLinkDlg::OnDestroy() {
    if (m_settings.saveWindowPos) {
        RECT rect{};
        GetWindowRect(m_hWnd, &rect);
        WriteWindowRect(m_profile, {rect.left, rect.top, rect.right, rect.bottom});
    }
    if (m_settings.saveRecursionDepth) {
        // Signed, and 0 for text that is no number, as the field reads at this moment.
        auto depth = static_cast<int>(GetDlgItemInt(m_hWnd, IDC_DEPTH, nullptr, TRUE));
        WriteRecursionDepth(m_profile, depth);
    }
}

}  // namespace velmora
