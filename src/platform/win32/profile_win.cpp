#include "platform/win32/profile_win.h"

#include <cstdint>
#include <cstring>
#include <optional>

#include "platform/win32/windows_support.h"

namespace velmora {
namespace {

// The integer rule of the INI files' reader: leading blanks, an optional sign, decimal
// digits up to the first other character, wrapping at 32 bits. nullopt when no digit comes.
std::optional<int> ParseProfileInt(std::wstring_view text) {
    std::size_t i = 0;
    while (i < text.size() && text[i] <= L' ') ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) negative = text[i++] == L'-';
    std::uint32_t value = 0;
    bool digits = false;
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
        value = value * 10u + static_cast<std::uint32_t>(text[i] - L'0');
        digits = true;
    }
    if (!digits) return std::nullopt;
    if (negative) value = 0u - value;
    return static_cast<int>(value);
}

bool HasLineBreakOrZero(std::string_view text) {
    return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

// What a line-based [section] key=value file can hold at all.
bool IniCanHold(std::string_view section, std::string_view key) {
    return !section.empty() && !key.empty() && !HasLineBreakOrZero(section) &&
           !HasLineBreakOrZero(key) && section.find(']') == std::string_view::npos &&
           key.find('=') == std::string_view::npos;
}

// The reader trims blanks around a value and removes one pair of matching quotation marks
// around it; quoting such a text makes it come back as written.
std::wstring IniValueText(std::wstring text) {
    if (text.empty()) return text;
    const auto blank = [](wchar_t c) { return c <= L' '; };
    const auto quote = [](wchar_t c) { return c == L'"' || c == L'\''; };
    if (blank(text.front()) || blank(text.back()) || quote(text.front()) || quote(text.back()))
        return L'"' + text + L'"';
    return text;
}

// True when every character of `text` exists in the ANSI code page, so an 8-bit INI file
// stores it unchanged.
bool FitsAnsiCodePage(std::wstring_view text) {
    if (text.empty() || ::GetACP() == CP_UTF8) return true;
    BOOL usedDefault = FALSE;
    const int n =
        ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(),
                              static_cast<int>(text.size()), nullptr, 0, nullptr, &usedDefault);
    return n > 0 && !usedDefault;
}

// The system keeps writing a file in UTF-16 once it starts with this mark.
bool WriteUtf16Mark(HANDLE file) {
    static constexpr unsigned char kMark[2] = {0xFF, 0xFE};
    DWORD written = 0;
    return ::WriteFile(file, kMark, sizeof kMark, &written, nullptr) && written == sizeof kMark;
}

}  // namespace

// ---- registry ----

RegistryProfile::RegistryProfile(std::string_view company, std::string_view app)
    : m_appKey(L"Software") {
    for (std::string_view part : {company, app}) {
        if (!part.empty()) m_appKey += L'\\' + Widen(part);
    }
}

std::wstring RegistryProfile::SectionKey(std::string_view section) const {
    return section.empty() ? m_appKey : m_appKey + L'\\' + Widen(section);
}

std::string RegistryProfile::GetString(std::string_view section, std::string_view key,
                                       std::string_view def) {
    if (HasEmbeddedZero(section) || HasEmbeddedZero(key)) return std::string(def);
    const std::optional<RegValue> value =
        ReadRegValue(HKEY_CURRENT_USER, SectionKey(section), Widen(key));
    if (!value || (value->type != REG_SZ && value->type != REG_EXPAND_SZ)) return std::string(def);
    return Narrow(RegText(*value));
}

int RegistryProfile::GetInt(std::string_view section, std::string_view key, int def) {
    if (HasEmbeddedZero(section) || HasEmbeddedZero(key)) return def;
    const std::optional<RegValue> value =
        ReadRegValue(HKEY_CURRENT_USER, SectionKey(section), Widen(key));
    if (!value) return def;
    if (value->type == REG_DWORD && value->data.size() == sizeof(DWORD)) {
        DWORD number = 0;
        std::memcpy(&number, value->data.data(), sizeof number);
        return static_cast<int>(number);
    }
    if (value->type == REG_SZ || value->type == REG_EXPAND_SZ)
        return ParseProfileInt(RegText(*value)).value_or(def);
    return def;
}

namespace {

bool WriteRegValue(const std::wstring& keyPath, const std::wstring& name, DWORD type,
                   const void* data, DWORD size) {
    RegKey key;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, keyPath.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                          KEY_SET_VALUE, nullptr, key.Receive(), nullptr) != ERROR_SUCCESS)
        return false;
    return ::RegSetValueExW(key.Get(), name.c_str(), 0, type, static_cast<const BYTE*>(data),
                            size) == ERROR_SUCCESS;
}

}  // namespace

