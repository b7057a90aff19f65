// Shared between the driver and the probe DLL that reads a system menu inside the target process.
#pragma once

#include <string>
#include <string_view>

// Registered message that asks the hook to describe the receiving window's system menu.
inline constexpr wchar_t kMenuProbeMessage[] = L"VelmoraDriverMenuProbe";
// Shared memory the answer is written to: "ok\n" then one line per item, "id<TAB>flags<TAB>text".
inline constexpr wchar_t kMenuProbeMapping[] = L"Local\\VelmoraDriverMenuProbe";
inline constexpr unsigned kMenuProbeSize = 65536;

// A field of the driver's tab-separated output: backslash, tab and line breaks escaped.
inline std::string EscapeField(std::string_view s) {
    std::string out;
    for (char c : s) {
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '\t': out += "\\t"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        default: out += c;
        }
    }
    return out;
}
