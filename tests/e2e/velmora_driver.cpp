// Drives a running Windows program from outside, for the end-to-end tests: finds its windows,
// reads and sets control texts, posts clicks, keys and system commands, lists owned prompts and
// the system menu. Every result is printed as UTF-8. Lists print one item per line with
// tab-separated fields; text inside them is escaped (\\ \t \n \r). `text` prints the raw text.
//
// Exit codes: 0 done, 1 not found / timed out / refused, 2 wrong usage.
//
// Clicks are posted (BM_CLICK), never sent: a click that opens a modal dialog would otherwise
// block the driver until that dialog closes.

#include <windows.h>

#include <commctrl.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

#include "menu_probe.h"

namespace {

constexpr UINT kSendTimeoutMs = 5000;
constexpr DWORD kPollMs = 50;

std::string ToUtf8(const std::wstring& w) {
    if (w.empty()) return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0,
                                      nullptr, nullptr);
    std::string s(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), s.data(), n, nullptr,
                        nullptr);
    return s;
}

bool g_atLineStart = true;

void Out(const std::string& s) {
    if (s.empty()) return;
    g_atLineStart = s.back() == '\n';
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), s.data(), static_cast<DWORD>(s.size()), &written,
              nullptr);
}

void Err(const std::string& s) {
    DWORD written = 0;
    const std::string line = "velmora_driver: " + s + "\n";
    WriteFile(GetStdHandle(STD_ERROR_HANDLE), line.data(), static_cast<DWORD>(line.size()),
              &written, nullptr);
}

std::string Escape(const std::wstring& w) { return EscapeField(ToUtf8(w)); }

std::string HandleText(HWND h) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "0x%08llx",
                  static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(h)));
    return buf;
}

bool ParseNumber(const wchar_t* s, long long& value) {
    if (!s || !*s) return false;
    wchar_t* end = nullptr;
    value = std::wcstoll(s, &end, 0);
    return end && *end == L'\0';
}

bool ParseHandle(const wchar_t* s, HWND& h) {
    if (!s || !*s) return false;
    wchar_t* end = nullptr;
    const unsigned long long v = std::wcstoull(s, &end, 0);
    if (!end || *end != L'\0' || v == 0) return false;
    h = reinterpret_cast<HWND>(static_cast<uintptr_t>(v));
    return true;
}

std::wstring ClassOf(HWND h) {
    wchar_t buf[256] = {};
    GetClassNameW(h, buf, 256);
    return buf;
}

// WM_GETTEXT through SendMessageTimeout: a hung target makes the driver fail, not hang.
bool GetText(HWND h, std::wstring& text) {
    DWORD_PTR len = 0;
    if (!SendMessageTimeoutW(h, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &len))
        return false;
    std::vector<wchar_t> buf(len + 64, L'\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(h, WM_GETTEXT, buf.size(), reinterpret_cast<LPARAM>(buf.data()),
                             SMTO_ABORTIFHUNG, kSendTimeoutMs, &copied))
        return false;
    text.assign(buf.data(), copied);
    return true;
}

std::vector<HWND> TopLevelWindows() {
    std::vector<HWND> all;
    EnumWindows(
        [](HWND h, LPARAM p) -> BOOL {
            reinterpret_cast<std::vector<HWND>*>(p)->push_back(h);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&all));
    return all;
}

std::vector<HWND> Children(HWND parent) {
    std::vector<HWND> all;
    for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) all.push_back(c);
    return all;
}

// Visible dialogs (prompts, message boxes, nested dialogs) whose owner is `owner`.
std::vector<HWND> OwnedDialogs(HWND owner) {
    std::vector<HWND> found;
    for (HWND h : TopLevelWindows())
        if (IsWindowVisible(h) && ClassOf(h) == L"#32770" && GetWindow(h, GW_OWNER) == owner)
            found.push_back(h);
    return found;
}

HWND FindTopLevel(const std::wstring& titleOrClass) {
    for (HWND h : TopLevelWindows()) {
        if (!IsWindowVisible(h)) continue;
        std::wstring title;
        if (ClassOf(h) == titleOrClass || (GetText(h, title) && title == titleOrClass)) return h;
    }
    return nullptr;
}

