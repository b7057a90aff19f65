#include "platform/win32/system_win.h"

#include <algorithm>
#include <climits>
#include <new>
#include <vector>

#include "platform/win32/handle_win.h"
#include "platform/win32/wide.h"

namespace velmora {

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

std::optional<std::array<unsigned, 4>> ReadProductVersion(HMODULE module) {
    if (module == nullptr) module = ::GetModuleHandleW(nullptr);
    // VS_VERSION_INFO is resource 1 of type RT_VERSION.
    HRSRC info = ::FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(16));
    if (info == nullptr) return std::nullopt;
    const DWORD size = ::SizeofResource(module, info);
    HGLOBAL loaded = ::LoadResource(module, info);
    if (loaded == nullptr || size == 0) return std::nullopt;
    const void* data = ::LockResource(loaded);
    if (data == nullptr) return std::nullopt;

    // VerQueryValueW may write into the block it is given (it converts texts of old-style
    // records in place), and a resource is read-only memory: query a copy.
    const auto* bytes = static_cast<const unsigned char*>(data);
    std::vector<unsigned char> copy(bytes, bytes + size);
    void* value = nullptr;
    UINT length = 0;
    if (!::VerQueryValueW(copy.data(), L"\\", &value, &length) || value == nullptr ||
        length < sizeof(VS_FIXEDFILEINFO))
        return std::nullopt;
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
    if (fixed->dwSignature != 0xFEEF04BDu) return std::nullopt;
    return std::array<unsigned, 4>{
        HIWORD(fixed->dwProductVersionMS), LOWORD(fixed->dwProductVersionMS),
        HIWORD(fixed->dwProductVersionLS), LOWORD(fixed->dwProductVersionLS)};
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
