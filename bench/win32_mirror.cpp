// win32_mirror SOURCE TARGET [--wait]: the least a Windows program can do to mirror a tree.
//
// Makes TARGET\<last name of SOURCE> a mirror of SOURCE: real folders, every file hard-linked,
// with FindFirstFileExW / FindNextFileW, CreateDirectoryW and CreateHardLinkW and nothing else
// on the way (no conversions, no identities, no progress, no prompt). The walk is the link
// engine's: a folder's entries are read in one go, then its mirror folder is made, then the
// entries are worked through in the order the file system gave them, a subfolder as soon as
// it is met. Paths are built in UTF-16 in place and handed over as they are (short names, no
// \\?\ prefix, as the program does below 248 characters). Run beside velmora.exe under the
// same Wine, it is the floor that no Windows program doing this walk can go below there.
//
// With --wait the program first writes "ready" and waits for a line on its standard input,
// so that a benchmark can time from that line to the process's exit, as it times velmora.exe
// from OK to its exit: start-up is left out of both alike.
//
// Writes "links N folders M failures F" at the end; exit 0 when nothing failed, 1 when
// something did (the first failure is named on the error output), 2 on bad arguments. With
// --profile the time spent in each of the three calls goes to the error output, as
// win32_engine.exe --profile gives it for the program's back end.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace {

