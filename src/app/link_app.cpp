#include "app/link_app.h"

#include <shellapi.h>

#include <memory>

#include "app/exit_codes.h"
#include "framework/message_box.h"
#include "platform/path.h"
#include "platform/win32/profile_win.h"
#include "platform/win32/windows_support.h"
#include "resource.h"
#include "text/command_line.h"
#include "text/language_file.h"
#include "text/safe_format.h"
#include "text/version.h"
#include "ui/help_viewer.h"
#include "ui/link_dlg.h"
#include "ui/settings_rules.h"

namespace velmora {

namespace {

std::vector<std::string> ProcessArguments() {
    std::vector<std::string> result;
    int count = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &count);
    if (argv == nullptr) return result;
    result.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) result.push_back(Narrow(argv[i]));
    LocalFree(argv);
    return result;
}

// Why the list file `name` is not run. Shown before the language file is read, so always
// the built-in text.
std::string ListProblemMessage(ListProblem problem, const std::string& name) {
    TextId id = txt::kListEmpty;
    if (problem == ListProblem::ZeroByte) id = txt::kListZeroByte;
    if (problem == ListProblem::UnreadableEncoding) id = txt::kListUnreadableCoding;
    const std::string_view text = BuiltinText(id);
    return SafeFormat(text, text, {name});
}

}  // namespace

CLinkApp::CLinkApp() : m_exitCode(exit_code::kNotStarted) { SetFrameworkTexts(); }
CLinkApp::~CLinkApp() = default;

bool CLinkApp::InitInstance() {
    std::string iniFile;
    if (!ReadCommandLine(iniFile)) return false;

    std::string program = ProgramPath();
    std::string folder(path::FolderPart(program, '\\'));
    if (!folder.empty()) SetCurrentDirectoryW(Widen(folder).c_str());

    if (iniFile.empty()) {
        m_profile = std::make_unique<RegistryProfile>("Tarnwell", "Velmora");
    } else {
        // Against the program's folder. A name the system cannot make absolute is kept as
        // typed: the settings still never go to the registry.
        m_profile = std::make_unique<IniProfile>(
            FullPathOf(SettingsFileName(folder, iniFile)).value_or(iniFile));
    }

    m_texts.caption = "Velmora";
    m_settings = ReadSettings(*m_profile);
    LoadLanguageFile(folder);
    SetFrameworkTexts();

    const CHelpViewer help(folder, DefaultHelpPath(program), m_settings, m_catalog);
    CLinkDlg dialog(
        {m_catalog, m_settings, *m_profile, help, m_paths, m_targetDir, ProgramVersion(), folder});
    m_pMainWnd = &dialog;
    const INT_PTR closed = dialog.DoModal();
    m_pMainWnd = nullptr;
    if (dialog.m_batchResult) {
        m_exitCode = BatchExitCode(*dialog.m_batchResult);
    } else if (closed != -1) {
        m_exitCode = exit_code::kNoBatch;
    }
    return false;
}

bool CLinkApp::ReadCommandLine(std::string& iniFile) {
    std::optional<CommandLine> line = ParseArguments(ProcessArguments());
    if (!line) {
        MessageBoxApp(std::string(BuiltinText(txt::kWrongArgs)), MB_OK);
        return false;
    }
    m_targetDir = line->targetDir;
    // No sharing while it is read: the file manager has finished writing it.
    std::string bytes;
    if (!ReadWholeFile(line->listFile, bytes, 0)) {
        MessageBoxApp(std::string(BuiltinText(txt::kListUnreadable)), MB_OK);
        return false;
    }
    // A list without a mark that reads both as UTF-8 and as ANSI is decided by the names that
    // exist, asked for exactly as the list spells them.
    ListFile list = ReadListFile(bytes, AnsiToUtf8, ExactNameExists);
    if (list.problem != ListProblem::None) {
        MessageBoxApp(ListProblemMessage(list.problem, line->listFile), MB_OK);
        return false;
    }
    m_paths = std::move(list.entries);
    iniFile = line->iniFile;
    return true;
}

bool CLinkApp::LoadLanguageFile(const std::string& programFolder) {
    if (m_settings.languageFile.empty()) return true;
    std::optional<std::string> full =
        FullPathOf(SettingsFileName(programFolder, m_settings.languageFile));
    std::string bytes;
    if (!full || !ReadWholeFile(*full, bytes, FILE_SHARE_READ)) {
        MessageBoxApp(LanguageMissingMessage(), MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    m_catalog.SetTable(ParseLanguageFile(bytes, AnsiToUtf8));
    return true;
}

void CLinkApp::SetFrameworkTexts() {
    m_texts.notAnInteger = m_catalog.Text(txt::kNotAnInteger);
    m_texts.unexpectedFailure = m_catalog.Text(txt::kUnknownError);
}

void CLinkApp::WinHelp(std::uintptr_t, unsigned) {
    if (m_pMainWnd != nullptr && m_pMainWnd->GetSafeHwnd() != nullptr) {
        SendMessageW(m_pMainWnd->GetSafeHwnd(), WM_COMMAND, IDC_HELP_BUTTON, 0);
    }
}

}  // namespace velmora
