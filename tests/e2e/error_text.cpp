// Prints the system's text for each Windows error code given, one line per code:
// "<code><TAB><text>", the text escaped as the driver escapes it (\\ \t \n \r), so that a test
// can compare it with what a prompt shows without knowing the system's wording.
//
//   velmora_error_text.exe 2 50 112

#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

std::string ToUtf8(const wchar_t* w, int length) {
    if (length <= 0) return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, w, length, nullptr, 0, nullptr, nullptr);
    std::string s(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, w, length, s.data(), n, nullptr, nullptr);
    return s;
}

std::string Escape(const std::string& s) {
    std::string out;
    for (char c : s) {
        switch (c) {
            case '\\':
                out += "\\\\";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            default:
                out += c;
        }
    }
    return out;
}

// The same request the program makes for its prompts: the user's default language, the
// text as the system gives it, line break included.
std::string SystemText(DWORD code) {
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_FROM_SYSTEM,
        nullptr, code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<LPWSTR>(&buffer),
        0, nullptr);
    std::string text = length != 0 && buffer ? ToUtf8(buffer, static_cast<int>(length)) : "";
    if (buffer) LocalFree(buffer);
    return text;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) {
        std::fputs("usage: velmora_error_text <code>...\n", stderr);
        return 2;
    }
    for (int i = 1; i < argc; ++i) {
        wchar_t* end = nullptr;
        const unsigned long code = std::wcstoul(argv[i], &end, 0);
        if (!end || *end != L'\0') {
            std::fputs("velmora_error_text: not a number\n", stderr);
            return 2;
        }
        const std::string line = std::to_string(code) + "\t" + Escape(SystemText(code)) + "\n";
        DWORD written = 0;
        WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), line.data(), static_cast<DWORD>(line.size()),
                  &written, nullptr);
    }
    return 0;
}
