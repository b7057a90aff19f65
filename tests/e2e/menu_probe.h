// Shared between the driver and the probe DLL that reads a system menu inside the target process.
#pragma once

// Registered message that asks the hook to describe the receiving window's system menu.
inline constexpr wchar_t kMenuProbeMessage[] = L"VelmoraDriverMenuProbe";
// Shared memory the answer is written to: "ok\n" then one line per item, "id<TAB>flags<TAB>text".
inline constexpr wchar_t kMenuProbeMapping[] = L"Local\\VelmoraDriverMenuProbe";
inline constexpr unsigned kMenuProbeSize = 65536;
