#include "ui/settings_dlg.h"

#include <utility>

#include "framework/file_dialog.h"
#include "framework/message_box.h"
#include "resource.h"
#include "ui/hyperlink_rules.h"
#include "ui/settings_rules.h"

namespace velmora {

namespace {

constexpr LanguageRow kLanguageRows[] = {
    {IDC_SAVE_WINDOW_POS, txt::kSaveWindowPos},
    {IDC_SAVE_DEPTH, txt::kSaveDepth},
    {IDC_DEFAULT_DEPTH_LABEL, txt::kDefaultDepth},
    {IDC_LANGUAGE_LABEL, txt::kLanguageFile},
    {IDC_HELP_LABEL, txt::kHelpFileLabel},
    {IDOK, txt::kSettingsOk},
    {IDCANCEL, txt::kSettingsCancel},
    {IDC_HELP_BUTTON, txt::kSettingsHelp},
    {kDialogTitle, txt::kSettingsTitle},
};

// The label, the edit and the up-down control of the default depth, in this order.
constexpr int kDepthControls[] = {IDC_DEFAULT_DEPTH_LABEL, IDC_DEFAULT_DEPTH,
                                  IDC_DEFAULT_DEPTH_SPIN};

}  // namespace

CSettingsDlg::CSettingsDlg(const TextCatalog& texts, Settings& settings, IProfile& profile,
                           const CHelpViewer& help, std::string programFolder, HWND parent)
    : CLocalizedDialog(IDD_SETTINGS, texts, parent),
      m_settings(settings),
      m_profile(profile),
      m_help(help),
      m_programFolder(std::move(programFolder)),
      m_values(settings) {}

void CSettingsDlg::DoDataExchange(CDataExchange& dx) {
    dx.Control(IDC_DEFAULT_DEPTH_LABEL, m_labelDefaultDepth);
    dx.Control(IDC_DEFAULT_DEPTH_SPIN, m_spinDefaultDepth);
    dx.Text(IDC_LANGUAGE_FILE, m_values.languageFile);
    dx.Check(IDC_SAVE_DEPTH, m_values.saveRecursionDepth);
    dx.Check(IDC_SAVE_WINDOW_POS, m_values.saveWindowPos);
    // Any integer is taken, also outside the up-down control's range.
    dx.Int(IDC_DEFAULT_DEPTH, m_values.defaultRecursionDepth);
    dx.Text(IDC_HELP_FILE, m_values.helpFile);
}

BOOL CSettingsDlg::OnInitDialog() {
    CLocalizedDialog::OnInitDialog();
    m_spinDefaultDepth.SetRange(-1, 1000);
    ApplyLanguage(kLanguageRows);
    if (m_values.saveRecursionDepth) {
        // The main dialog overwrites the default depth when it closes: nothing to edit here.
        for (int id : kDepthControls) ::EnableWindow(GetDlgItem(id), FALSE);
    }
    ShiftLabelForVisualStyles();
    return TRUE;
}

void CSettingsDlg::ShiftLabelForVisualStyles() {
    // The visual-style renderer draws this label's text 2 pixels further right than the
    // classic one; growing the label 2 pixels to the left keeps the layout the template was
    // drawn for. Without the library or an active style nothing moves.
    HMODULE uxtheme = LoadLibraryW(L"uxtheme.dll");
    if (uxtheme == nullptr) return;
    using IsThemeActiveFn = BOOL(WINAPI*)();
    auto isThemeActive = reinterpret_cast<IsThemeActiveFn>(
        reinterpret_cast<void*>(GetProcAddress(uxtheme, "IsThemeActive")));
    if (isThemeActive != nullptr && isThemeActive() == 1) {
        HWND label = m_labelDefaultDepth.GetSafeHwnd();
        WINDOWPLACEMENT placement{};
        placement.length = sizeof(placement);
        if (label != nullptr && GetWindowPlacement(label, &placement)) {
            placement.rcNormalPosition.left -= 2;
            SetWindowPlacement(label, &placement);
        }
    }
    FreeLibrary(uxtheme);
}

bool CSettingsDlg::OnCommand(int id, int code) {
    if (code != BN_CLICKED) return false;
    switch (id) {
        case IDC_SAVE_DEPTH:
            OnSaveDepthClicked();
            return true;
        case IDC_HELP_BUTTON:
            OnHelp();
            return true;
        case IDC_LANGUAGE_BROWSE:
            Browse(IDC_LANGUAGE_FILE, txt::kLanguageFilter, "*.lng", "lng");
            return true;
        case IDC_HELP_BROWSE:
            Browse(IDC_HELP_FILE, txt::kHelpFilter, "*.chm", "chm");
            return true;
        default:
            return false;
    }
}

void CSettingsDlg::OnHelp() {
    // The help file in use, not the edit's text: a new path counts only after OK.
    m_help.OpenTopic(m_hWnd, help_topic::kSettings);
}

void CSettingsDlg::OnSaveDepthClicked() {
    // The box itself decides, not the member: it is exchanged only at OK.
    LRESULT state = SendMessageW(GetDlgItem(IDC_SAVE_DEPTH), BM_GETCHECK, 0, 0);
    const BOOL enable = state == BST_UNCHECKED ? TRUE : FALSE;
    for (int id : kDepthControls) ::EnableWindow(GetDlgItem(id), enable);
}

void CSettingsDlg::Browse(int editId, TextId filterId, const char* pattern, const char* extension) {
    OpenFileRequest request;
    request.owner = m_hWnd;
    request.filter = m_texts.Text(filterId);
    // A relative name is the program's file, whatever folder the browser was in last.
    request.initialName =
        BrowseInitialName(SettingsFileName(m_programFolder, GetDlgItemText(editId)), pattern);
    request.defaultExtension = extension;
    // And the browser leaves the current folder where it is (by default it moves it).
    request.flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    // Only the edit changes; the member takes the text at the exchange in OK.
    if (std::optional<std::string> chosen = ShowOpenFileDialog(request)) {
        SetDlgItemText(editId, StoredSettingsFileName(m_programFolder, *chosen));
    }
}

void CSettingsDlg::OnOK() {
    if (!UpdateData(true)) return;  // the exchange has told the user; nothing is written

    // All five writes are attempted, in their order, whatever the earlier ones did; the
    // running program uses the new values even when the profile kept the old ones.
    const bool saved = WriteSettings(m_profile, m_values);
    m_settings = m_values;
    if (!saved) {
        MessageBoxApp(m_texts.Text(txt::kSaveFailed), MB_OK);
        m_bSaveFailed = true;
    }
    CLocalizedDialog::OnOK();
}

}  // namespace velmora