void PrintControls(HWND dlg) {
    for (HWND c : Children(dlg)) {
        std::wstring text;
        GetText(c, text);
        Out("control\t" + std::to_string(GetDlgCtrlID(c)) + "\t" + Escape(ClassOf(c)) + "\t" +
            (IsWindowVisible(c) ? "visible" : "hidden") + "\t" +
            (IsWindowEnabled(c) ? "enabled" : "disabled") + "\t" + Escape(text) + "\n");
    }
}

// Key names the tests use, or a virtual-key number.
bool ParseKey(const wchar_t* s, long long& vk) {
    struct Named {
        const wchar_t* name;
        int vk;
    };
    static const Named names[] = {{L"Enter", VK_RETURN}, {L"Escape", VK_ESCAPE}, {L"F1", VK_F1},
                                  {L"Tab", VK_TAB},      {L"Space", VK_SPACE},   {L"Up", VK_UP},
                                  {L"Down", VK_DOWN}};
    for (const Named& n : names)
        if (_wcsicmp(s, n.name) == 0) {
            vk = n.vk;
            return true;
        }
    return ParseNumber(s, vk);
}

// The window that receives keys typed into `top`: its thread's focus window when that lies
// inside `top`, else `top` itself.
HWND KeyTarget(HWND top) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    const DWORD tid = GetWindowThreadProcessId(top, nullptr);
    if (GetGUIThreadInfo(tid, &info) && info.hwndFocus &&
        (info.hwndFocus == top || IsChild(top, info.hwndFocus)))
        return info.hwndFocus;
    return top;
}

int Usage() {
    Err("usage: velmora_driver <command> ...\n"
        "  windows                         visible top-level windows: handle, class, title, pid\n"
        "  wait <title-or-class> <ms>      wait for a visible top-level window; prints its handle\n"
        "  waitowned <hwnd> <ms>           wait for a visible dialog owned by hwnd; prints it\n"
        "  waitgone <hwnd> <ms>            wait until the window is gone or hidden\n"
        "  owned <hwnd>                    owned dialogs with their controls\n"
        "  controls <hwnd>                 child controls: id, class, visible, enabled, text\n"
        "  text <hwnd> [id]                window or control text (raw UTF-8)\n"
        "  set <hwnd> <id> <text>          WM_SETTEXT to a control\n"
        "  click <hwnd> <id>               post BM_CLICK to a button\n"
        "  key <hwnd> <Enter|Escape|F1|Tab|vk>  post key down and up to the focus window\n"
        "  press <hwnd> <key>              real key press (SendInput) into the window made\n"
        "                                  foreground; the system's key handling (F1) runs\n"
        "  syscommand <hwnd> <id>          post WM_SYSCOMMAND\n"
        "  sysmenu <hwnd>                  system menu items: id, flags, text\n"
        "  checked <hwnd> <id>             1 when a check box is ticked, else 0\n"
        "  range <hwnd> <id>               an up-down control's range: min max\n"
        "  bar <hwnd> <id>                 a progress bar: position min max\n"
        "  enabled <hwnd> [id]             1 or 0\n"
        "  visible <hwnd> [id]             1 or 0\n"
        "  focus <hwnd>                    id of the control that has the focus\n"
        "  rect <hwnd> [id]                left top right bottom (screen)\n"
        "  acp                             the ANSI code page\n"
        "  workarea                        the primary work area: left top right bottom\n"
        "  errtext <code>                  code<TAB>the system's text for a Windows error code\n"
        "  regkey <key>                    exit 0 when the key exists (HKCU\\..., HKLM\\..., "
        "HKCR\\...)\n"
        "  regget <key> <value>            TYPE<TAB>data (REG_DWORD as signed decimal); 1 when "
        "absent\n"
        "  regset <key> <value> <sz|dword> <data>\n"
        "  regdel <key> <value>            delete a value\n"
        "  regdelkey <key>                 delete a key with everything below it\n"
        "  serve                           read commands from stdin, one per line, arguments\n"
        "                                  separated by tabs; after each, a line '"
        "@@end <exit code>'");
    return 2;
}

// ---- registry ----------------------------------------------------------------------------------
// The tests read and prepare the settings through the same registry API the program uses.

bool OpenRoot(const std::wstring& path, HKEY& root, std::wstring& sub) {
    const size_t slash = path.find(L'\\');
    const std::wstring head = path.substr(0, slash);
    sub = slash == std::wstring::npos ? L"" : path.substr(slash + 1);
    if (head == L"HKCU" || head == L"HKEY_CURRENT_USER")
        root = HKEY_CURRENT_USER;
    else if (head == L"HKLM" || head == L"HKEY_LOCAL_MACHINE")
        root = HKEY_LOCAL_MACHINE;
    else if (head == L"HKCR" || head == L"HKEY_CLASSES_ROOT")
        root = HKEY_CLASSES_ROOT;
    else
        return false;
    return true;
}

