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
// something did (the first failure is named on the error output), 2 on bad arguments.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

struct Walk {
    std::wstring source;  // grows and shrinks with the walk
    std::wstring link;
    std::uint64_t links = 0;
    std::uint64_t folders = 0;
    std::uint64_t failures = 0;
    std::wstring firstFailure;
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
    if (!::CreateDirectoryW(walk.link.c_str(), nullptr)) {
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
        } else if (::CreateHardLinkW(walk.link.c_str(), walk.source.c_str(), nullptr)) {
            ++walk.links;
        } else {
            Failed(walk, L"CreateHardLinkW", walk.link);
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

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const bool wait = argc == 4 && std::wstring_view(argv[3]) == L"--wait";
    if (argc != 3 && !wait) {
        Write(STD_ERROR_HANDLE, "usage: win32_mirror SOURCE-FOLDER TARGET-FOLDER [--wait]\n");
        return 2;
    }
    Walk walk;
    walk.source = argv[1];
    walk.link = argv[2];
    while (walk.source.size() > 1 && walk.source.back() == L'\\') walk.source.pop_back();
    while (walk.link.size() > 1 && walk.link.back() == L'\\') walk.link.pop_back();
    const std::size_t cut = walk.source.rfind(L'\\');
    walk.link += L'\\';
    walk.link += walk.source.substr(cut == std::wstring::npos ? 0 : cut + 1);
    if (wait && !WaitForGo()) {
        Write(STD_ERROR_HANDLE, "win32_mirror: no go line on the standard input\n");
        return 2;
    }
    MirrorFolder(walk);
    Write(STD_OUTPUT_HANDLE, "links " + std::to_string(walk.links) + " folders " +
                                 std::to_string(walk.folders) + " failures " +
                                 std::to_string(walk.failures) + "\n");
    if (walk.failures != 0) {
        Write(STD_ERROR_HANDLE, "win32_mirror: first failure: " + Narrow(walk.firstFailure) + "\n");
        return 1;
    }
    return 0;
}