double Now() {
    LARGE_INTEGER frequency{}, counter{};
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Seconds spent in the calls (with --profile only; otherwise never read).
struct Profile {
    bool on = false;
    double find = 0, folder = 0, link = 0;
    std::uint64_t finds = 0, folders = 0, links = 0;
};

struct Walk {
    std::wstring source;  // grows and shrinks with the walk
    std::wstring link;
    std::uint64_t links = 0;
    std::uint64_t folders = 0;
    std::uint64_t failures = 0;
    std::wstring firstFailure;
    Profile profile;
};

void Write(DWORD which, const std::string& text) {
    DWORD written = 0;
    ::WriteFile(::GetStdHandle(which), text.data(), static_cast<DWORD>(text.size()), &written,
                nullptr);
}

void Failed(Walk& walk, const wchar_t* what, const std::wstring& name) {
    const DWORD code = ::GetLastError();
    if (walk.failures++ == 0) {
        walk.firstFailure = std::wstring(what) + L" " + name + L": error " + std::to_wstring(code);
    }
}

struct Entry {
    std::wstring name;
    bool folder;
};

void MirrorFolder(Walk& walk) {
    std::vector<Entry> entries;
    const double findStart = walk.profile.on ? Now() : 0;
    {
        const std::size_t length = walk.source.size();
        walk.source += L"\\*";
        WIN32_FIND_DATAW found{};
        const HANDLE search =
            ::FindFirstFileExW(walk.source.c_str(), FindExInfoBasic, &found, FindExSearchNameMatch,
                               nullptr, FIND_FIRST_EX_LARGE_FETCH);
        walk.source.resize(length);
        if (search == INVALID_HANDLE_VALUE) {
            Failed(walk, L"FindFirstFileExW", walk.source);
            return;
        }
        do {
            const std::wstring_view name = found.cFileName;
            if (name == L"." || name == L"..") continue;
            entries.push_back(
                {std::wstring(name), (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
        } while (::FindNextFileW(search, &found));
        if (::GetLastError() != ERROR_NO_MORE_FILES) Failed(walk, L"FindNextFileW", walk.source);
        ::FindClose(search);
    }
    const double folderStart = walk.profile.on ? Now() : 0;
    const BOOL made = ::CreateDirectoryW(walk.link.c_str(), nullptr);
    if (walk.profile.on) {
        const double end = Now();
        walk.profile.find += folderStart - findStart;
        walk.profile.folder += end - folderStart;
        ++walk.profile.finds;
        ++walk.profile.folders;
    }
    if (!made) {
        Failed(walk, L"CreateDirectoryW", walk.link);
        return;
    }
    ++walk.folders;
    const std::size_t sourceLength = walk.source.size();
    const std::size_t linkLength = walk.link.size();
    for (const Entry& entry : entries) {
        walk.source += L'\\';
        walk.source += entry.name;
        walk.link += L'\\';
        walk.link += entry.name;
        if (entry.folder) {
            MirrorFolder(walk);
        } else {
            const double start = walk.profile.on ? Now() : 0;
            const BOOL linked = ::CreateHardLinkW(walk.link.c_str(), walk.source.c_str(), nullptr);
            if (walk.profile.on) {
                walk.profile.link += Now() - start;
                ++walk.profile.links;
            }
            if (linked) {
                ++walk.links;
            } else {
                Failed(walk, L"CreateHardLinkW", walk.link);
            }
        }
        walk.source.resize(sourceLength);
        walk.link.resize(linkLength);
    }
}

std::string Narrow(const std::wstring& text) {
    std::string out;
    for (const wchar_t c : text) out += c < 0x80 ? static_cast<char>(c) : '?';
    return out;
}

bool WaitForGo() {
    Write(STD_OUTPUT_HANDLE, "ready\n");
    const HANDLE input = ::GetStdHandle(STD_INPUT_HANDLE);
    char c = 0;
    DWORD got = 0;
    while (::ReadFile(input, &c, 1, &got, nullptr) && got == 1) {
        if (c == '\n') return true;
    }
    return false;
}

std::string Report(const Profile& p, double total) {
    std::string out = "call              calls    seconds  share  us/call\n";
    char line[128];
    const auto row = [&](const char* name, std::uint64_t calls, double seconds) {
        if (calls == 0) return;
        std::snprintf(line, sizeof line, "%-15s %7llu %10.3f %5.1f%% %8.1f\n", name,
                      static_cast<unsigned long long>(calls), seconds, 100 * seconds / total,
                      1e6 * seconds / static_cast<double>(calls));
        out += line;
    };
    row("CreateHardLinkW", p.links, p.link);
    row("CreateDirectoryW", p.folders, p.folder);
    row("FindFirst/Next", p.finds, p.find);
    const double rest = total - p.link - p.folder - p.find;
    std::snprintf(line, sizeof line, "%-15s %7s %10.3f %5.1f%%\n", "the rest", "", rest,
                  100 * rest / total);
    return out + line;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    bool wait = false, profile = false;
    std::vector<std::wstring> names;
    for (int i = 1; i < argc; ++i) {
        const std::wstring_view a = argv[i];
        if (a == L"--wait")
            wait = true;
        else if (a == L"--profile")
            profile = true;
        else
            names.emplace_back(a);
    }
    if (names.size() != 2) {
        Write(STD_ERROR_HANDLE,
              "usage: win32_mirror SOURCE-FOLDER TARGET-FOLDER [--wait] [--profile]\n");
        return 2;
    }
    Walk walk;
    walk.profile.on = profile;
    walk.source = names[0];
    walk.link = names[1];
    while (walk.source.size() > 1 && walk.source.back() == L'\\') walk.source.pop_back();
    while (walk.link.size() > 1 && walk.link.back() == L'\\') walk.link.pop_back();
    const std::size_t cut = walk.source.rfind(L'\\');
    walk.link += L'\\';
    walk.link += walk.source.substr(cut == std::wstring::npos ? 0 : cut + 1);
    if (wait && !WaitForGo()) {
        Write(STD_ERROR_HANDLE, "win32_mirror: no go line on the standard input\n");
        return 2;
    }
    const double start = Now();
    MirrorFolder(walk);
    const double total = Now() - start;
    Write(STD_OUTPUT_HANDLE, "links " + std::to_string(walk.links) + " folders " +
                                 std::to_string(walk.folders) + " failures " +
                                 std::to_string(walk.failures) + "\n");
    if (profile) Write(STD_ERROR_HANDLE, Report(walk.profile, total));
    if (walk.failures != 0) {
        Write(STD_ERROR_HANDLE, "win32_mirror: first failure: " + Narrow(walk.firstFailure) + "\n");
        return 1;
    }
    return 0;
}
