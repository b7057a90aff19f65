#include "platform/win32/windows_support.h"

#include "platform/path.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <new>

#include "platform/utf.h"

namespace velmora {
namespace {

bool StartsWith(std::wstring_view text, std::wstring_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

}  // namespace

// UTF-16 is the system's wchar_t: the program's one converter (platform/utf.h) serves it.
static_assert(sizeof(wchar_t) == sizeof(char16_t));

std::wstring Widen(std::string_view utf8) {
    const std::u16string wide = Utf8ToUtf16(utf8);
    return std::wstring(wide.begin(), wide.end());
}

std::string Narrow(std::wstring_view wide) {
    return Utf16ToUtf8(std::u16string(wide.begin(), wide.end()));
}

bool HasEmbeddedZero(std::string_view path) { return path.find('\0') != std::string_view::npos; }

std::optional<std::wstring> FullPathWide(const std::wstring& path) {
    if (path.empty() || path.find(L'\0') != std::wstring::npos) return std::nullopt;
    std::wstring full(path.size() + MAX_PATH, L'\0');
    // The answer can grow between two calls when another thread changes the current folder;
    // a few rounds settle it.
    for (int attempt = 0; attempt < 8; ++attempt) {
        const DWORD n =
            ::GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
        if (n == 0) return std::nullopt;
        if (n < full.size()) {
            full.resize(n);
            return full;
        }
        full.resize(static_cast<std::size_t>(n) + 1);  // n counts the terminator here
    }
    return std::nullopt;
}

std::wstring LongPath(std::string_view utf8) {
    std::wstring path = Widen(utf8);
    constexpr std::size_t kShortLimit = MAX_PATH - 12;
    if (path.size() < kShortLimit) return path;
    if (StartsWith(path, L"\\\\?\\") || StartsWith(path, L"\\??\\") || StartsWith(path, L"\\\\.\\"))
        return path;

    const std::optional<std::wstring> resolved = FullPathWide(path);
    if (!resolved) return path;  // let the real call report what is wrong with it
    const std::wstring& full = *resolved;
    if (StartsWith(full, L"\\\\?\\") || StartsWith(full, L"\\\\.\\")) return full;
    if (StartsWith(full, L"\\\\")) return L"\\\\?\\UNC\\" + full.substr(2);
    if (full.size() >= 3 && full[1] == L':' && full[2] == L'\\') return L"\\\\?\\" + full;
    return full;
}

std::string CodePageToUtf8(unsigned codePage, std::string_view bytes) {
    // A file of any size: convert at line feeds, which no code page uses as a trail byte,
    // so no double-byte character is ever cut.
    constexpr std::size_t kPiece = INT_MAX / 4;
    std::wstring wide;
    while (!bytes.empty()) {
        std::size_t cut = bytes.size();
        if (cut > kPiece) {
            const std::size_t lf = bytes.rfind('\n', kPiece - 1);
            cut = lf == std::string_view::npos ? kPiece : lf + 1;
        }
        const int inLen = static_cast<int>(cut);
        const int need = ::MultiByteToWideChar(codePage, 0, bytes.data(), inLen, nullptr, 0);
        if (need > 0) {
            const std::size_t start = wide.size();
            wide.resize(start + static_cast<std::size_t>(need));
            const int got =
                ::MultiByteToWideChar(codePage, 0, bytes.data(), inLen, wide.data() + start, need);
            wide.resize(start + static_cast<std::size_t>(got > 0 ? got : 0));
        }
        bytes.remove_prefix(cut);
    }
    return Narrow(wide);
}

std::string AnsiToUtf8(std::string_view bytes) { return CodePageToUtf8(::GetACP(), bytes); }

std::string WindowText(HWND hwnd) {
    if (hwnd == nullptr) return {};
    const int length = ::GetWindowTextLengthW(hwnd);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = ::GetWindowTextW(hwnd, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
    return Narrow(text);
}

std::string ProgramPath() {
    std::wstring buffer(MAX_PATH, L'\0');
    // Up to the longest path the system has; a truncated answer fills the buffer exactly
    // (with ERROR_INSUFFICIENT_BUFFER, or without it on old systems), so grow and ask again.
    while (buffer.size() <= 65536) {
        const DWORD n =
            ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) return {};
        if (n < buffer.size()) {
            buffer.resize(n);
            return Narrow(buffer);
        }
        buffer.resize(buffer.size() * 2);
    }
    return {};
}

std::optional<std::string> FullPathOf(std::string_view name) {
    const std::optional<std::wstring> full = FullPathWide(Widen(name));
    if (!full) return std::nullopt;
    return Narrow(*full);
}

std::string SystemErrorText(DWORD code) {
    LocalMemory buffer;
    const DWORD flags =
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_FROM_SYSTEM;
    // With ALLOCATE_BUFFER the output argument is the address of the pointer.
    const DWORD length =
        ::FormatMessageW(flags, nullptr, code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                         reinterpret_cast<LPWSTR>(buffer.Receive()), 0, nullptr);
    if (length == 0 || !buffer) return {};
    return Narrow(std::wstring_view(static_cast<const wchar_t*>(buffer.Get()), length));
}

std::optional<RegValue> ReadRegValue(HKEY root, const std::wstring& keyPath,
                                     const std::wstring& name) {
    RegKey key;
    if (::RegOpenKeyExW(root, keyPath.c_str(), 0, KEY_QUERY_VALUE, key.Receive()) != ERROR_SUCCESS)
        return std::nullopt;
    RegValue value;
    DWORD size = 0;
    LSTATUS rc = ::RegQueryValueExW(key.Get(), name.c_str(), nullptr, &value.type, nullptr, &size);
    // The value can grow between the two calls (another copy of the program writing it).
    for (int attempt = 0; attempt < 8 && rc == ERROR_SUCCESS; ++attempt) {
        value.data.resize(size + sizeof(wchar_t));
        DWORD got = static_cast<DWORD>(value.data.size());
        rc = ::RegQueryValueExW(key.Get(), name.c_str(), nullptr, &value.type, value.data.data(),
                                &got);
        if (rc == ERROR_SUCCESS) {
            value.data.resize(got);
            return value;
        }
        if (rc == ERROR_MORE_DATA) {
            size = got > size ? got : size * 2;
            rc = ERROR_SUCCESS;
        }
    }
    return std::nullopt;
}

std::wstring RegText(const RegValue& value) {
    std::wstring text(value.data.size() / sizeof(wchar_t), L'\0');
    if (!text.empty()) std::memcpy(text.data(), value.data.data(), text.size() * sizeof(wchar_t));
    while (!text.empty() && text.back() == L'\0') text.pop_back();
    return text;
}

std::wstring ExactLongPath(std::string_view name) {
    const std::string exact = path::LexicallyNormal(path::WithoutLongPrefix(name, '\\'), '\\');
    if (exact.empty()) return {};
    if (exact[0] == '\\') return L"\\\\?\\UNC" + Widen(std::string_view(exact).substr(1));
    return L"\\\\?\\" + Widen(exact);
}

bool ExactNameExists(std::string_view name) {
    if (name.empty() || HasEmbeddedZero(name)) return false;
    const std::wstring exact = ExactLongPath(name);
    return !exact.empty() && ::GetFileAttributesW(exact.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool ReadWholeFile(const std::string& path, std::string& bytes, DWORD shareMode) {
    bytes.clear();
    const auto fail = [&bytes](DWORD code) {
        std::string().swap(bytes);
        ::SetLastError(code);
        return false;
    };
    if (HasEmbeddedZero(path)) return fail(ERROR_INVALID_NAME);
    // Without FILE_FLAG_BACKUP_SEMANTICS a folder cannot be opened: it fails with
    // ERROR_ACCESS_DENIED, which is the answer we want for one.
    FileHandle file(::CreateFileW(LongPath(path).c_str(), GENERIC_READ, shareMode, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) return fail(::GetLastError());
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file.Get(), &size)) return fail(::GetLastError());
    if (size.QuadPart < 0 || size.QuadPart > INT_MAX) return fail(ERROR_FILE_TOO_LARGE);

    try {
        bytes.resize(static_cast<std::size_t>(size.QuadPart));
    } catch (const std::bad_alloc&) {
        return fail(ERROR_NOT_ENOUGH_MEMORY);
    }
    // One loop reads what the size promised; a file that shrank meanwhile ends early.
    std::size_t got = 0;
    while (got < bytes.size()) {
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - got, 1u << 24));
        DWORD read = 0;
        if (!::ReadFile(file.Get(), bytes.data() + got, want, &read, nullptr))
            return fail(::GetLastError());
        if (read == 0) break;
        got += read;
    }
    bytes.resize(got);
    return true;
}

}  // namespace velmora