int RegCommand(const std::wstring& cmd, const wchar_t* keyArg, const wchar_t* name,
               const wchar_t* type, const wchar_t* data) {
    HKEY root = nullptr;
    std::wstring sub;
    if (!keyArg || !OpenRoot(keyArg, root, sub)) return Usage();
    if (cmd == L"regkey") {
        HKEY key = nullptr;
        if (RegOpenKeyExW(root, sub.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return 1;
        RegCloseKey(key);
        return 0;
    }
    if (cmd == L"regdelkey") {
        const LSTATUS rc = RegDeleteTreeW(root, sub.c_str());
        if (rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND) RegDeleteKeyW(root, sub.c_str());
        return 0;
    }
    if (!name) return Usage();
    if (cmd == L"regget") {
        DWORD kind = 0, size = 0;
        if (RegGetValueW(root, sub.c_str(), name, RRF_RT_ANY | RRF_NOEXPAND, &kind, nullptr,
                         &size) != ERROR_SUCCESS)
            return 1;
        std::vector<BYTE> buf(size + sizeof(wchar_t), 0);
        if (RegGetValueW(root, sub.c_str(), name, RRF_RT_ANY | RRF_NOEXPAND, &kind, buf.data(),
                         &size) != ERROR_SUCCESS)
            return 1;
        if (kind == REG_DWORD) {
            DWORD v = 0;
            std::memcpy(&v, buf.data(), sizeof v);
            Out("REG_DWORD\t" + std::to_string(static_cast<int32_t>(v)) + "\n");
        } else if (kind == REG_SZ || kind == REG_EXPAND_SZ) {
            std::wstring text(reinterpret_cast<const wchar_t*>(buf.data()));
            Out(std::string(kind == REG_SZ ? "REG_SZ\t" : "REG_EXPAND_SZ\t") + Escape(text) + "\n");
        } else {
            Out("REG_OTHER\t" + std::to_string(kind) + "\n");
        }
        return 0;
    }
    if (cmd == L"regdel") {
        const LSTATUS rc = RegDeleteKeyValueW(root, sub.c_str(), name);
        return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND ? 0 : 1;
    }
    if (cmd == L"regset") {
        if (!type || !data) return Usage();
        HKEY key = nullptr;
        if (RegCreateKeyExW(root, sub.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) !=
            ERROR_SUCCESS)
            return 1;
        LSTATUS rc = ERROR_INVALID_PARAMETER;
        long long n = 0;
        if (std::wstring(type) == L"dword" && ParseNumber(data, n)) {
            const auto v = static_cast<DWORD>(n);
            rc = RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&v),
                                sizeof v);
        } else if (std::wstring(type) == L"sz") {
            const auto bytes = static_cast<DWORD>((std::wcslen(data) + 1) * sizeof(wchar_t));
            rc = RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(data), bytes);
        }
        RegCloseKey(key);
        return rc == ERROR_SUCCESS ? 0 : 1;
    }
    return Usage();
}

// Asks `done` every kPollMs until it holds or `ms` have passed; the last answer decides.
template <typename Done>
bool PollFor(long long ms, Done done) {
    const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(ms);
    while (!done()) {
        if (GetTickCount64() >= end) return false;
        Sleep(kPollMs);
    }
    return true;
}

int Wait(const std::wstring& what, long long ms) {
    HWND found = nullptr;
    if (PollFor(ms, [&] { return (found = FindTopLevel(what)) != nullptr; })) {
        Out(HandleText(found) + "\n");
        return 0;
    }
    Err("no visible window '" + ToUtf8(what) + "'");
    return 1;
}

// Stops waiting early when the owner is gone.
int WaitOwned(HWND owner, long long ms) {
    std::vector<HWND> owned;
    PollFor(ms, [&] { return !(owned = OwnedDialogs(owner)).empty() || !IsWindow(owner); });
    if (!owned.empty()) {
        Out(HandleText(owned.front()) + "\n");
        return 0;
    }
    Err("no dialog owned by " + HandleText(owner));
    return 1;
}

