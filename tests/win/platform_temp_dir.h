// A fresh folder under the system's temporary folder for one test, removed with everything
// in it afterwards (names of any length, read-only attributes cleared first).
#pragma once

#include <windows.h>

#include <string>

#include "platform/win32/windows_support.h"

namespace velmora::testing {

inline std::wstring ExtendedForm(const std::wstring& path) {
    return path.rfind(L"\\\\?\\", 0) == 0 ? path : L"\\\\?\\" + path;
}

inline void RemoveTree(const std::wstring& path) {
    const std::wstring extended = ExtendedForm(path);
    WIN32_FIND_DATAW found{};
    HANDLE search = ::FindFirstFileW((extended + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..") continue;
            const std::wstring child = path + L"\\" + name;
            ::SetFileAttributesW(ExtendedForm(child).c_str(), FILE_ATTRIBUTE_NORMAL);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                if (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)
                    ::RemoveDirectoryW(ExtendedForm(child).c_str());
                else
                    RemoveTree(child);
            } else {
                ::DeleteFileW(ExtendedForm(child).c_str());
            }
        } while (::FindNextFileW(search, &found));
        ::FindClose(search);
    }
    ::SetFileAttributesW(extended.c_str(), FILE_ATTRIBUTE_NORMAL);
    ::RemoveDirectoryW(extended.c_str());
}

class TempDir {
public:
    TempDir() {
        wchar_t base[MAX_PATH + 1] = {};
        ::GetTempPathW(MAX_PATH + 1, base);
        std::wstring root = base;
        if (!root.empty() && root.back() == L'\\') root.pop_back();
        static unsigned counter = 0;
        for (;;) {
            m_path = root + L"\\velmora-test-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                     std::to_wstring(++counter);
            if (::CreateDirectoryW(m_path.c_str(), nullptr)) break;
        }
    }
    ~TempDir() { RemoveTree(m_path); }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::wstring& WidePath() const { return m_path; }
    std::string Path() const { return Narrow(m_path); }
    // `name` inside the folder, UTF-8.
    std::string operator/(const std::string& name) const { return Path() + "\\" + name; }

private:
    std::wstring m_path;
};

// Writes `bytes` to `path` (any length), replacing what was there.
inline bool WriteFileBytes(const std::string& path, const std::string& bytes) {
    HANDLE file = ::CreateFileW(LongPath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const BOOL ok =
        ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    ::CloseHandle(file);
    return ok && written == bytes.size();
}

inline bool Exists(const std::string& path) {
    return ::GetFileAttributesW(LongPath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace velmora::testing
