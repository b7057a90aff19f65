#include "ui/help_viewer.h"

#include <shellapi.h>

#include "framework/message_box.h"
#include "platform/win32/windows_support.h"
#include "ui/settings_rules.h"

namespace velmora {

std::string CHelpViewer::FilePath() const {
    if (m_settings.helpFile.empty()) return m_defaultPath;
    // Never against the current folder: a file browser may have moved it.
    std::optional<std::string> full =
        FullPathOf(SettingsFileName(m_programFolder, m_settings.helpFile));
    if (full && GetFileAttributesW(LongPath(*full).c_str()) != INVALID_FILE_ATTRIBUTES) {
        return *full;
    }
    return m_defaultPath;
}

void CHelpViewer::OpenTopic(HWND owner, std::string_view topic) const {
    Open(owner, HelpTopicArgument(FilePath(), topic));
}

void CHelpViewer::Open(HWND owner, const std::string& argument) const {
    const auto result = reinterpret_cast<UINT_PTR>(
        ShellExecuteW(owner, L"open", L"hh.exe", Widen(argument).c_str(), L"", SW_SHOWNORMAL));
    if (result <= 32) MessageBoxApp(m_texts.Text(txt::kHelpFailed), MB_OK);
}

}  // namespace velmora
