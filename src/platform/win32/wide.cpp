#include "platform/win32/wide.h"

#include <windows.h>

#include <climits>
#include <optional>

namespace velmora {
namespace {

// The conversion functions take int lengths. Texts beyond INT_MAX units are converted in
// pieces cut where no character is split: UTF-8 never before a continuation byte, UTF-16
// never between the halves of a surrogate pair.
constexpr std::size_t kPiece = INT_MAX / 4;

std::size_t Utf8Cut(std::string_view text, std::size_t at) {
    while (at > 0 && (static_cast<unsigned char>(text[at]) & 0xC0u) == 0x80u) --at;
    return at;
}

std::size_t Utf16Cut(std::wstring_view text, std::size_t at) {
    if (at > 0 && text[at] >= 0xDC00 && text[at] <= 0xDFFF) --at;
    return at;
}

void AppendWide(std::wstring& out, std::string_view piece) {
    const int inLen = static_cast<int>(piece.size());
    const int need = ::MultiByteToWideChar(CP_UTF8, 0, piece.data(), inLen, nullptr, 0);
    if (need <= 0) return;
    const std::size_t start = out.size();
    out.resize(start + static_cast<std::size_t>(need));
    const int got =
        ::MultiByteToWideChar(CP_UTF8, 0, piece.data(), inLen, out.data() + start, need);
    out.resize(start + static_cast<std::size_t>(got > 0 ? got : 0));
}

void AppendNarrow(std::string& out, std::wstring_view piece) {
    const int inLen = static_cast<int>(piece.size());
    const int need =
        ::WideCharToMultiByte(CP_UTF8, 0, piece.data(), inLen, nullptr, 0, nullptr, nullptr);
    if (need <= 0) return;
    const std::size_t start = out.size();
    out.resize(start + static_cast<std::size_t>(need));
    const int got = ::WideCharToMultiByte(CP_UTF8, 0, piece.data(), inLen, out.data() + start, need,
                                          nullptr, nullptr);
    out.resize(start + static_cast<std::size_t>(got > 0 ? got : 0));
}

bool StartsWith(std::wstring_view text, std::wstring_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

}  // namespace

std::wstring Widen(std::string_view utf8) {
    std::wstring out;
    while (!utf8.empty()) {
        std::size_t cut = utf8.size();
        if (cut > kPiece) {
            cut = Utf8Cut(utf8, kPiece);
            if (cut == 0) cut = kPiece;  // not UTF-8 at all: any cut will do
        }
        AppendWide(out, utf8.substr(0, cut));
        utf8.remove_prefix(cut);
    }
    return out;
}

std::string Narrow(std::wstring_view wide) {
    std::string out;
    while (!wide.empty()) {
        std::size_t cut = wide.size();
        if (cut > kPiece) cut = Utf16Cut(wide, kPiece);
        AppendNarrow(out, wide.substr(0, cut));
        wide.remove_prefix(cut);
    }
    return out;
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

}  // namespace velmora
