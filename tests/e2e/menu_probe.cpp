// Loaded into the driven program by the driver's WH_CALLWNDPROC hook. Menus live in the memory of
// the process that owns them, so the system menu's items are read here, in the window's own
// thread, and handed back through a named mapping.

#include <windows.h>

#include <cstring>
#include <string>

#include "menu_probe.h"

namespace {

std::string ToUtf8(const wchar_t* w) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, w, -1, nullptr, 0, nullptr, nullptr);
    if (n <= 1) return {};
    std::string s(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, w, -1, s.data(), n, nullptr, nullptr);
    s.pop_back();
    return s;
}

std::string DescribeSystemMenu(HWND h) {
    HMENU menu = GetSystemMenu(h, FALSE);
    if (!menu) return "none\n";
    std::string out = "ok\n";
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        wchar_t text[512] = {};
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_ID | MIIM_FTYPE | MIIM_STATE | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = 511;
        if (!GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info)) continue;
        std::string flags = (info.fType & MFT_SEPARATOR) ? "separator" : "string";
        if (info.fState & MFS_DISABLED) flags += ",disabled";
        out += std::to_string(info.wID) + "\t" + flags + "\t" + EscapeField(ToUtf8(text)) + "\n";
    }
    return out;
}

} // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK VelmoraMenuProbeHook(int code, WPARAM wp,
                                                                       LPARAM lp) {
    static const UINT probeMessage = RegisterWindowMessageW(kMenuProbeMessage);
    if (code == HC_ACTION) {
        const auto* cwp = reinterpret_cast<const CWPSTRUCT*>(lp);
        if (cwp->message == probeMessage) {
            if (HANDLE mapping = OpenFileMappingW(FILE_MAP_WRITE, FALSE, kMenuProbeMapping)) {
                if (auto* view = static_cast<char*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, 0))) {
                    std::string text = DescribeSystemMenu(cwp->hwnd);
                    if (text.size() >= kMenuProbeSize) text.resize(kMenuProbeSize - 1);
                    std::memcpy(view, text.c_str(), text.size() + 1);
                    UnmapViewOfFile(view);
                }
                CloseHandle(mapping);
            }
        }
    }
    return CallNextHookEx(nullptr, code, wp, lp);
}
