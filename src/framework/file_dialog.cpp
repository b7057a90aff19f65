#include "framework/file_dialog.h"

#include <commdlg.h>

#include "platform/win32/windows_support.h"

namespace velmora {

std::wstring SystemFilter(const std::string& filter) {
    std::wstring result = Widen(filter);
    for (wchar_t& c : result) {
        if (c == L'|') c = L'\0';
    }
    // The list ends with an empty description; two NULs whatever the text ended with.
    result.push_back(L'\0');
    result.push_back(L'\0');
    return result;
}

std::optional<std::string> ShowOpenFileDialog(const OpenFileRequest& request) {
    std::wstring filter = SystemFilter(request.filter);
    std::wstring extension = Widen(request.defaultExtension);
    // Room for long paths: the dialog reports FNERR_BUFFERTOOSMALL rather than truncating.
    std::wstring file(32768, L'\0');
    std::wstring initial = Widen(request.initialName);
    if (initial.size() < file.size()) initial.copy(file.data(), initial.size());

    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = request.owner;
    ofn.lpstrFilter = request.filter.empty() ? nullptr : filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = static_cast<DWORD>(file.size());
    ofn.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();
    ofn.Flags = request.flags | OFN_EXPLORER | OFN_ENABLESIZING;
    if (!GetOpenFileNameW(&ofn)) return std::nullopt;
    return Narrow(file.c_str());
}

}  // namespace velmora
