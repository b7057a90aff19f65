// The one home of the small Win32 helpers every Windows file of the program uses: UTF-8 to
// UTF-16 and back at the call, long paths, owners of handles, and the small services of the
// system (window text, the program's path, full paths, error texts,
// registry values, reading a whole file, the ANSI decoder).
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace velmora {

// ---- strings and paths ----

// The program's one UTF converter (platform/utf.h) for the system's wide strings. Ill-formed
// input never fails: U+FFFD stands for a bad UTF-8 sequence or a lone surrogate. Embedded
// zero characters are kept (callers that hand the result to the system as a C string check
// for them).
std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view wide);

// Bytes in the code page `codePage` as UTF-8 (bytes the code page does not define become
// U+FFFD or the system's substitute; a code page the system does not know gives an empty
// text). AnsiToUtf8 uses the system's ANSI code page (GetACP): the decoder of the list and
// language files.
std::string CodePageToUtf8(unsigned codePage, std::string_view bytes);
std::string AnsiToUtf8(std::string_view bytes);

// The W form of a path for a file-system call. Short paths (below MAX_PATH - 12, the limit
// of CreateDirectoryW) come back unchanged, so the system resolves them as always. A longer
// path is made absolute (GetFullPathNameW: "." and ".." resolved, '/' turned into '\', the
// trailing dots and blanks of the last element dropped) and given the \\?\ prefix, or
// \\?\UNC\ for \\server\share, which lifts the 260-character limit. A path that already
// starts with \\?\, \??\ or \\.\ is passed through as it is.
std::wstring LongPath(std::string_view utf8);

// GetFullPathNameW with a buffer that grows as needed (no 260-character limit); nullopt
// for an empty name, one holding a zero character, or when the system refuses it.
std::optional<std::wstring> FullPathWide(const std::wstring& path);
// The same in UTF-8: the absolute form of `name` against the current folder.
std::optional<std::string> FullPathOf(std::string_view name);

// True when `path` holds a zero character: the system would silently cut the name there,
// so such a name must be refused rather than handed on.
bool HasEmbeddedZero(std::string_view path);

// ---- handles ----

// Owners of Win32 handles: one small move-only template with a traits class per kind, so
// every early return closes what was opened and no handle outlives its call.
template <class Traits>
class ScopedHandle {
public:
    using Handle = typename Traits::Handle;

    ScopedHandle() = default;
    explicit ScopedHandle(Handle handle) : m_handle(handle) {}
    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;
    ScopedHandle(ScopedHandle&& other) noexcept : m_handle(other.Release()) {}
    ScopedHandle& operator=(ScopedHandle&& other) noexcept {
        if (this != &other) Reset(other.Release());
        return *this;
    }
    ~ScopedHandle() { Reset(); }

    explicit operator bool() const { return Traits::IsValid(m_handle); }
    Handle Get() const { return m_handle; }
    // For out-parameters of the API that opens the handle.
    Handle* Receive() {
        Reset();
        return &m_handle;
    }
    Handle Release() { return std::exchange(m_handle, Traits::Invalid()); }
    void Reset(Handle handle = Traits::Invalid()) {
        if (Traits::IsValid(m_handle)) Traits::Close(m_handle);
        m_handle = handle;
    }

private:
    Handle m_handle = Traits::Invalid();
};

// CreateFileW reports failure with INVALID_HANDLE_VALUE, not null.
struct FileHandleTraits {
    using Handle = HANDLE;
    static Handle Invalid() { return INVALID_HANDLE_VALUE; }
    static bool IsValid(Handle h) { return h != INVALID_HANDLE_VALUE && h != nullptr; }
    static void Close(Handle h) { ::CloseHandle(h); }
};

struct FindHandleTraits {
    using Handle = HANDLE;
    static Handle Invalid() { return INVALID_HANDLE_VALUE; }
    static bool IsValid(Handle h) { return h != INVALID_HANDLE_VALUE && h != nullptr; }
    static void Close(Handle h) { ::FindClose(h); }
};

struct RegKeyTraits {
    using Handle = HKEY;
    static Handle Invalid() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { ::RegCloseKey(h); }
};

struct LocalMemoryTraits {
    using Handle = HLOCAL;
    static Handle Invalid() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { ::LocalFree(h); }
};

using FileHandle = ScopedHandle<FileHandleTraits>;
using FindHandle = ScopedHandle<FindHandleTraits>;
using RegKey = ScopedHandle<RegKeyTraits>;
using LocalMemory = ScopedHandle<LocalMemoryTraits>;

// ---- services of the system ----

// The whole text of window `hwnd` (UTF-8); empty for a null window.
std::string WindowText(HWND hwnd);

// The full path of the running program (GetModuleFileNameW, no length limit); empty when
// the system cannot tell.
std::string ProgramPath();

// The system's text for `code` as FormatMessageW gives it in the user's default language,
// line break included; empty when the system has no text for it.
std::string SystemErrorText(DWORD code);

// A registry value as stored: its type and its bytes.
struct RegValue {
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
};
// Value `name` (empty: the key's default value) of `keyPath` under `root`; nullopt when the
// key or the value cannot be read. A value that grows while it is read is read again.
std::optional<RegValue> ReadRegValue(HKEY root, const std::wstring& keyPath,
                                     const std::wstring& name);
// The text of a REG_SZ or REG_EXPAND_SZ value, without the terminating zeros the store may
// or may not hold.
std::wstring RegText(const RegValue& value);

// Reads the whole file `path` (UTF-8) into `bytes`, opened for reading with `shareMode`.
// On failure `bytes` is empty, the result false and GetLastError() tells why: a folder, a
// missing file, a file that cannot be opened or read, or one of more than INT_MAX bytes
// (ERROR_FILE_TOO_LARGE).
bool ReadWholeFile(const std::string& path, std::string& bytes, DWORD shareMode);

// True when a file or folder stands at the full path `name` (UTF-8) exactly as written: it is
// asked for by its \\?\ form, which the system does not normalise, so "b.txt " and "d." are
// never taken for "b.txt" and "d". '/' reads as '\', "." and ".." segments are resolved here,
// and an ending separator (a folder entry's) is left out. A name that is no full path (a
// relative or drive-relative one) names nothing definite: false, without asking.
bool ExactNameExists(std::string_view name);

// The "\\?\" form of a full name made exact (path::LexicallyNormal: '/' read as '\', "." and
// ".." resolved, nothing else changed); empty when `name` is no full path.
std::wstring ExactLongPath(std::string_view name);

}  // namespace velmora