bool RegistryProfile::WriteString(std::string_view section, std::string_view key,
                                  std::string_view value) {
    // A zero character would cut the stored text short while the write reports success.
    if (HasEmbeddedZero(section) || HasEmbeddedZero(key) || HasEmbeddedZero(value)) return false;
    const std::wstring text = Widen(value);
    const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    if (bytes > MAXDWORD) return false;
    return WriteRegValue(SectionKey(section), Widen(key), REG_SZ, text.c_str(),
                         static_cast<DWORD>(bytes));
}

bool RegistryProfile::WriteInt(std::string_view section, std::string_view key, int value) {
    if (HasEmbeddedZero(section) || HasEmbeddedZero(key)) return false;
    const DWORD number = static_cast<DWORD>(value);
    return WriteRegValue(SectionKey(section), Widen(key), REG_DWORD, &number, sizeof number);
}

// ---- INI file ----

IniProfile::IniProfile(std::string_view path)
    : m_path(FullPathOf(path).value_or(std::string(path))), m_widePath(Widen(m_path)) {}

std::string IniProfile::GetString(std::string_view section, std::string_view key,
                                  std::string_view def) {
    if (!IniCanHold(section, key) || HasEmbeddedZero(m_path)) return std::string(def);
    const std::wstring wideSection = Widen(section);
    const std::wstring wideKey = Widen(key);
    // A value is one line of text, so a default holding a line break can never be read
    // back from the file: it tells "absent" apart from any stored value, including one equal
    // to the default. It ends in a non-blank because the system trims blanks off a default.
    static constexpr wchar_t kAbsent[] = L"\n\x01";
    constexpr std::size_t kLongest = 1u << 20;
    std::wstring buffer(256, L'\0');
    for (;;) {
        const DWORD n =
            ::GetPrivateProfileStringW(wideSection.c_str(), wideKey.c_str(), kAbsent, buffer.data(),
                                       static_cast<DWORD>(buffer.size()), m_widePath.c_str());
        // A full buffer (n == size - 1) may mean the text was cut: ask again with more room.
        if (n + 1 < buffer.size() || buffer.size() >= kLongest) {
            buffer.resize(n);
            break;
        }
        buffer.resize(buffer.size() * 4);
    }
    if (buffer == kAbsent) return std::string(def);
    return Narrow(buffer);
}

int IniProfile::GetInt(std::string_view section, std::string_view key, int def) {
    if (!IniCanHold(section, key) || HasEmbeddedZero(m_path)) return def;
    return static_cast<int>(::GetPrivateProfileIntW(Widen(section).c_str(), Widen(key).c_str(), def,
                                                    m_widePath.c_str()));
}

bool IniProfile::PrepareFile(std::wstring_view texts) {
    for (int attempt = 0; attempt < 2; ++attempt) {
        FileHandle file(::CreateFileW(m_widePath.c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file) {
            unsigned char mark[2] = {};
            DWORD read = 0;
            if (!::ReadFile(file.Get(), mark, sizeof mark, &read, nullptr)) return false;
            if (read == 2 && mark[0] == 0xFF && mark[1] == 0xFE) return true;
            if (read > 0) return FitsAnsiCodePage(texts);
            // An empty file (made by hand for a portable set-up) has no encoding to keep.
            file.Reset();
            FileHandle empty(::CreateFileW(m_widePath.c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                                           nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
            if (!empty) return false;
            LARGE_INTEGER size{};
            if (!::GetFileSizeEx(empty.Get(), &size)) return false;
            if (size.QuadPart != 0) return FitsAnsiCodePage(texts);  // written meanwhile
            return WriteUtf16Mark(empty.Get());
        }
        // Only a missing file is made here; a missing folder (ERROR_PATH_NOT_FOUND), a
        // denied or locked file fail the write as they are.
        if (::GetLastError() != ERROR_FILE_NOT_FOUND) return false;

        FileHandle created(::CreateFileW(m_widePath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                         FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!created) {
            if (::GetLastError() == ERROR_FILE_EXISTS) continue;  // made by someone else meanwhile
            return false;
        }
        if (WriteUtf16Mark(created.Get())) return true;
        created.Reset();
        ::DeleteFileW(m_widePath.c_str());  // only the empty file made just now
        return false;
    }
    return false;
}

bool IniProfile::WriteString(std::string_view section, std::string_view key,
                             std::string_view value) {
    if (!IniCanHold(section, key) || HasLineBreakOrZero(value) || HasEmbeddedZero(m_path))
        return false;
    const std::wstring wideSection = Widen(section);
    const std::wstring wideKey = Widen(key);
    const std::wstring wideValue = IniValueText(Widen(value));
    if (!PrepareFile(wideSection + wideKey + wideValue)) return false;
    return ::WritePrivateProfileStringW(wideSection.c_str(), wideKey.c_str(), wideValue.c_str(),
                                        m_widePath.c_str()) != FALSE;
}

bool IniProfile::WriteInt(std::string_view section, std::string_view key, int value) {
    return WriteString(section, key, std::to_string(value));
}

}  // namespace velmora
