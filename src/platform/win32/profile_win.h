// The two settings stores of the program: the current user's registry and an INI file.
#pragma once

#include <string>
#include <string_view>

#include "platform/profile.h"

namespace velmora {

// Values under HKEY_CURRENT_USER\Software\<company>\<app>\<section>: texts as REG_SZ,
// integers as REG_DWORD. Reading never creates a key; the first write does.
// Reading across types: an integer stored as REG_SZ (typed in by hand) is read by the INI
// rule (blanks, sign, decimal digits up to the first other character; no digit at all gives
// the default); a REG_DWORD read as text gives the default, since a number is never a
// meaningful file name for the program.
class RegistryProfile : public IProfile {
public:
    RegistryProfile(std::string_view company, std::string_view app);

    std::string GetString(std::string_view section, std::string_view key,
                          std::string_view def) override;
    int GetInt(std::string_view section, std::string_view key, int def) override;
    bool WriteString(std::string_view section, std::string_view key,
                     std::string_view value) override;
    bool WriteInt(std::string_view section, std::string_view key, int value) override;

    // The key of `section` below HKEY_CURRENT_USER.
    std::wstring SectionKey(std::string_view section) const;

private:
    std::wstring m_appKey;  // Software\<company>\<app>
};

// [section] and key=value lines of one INI file, through the system's profile functions.
// Encoding: a file this store creates starts as UTF-16 LE with a byte-order mark, so the
// system keeps it in UTF-16 and every text round-trips. An existing file keeps its encoding;
// in an 8-bit file a text that the ANSI code page cannot hold is refused (false) rather
// than stored mangled. A text with blanks at either end or quotation marks at its ends is
// stored in quotation marks, which the reader removes, so it comes back unchanged.
// Texts with line breaks or zero characters, keys with '=', sections with ']' cannot be
// stored in a line-based file and are refused. Integers are decimal; reading one follows
// GetPrivateProfileIntW ("  12abc" reads 12, an empty value the default).
class IniProfile : public IProfile {
public:
    // `path` should be absolute; a relative one is made absolute against the current folder
    // here (the system would otherwise look for it in the Windows folder).
    explicit IniProfile(std::string_view path);

    std::string GetString(std::string_view section, std::string_view key,
                          std::string_view def) override;
    int GetInt(std::string_view section, std::string_view key, int def) override;
    bool WriteString(std::string_view section, std::string_view key,
                     std::string_view value) override;
    bool WriteInt(std::string_view section, std::string_view key, int value) override;

    const std::string& Path() const { return m_path; }

private:
    bool PrepareFile(std::wstring_view texts);

    std::string m_path;
    std::wstring m_widePath;
};

}  // namespace velmora
