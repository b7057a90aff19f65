#include "app/link_app.h"

#include <shellapi.h>

#include <memory>

#include "framework/message_box.h"
#include "platform/win32/profile_win.h"
#include "platform/win32/system_win.h"
#include "platform/win32/wide.h"
#include "resource.h"
#include "text/command_line.h"
#include "text/language_file.h"
#include "text/settings.h"
#include "text/version.h"
#include "ui/link_dlg.h"

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

// The folder part of `path`, up to and including its last backslash; empty without one.
std::string FolderOf(const std::string& path) {
    std::size_t slash = path.find_last_of('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

}  // namespace

CLinkApp& LinkApp() { return *static_cast<CLinkApp*>(CWinAppBase::Current()); }

CLinkApp::CLinkApp() = default;
CLinkApp::~CLinkApp() = default;

bool CLinkApp::InitInstance() {
    if (!ReadCommandLine()) return false;

    std::string program = ProgramPath();
    if (!program.empty()) {
        std::string folder = FolderOf(program);
        if (!folder.empty()) SetCurrentDirectoryW(Widen(folder).c_str());
        m_strHelpPath = DefaultHelpPath(program);
    }

    if (m_strIniFile.empty()) {
        SetProfile(std::make_unique<RegistryProfile>("Tarnwell", "Velmora"));
    } else {
        // Against the program's folder, which is now the current folder. A name the system
        // cannot make absolute is kept as typed: the settings still never go to the registry.
        std::optional<std::string> full = FullPathOf(m_strIniFile);
        SetProfile(std::make_unique<IniProfile>(full ? *full : m_strIniFile));
    }

    m_strAppName = "Velmora";
    ReadSettings();
    LoadLanguageFile();
    BuildVersionString();

    CLinkDlg dialog;
    m_pMainWnd = &dialog;
    dialog.DoModal();
    m_pMainWnd = nullptr;
    return false;
}

bool CLinkApp::ReadCommandLine() {
    if (m_arguments.empty()) m_arguments = ProcessArguments();
    std::optional<CommandLine> line = ParseArguments(m_arguments);
    if (!line) {
        MessageBoxApp(std::string(BuiltinText(txt::kWrongArgs)), MB_OK);
        return false;
    }
    m_strTargetDir = line->targetDir;
    // No sharing while it is read: the file manager has finished writing it.
    std::string bytes;
    if (!ReadWholeFile(line->listFile, bytes, 0)) {
        MessageBoxApp(std::string(BuiltinText(txt::kListUnreadable)), MB_OK);
        return false;
    }
    m_arrPaths = SplitListFile(bytes, AnsiToUtf8);
    m_strIniFile = line->iniFile;
    return true;
}

bool CLinkApp::ReadSettings() {
    if (Profile() == nullptr) return true;
    Settings settings = velmora::ReadSettings(*Profile());
    m_strLanguageFile = settings.languageFile;
    m_strHelpFile = settings.helpFile;
    m_bSaveWindowPos = settings.saveWindowPos;
    m_bSaveRecursionDepth = settings.saveRecursionDepth;
    m_nDefaultRecursionDepth = settings.defaultRecursionDepth;
    return true;
}

bool CLinkApp::LoadLanguageFile() {
    if (m_strLanguageFile.empty()) return true;
    std::optional<std::string> full = FullPathOf(m_strLanguageFile);
    std::string bytes;
    if (!full || !ReadWholeFile(*full, bytes, FILE_SHARE_READ)) {
        MessageBoxApp(LanguageMissingMessage(), MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    m_langTable.SetTable(ParseLanguageFile(bytes, AnsiToUtf8));
    return true;
}

void CLinkApp::BuildVersionString() {
    std::optional<std::array<unsigned, 4>> version = ReadProductVersion(nullptr);
    m_strVersion = version
                       ? FormatVersion((*version)[0], (*version)[1], (*version)[2], (*version)[3])
                       : std::string();
}

std::string CLinkApp::GetHelpFilePath() const {
    if (m_strHelpFile.empty()) return m_strHelpPath;
    std::optional<std::string> full = FullPathOf(m_strHelpFile);
    if (full && GetFileAttributesW(LongPath(*full).c_str()) != INVALID_FILE_ATTRIBUTES) {
        return *full;
    }
    return m_strHelpPath;
}

void CLinkApp::OpenHelpViewer(HWND owner, const std::string& argument) const {
    const auto result = reinterpret_cast<UINT_PTR>(
        ShellExecuteW(owner, L"open", L"hh.exe", Widen(argument).c_str(), L"", SW_SHOWNORMAL));
    if (result <= 32) {
        MessageBoxApp(m_langTable.Text(txt::kHelpFailed), MB_OK);
    }
}

void CLinkApp::WinHelp(std::uintptr_t, unsigned) {
    if (m_pMainWnd != nullptr && m_pMainWnd->GetSafeHwnd() != nullptr) {
        SendMessageW(m_pMainWnd->GetSafeHwnd(), WM_COMMAND, IDC_HELP_BUTTON, 0);
    }
}

std::string CLinkApp::LookupText(TextId id, std::string_view builtin) const {
    return m_langTable.LookupText(id, builtin);
}

}  // namespace velmora
