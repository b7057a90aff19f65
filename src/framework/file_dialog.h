// The system's file-open dialog.
#pragma once

#include <windows.h>
// After windows.h, whose types it uses.
#include <commdlg.h>

#include <optional>
#include <string>

namespace velmora {

struct OpenFileRequest {
    HWND owner = nullptr;
    // Pairs of description and pattern separated by '|', as in "Texts (*.txt)|*.txt|All|*.*||".
    std::string filter;
    // The name the dialog starts with; a folder followed by a pattern opens that folder.
    std::string initialName;
    // Appended when the user types a name without extension (without the dot).
    std::string defaultExtension;
    DWORD flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
};

// The chosen file's full path (UTF-8), or nullopt when the user cancelled or the dialog failed.
std::optional<std::string> ShowOpenFileDialog(const OpenFileRequest& request);

// The filter in the system's form: every '|' becomes a NUL, and the list ends with two NULs.
std::wstring SystemFilter(const std::string& filter);

}  // namespace velmora