int WaitGone(HWND h, long long ms) {
    if (PollFor(ms, [&] { return !IsWindow(h) || !IsWindowVisible(h); })) return 0;
    Err("window " + HandleText(h) + " is still there");
    return 1;
}

int Windows() {
    for (HWND h : TopLevelWindows()) {
        if (!IsWindowVisible(h)) continue;
        std::wstring title;
        GetText(h, title);
        DWORD pid = 0;
        GetWindowThreadProcessId(h, &pid);
        Out(HandleText(h) + "\t" + Escape(ClassOf(h)) + "\t" + Escape(title) + "\t" +
            std::to_string(pid) + "\t" + HandleText(GetWindow(h, GW_OWNER)) + "\n");
    }
    return 0;
}

int Owned(HWND owner) {
    for (HWND h : OwnedDialogs(owner)) {
        std::wstring title;
        GetText(h, title);
        Out("window\t" + HandleText(h) + "\t" + Escape(title) + "\n");
        PrintControls(h);
    }
    return 0;
}

// The system menu belongs to the target process; its items can only be read from inside it.
// A WH_CALLWNDPROC hook in the probe DLL answers a registered message there and writes the
// items into a shared mapping that the driver reads.
int SysMenu(HWND h) {
    wchar_t self[MAX_PATH];
    const DWORD n = GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring dll(self, n);
    dll = dll.substr(0, dll.find_last_of(L"\\/") + 1) + L"velmora_menu_probe.dll";
    HMODULE probe = LoadLibraryW(dll.c_str());
    if (!probe) {
        Err("cannot load " + ToUtf8(dll));
        return 1;
    }
    auto hookProc = reinterpret_cast<HOOKPROC>(
        reinterpret_cast<void*>(GetProcAddress(probe, "VelmoraMenuProbeHook")));
    HANDLE mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                        kMenuProbeSize, kMenuProbeMapping);
    if (!hookProc || !mapping) {
        Err("menu probe not usable");
        return 1;
    }
    auto* view = static_cast<char*>(MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, 0));
    view[0] = '\0';
    const DWORD tid = GetWindowThreadProcessId(h, nullptr);
    HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, hookProc, probe, tid);
    if (!hook) {
        Err("cannot hook the target thread");
        return 1;
    }
    const UINT msg = RegisterWindowMessageW(kMenuProbeMessage);
    DWORD_PTR result = 0;
    const bool answered =
        SendMessageTimeoutW(h, msg, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &result) != 0;
    UnhookWindowsHookEx(hook);
    if (!answered || std::strncmp(view, "ok\n", 3) != 0) {
        Err(answered ? std::string("the window has no system menu") : "the target did not answer");
        return 1;
    }
    Out(view + 3);
    UnmapViewOfFile(view);
    CloseHandle(mapping);
    return 0;
}

// Posts a key's down and up to the window that has the focus inside `top`.
int PostKey(HWND top, long long vk) {
    HWND target = KeyTarget(top);
    const UINT scan = MapVirtualKeyW(static_cast<UINT>(vk), MAPVK_VK_TO_VSC);
    const LPARAM down = 1 | static_cast<LPARAM>(scan) << 16;
    const LPARAM up = down | (LPARAM{1} << 30) | (LPARAM{1} << 31);
    PostMessageW(target, WM_KEYDOWN, static_cast<WPARAM>(vk), down);
    PostMessageW(target, WM_KEYUP, static_cast<WPARAM>(vk), up);
    return 0;
}

// Real keyboard input to the window made foreground: the system's own key handling runs (F1
// becomes WM_HELP only for keys that come from the keyboard, never for posted ones).
int PressKey(HWND h, long long vk) {
    SetForegroundWindow(h);
    const ULONGLONG end = GetTickCount64() + kSendTimeoutMs;
    while (GetForegroundWindow() != h && GetTickCount64() < end) Sleep(kPollMs);
    if (GetForegroundWindow() != h) {
        Err("cannot bring " + HandleText(h) + " to the foreground");
        return 1;
    }
    INPUT input[2] = {};
    for (INPUT& i : input) {
        i.type = INPUT_KEYBOARD;
        i.ki.wVk = static_cast<WORD>(vk);
        i.ki.wScan = static_cast<WORD>(MapVirtualKeyW(static_cast<UINT>(vk), MAPVK_VK_TO_VSC));
    }
    input[1].ki.dwFlags = KEYEVENTF_KEYUP;
    return SendInput(2, input, sizeof(INPUT)) == 2 ? 0 : 1;
}

