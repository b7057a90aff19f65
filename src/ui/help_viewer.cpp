#include "ui/help_viewer.h"

#include <shellapi.h>

#include "framework/message_box.h"
#include "platform/win32/windows_support.h"

namespace velmora {

std::string CHelpViewer::FilePath() const {
    if (m_settings.helpFile.empty()) return m_defaultPath;
    std::optional<std::string> full = FullPathOf(m_settings.helpFile);
    if (full && GetFileAttributesW(LongPath(*full).c_str()) != INVALID_FILE_ATTRIBUTES) {
        return *full;
    }
    return m_defaultPath;
}

void CHelpViewer::Open(HWND owner, const std::string& argument) const {
    const auto result = reinterpret_cast<UINT_PTR>(
        ShellExecuteW(owner, L"open", L"hh.exe", Widen(argument).c_str(), L"", SW_SHOWNORMAL));
    if (result <= 32) MessageBoxApp(m_texts.Text(txt::kHelpFailed), MB_OK);
}

}  // namespace velmora