// UDM_GETRANGE answers in its result (max in the low word, min in the high word), so it works
// across processes where UDM_GETRANGE32's pointers would not.
int PrintRange(HWND upDown) {
    DWORD_PTR range = 0;
    if (!SendMessageTimeoutW(upDown, UDM_GETRANGE, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &range))
        return 1;
    Out(std::to_string(static_cast<short>(HIWORD(range))) + " " +
        std::to_string(static_cast<short>(LOWORD(range))) + "\n");
    return 0;
}

// PBM_GETRANGE answers with the low limit for TRUE and the high one for FALSE in its result
// (its structure argument, a pointer, would not cross to another process).
int PrintBar(HWND bar) {
    DWORD_PTR position = 0, low = 0, high = 0;
    if (!SendMessageTimeoutW(bar, PBM_GETPOS, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &position) ||
        !SendMessageTimeoutW(bar, PBM_GETRANGE, TRUE, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &low) ||
        !SendMessageTimeoutW(bar, PBM_GETRANGE, FALSE, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &high))
        return 1;
    Out(std::to_string(static_cast<int>(position)) + " " + std::to_string(static_cast<int>(low)) +
        " " + std::to_string(static_cast<int>(high)) + "\n");
    return 0;
}

int PrintChecked(HWND button) {
    DWORD_PTR state = 0;
    if (!SendMessageTimeoutW(button, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &state))
        return 1;
    Out(state == BST_CHECKED ? "1\n" : "0\n");
    return 0;
}

int PrintText(HWND h) {
    std::wstring text;
    if (!GetText(h, text)) {
        Err("the window did not answer WM_GETTEXT");
        return 1;
    }
    Out(ToUtf8(text) + "\n");
    return 0;
}

int PrintRect(HWND h) {
    RECT r{};
    if (!GetWindowRect(h, &r)) return 1;
    Out(std::to_string(r.left) + " " + std::to_string(r.top) + " " + std::to_string(r.right) + " " +
        std::to_string(r.bottom) + "\n");
    return 0;
}

constexpr int kNotThisKind = -1;

// Commands that need no window: the window list, the registry, the code page, waiting for a
// window to appear.
// The system's text for an error code, asked as the program asks for its prompts (the user's
// default language, line break included): the tests compare prompts with it without knowing
// the system's wording.
int ErrorText(const wchar_t* arg) {
    long long code = 0;
    if (!ParseNumber(arg, code)) return Usage();
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_FROM_SYSTEM,
        nullptr, static_cast<DWORD>(code), MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
        reinterpret_cast<LPWSTR>(&buffer), 0, nullptr);
    Out(std::to_string(code) + "\t" + (buffer ? Escape(std::wstring(buffer, length)) : "") + "\n");
    if (buffer) LocalFree(buffer);
    return 0;
}

int MachineCommand(const std::wstring& cmd, const wchar_t* const* args) {
    long long n = 0;
    if (cmd == L"windows") return Windows();
    if (cmd.rfind(L"reg", 0) == 0) return RegCommand(cmd, args[0], args[1], args[2], args[3]);
    if (cmd == L"acp") {
        Out(std::to_string(GetACP()) + "\n");
        return 0;
    }
    if (cmd == L"errtext") return ErrorText(args[0]);
    if (cmd == L"workarea") {
        RECT work{};
        if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0)) return 1;
        Out(std::to_string(work.left) + " " + std::to_string(work.top) + " " +
            std::to_string(work.right) + " " + std::to_string(work.bottom) + "\n");
        return 0;
    }
    if (cmd == L"wait") return args[0] && ParseNumber(args[1], n) ? Wait(args[0], n) : Usage();
    return kNotThisKind;
}

// Commands that address a window as a whole: what it owns, its controls, keys, system commands.
int WindowCommand(const std::wstring& cmd, HWND h, const wchar_t* arg) {
    long long n = 0;
    if (cmd == L"waitowned") return ParseNumber(arg, n) ? WaitOwned(h, n) : Usage();
    if (cmd == L"owned") return Owned(h);
    if (cmd == L"controls") return PrintControls(h), 0;
    if (cmd == L"sysmenu") return SysMenu(h);
    if (cmd == L"focus") {
        HWND f = KeyTarget(h);
        Out(std::to_string(f == h ? 0 : GetDlgCtrlID(f)) + "\n");
        return 0;
    }
    if (cmd == L"key") return ParseKey(arg ? arg : L"", n) ? PostKey(h, n) : Usage();
    if (cmd == L"press") return ParseKey(arg ? arg : L"", n) ? PressKey(h, n) : Usage();
    if (cmd == L"syscommand") {
        if (!ParseNumber(arg, n)) return Usage();
        return PostMessageW(h, WM_SYSCOMMAND, static_cast<WPARAM>(n), 0) ? 0 : 1;
    }
    return kNotThisKind;
}

// Commands that address the window or, given an id, one of its controls.
int ControlCommand(const std::wstring& cmd, HWND h, const wchar_t* id, const wchar_t* text) {
    long long n = 0;
    HWND target = h;
    if (id) {
        if (!ParseNumber(id, n)) return Usage();
        target = GetDlgItem(h, static_cast<int>(n));
        if (!target) {
            Err("no control " + std::to_string(n) + " in " + HandleText(h));
            return 1;
        }
    }
    if (cmd == L"text") return PrintText(target);
    if (cmd == L"rect") return PrintRect(target);
    if (cmd == L"enabled") return Out(IsWindowEnabled(target) ? "1\n" : "0\n"), 0;
    if (cmd == L"visible") return Out(IsWindowVisible(target) ? "1\n" : "0\n"), 0;
    if (!id) return Usage();
    if (cmd == L"set") {
        if (!text) return Usage();
        DWORD_PTR r = 0;
        return SendMessageTimeoutW(target, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text),
                                   SMTO_ABORTIFHUNG, kSendTimeoutMs, &r) &&
                       r
                   ? 0
                   : 1;
    }
    if (cmd == L"click") return PostMessageW(target, BM_CLICK, 0, 0) ? 0 : 1;
    if (cmd == L"range") return PrintRange(target);
    if (cmd == L"bar") return PrintBar(target);
    if (cmd == L"checked") return PrintChecked(target);
    return Usage();
}

// One command: those that need no window first, then the window's own, then its controls'.
int Run(int argc, wchar_t** argv) {
    if (argc < 2) return Usage();
    const std::wstring cmd = argv[1];
    const wchar_t* args[4] = {};
    for (int i = 2; i < argc && i < 6; ++i) args[i - 2] = argv[i];

    if (const int rc = MachineCommand(cmd, args); rc != kNotThisKind) return rc;
    HWND h = nullptr;
    long long n = 0;
    if (!ParseHandle(args[0], h)) return Usage();
    if (cmd == L"waitgone") return ParseNumber(args[1], n) ? WaitGone(h, n) : Usage();
    if (!IsWindow(h)) {
        Err("no window " + HandleText(h));
        return 1;
    }
    if (const int rc = WindowCommand(cmd, h, args[1]); rc != kNotThisKind) return rc;
    return ControlCommand(cmd, h, args[1], args[2]);
}

std::wstring FromUtf8(const std::string& s) {
    if (s.empty()) return {};
    const int n = MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
    std::wstring w(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), w.data(), n);
    return w;
}

// Serve mode: one Wine process answers every command of a test, which saves starting Wine for
// each query. A command is a line of tab-separated arguments; its output is followed by the line
// "@@end <exit code>".
int Serve(const wchar_t* self) {
    HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
    std::string pending;
    char buf[4096];
    for (;;) {
        size_t eol;
        while ((eol = pending.find('\n')) == std::string::npos) {
            DWORD got = 0;
            if (!ReadFile(in, buf, sizeof buf, &got, nullptr) || got == 0) return 0;
            pending.append(buf, got);
        }
        std::string line = pending.substr(0, eol);
        pending.erase(0, eol + 1);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::vector<std::wstring> args{self};
        size_t start = 0;
        for (;;) {
            const size_t tab = line.find('\t', start);
            args.push_back(FromUtf8(line.substr(start, tab - start)));
            if (tab == std::string::npos) break;
            start = tab + 1;
        }
        std::vector<wchar_t*> argv;
        for (std::wstring& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        g_atLineStart = true;
        const int rc = args.size() > 1 && args[1] != L"serve"
                           ? Run(static_cast<int>(args.size()), argv.data())
                           : Usage();
        Out(std::string(g_atLineStart ? "" : "\n") + "@@end " + std::to_string(rc) + "\n");
    }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc == 2 && std::wstring(argv[1]) == L"serve") return Serve(argv[0]);
    return Run(argc, argv);
}
