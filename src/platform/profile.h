// The settings store: one section of named texts and integers. Portable interface; the
// back ends are the registry and an INI file (platform/win32) and memory (tests).
#pragma once

#include <string>
#include <string_view>

namespace velmora {

class IProfile {
public:
    virtual ~IProfile() = default;
    virtual std::string GetString(std::string_view section, std::string_view key,
                                  std::string_view def) = 0;
    virtual int GetInt(std::string_view section, std::string_view key, int def) = 0;
    // Both report false when the value was not stored.
    virtual bool WriteString(std::string_view section, std::string_view key,
                             std::string_view value) = 0;
    virtual bool WriteInt(std::string_view section, std::string_view key, int value) = 0;
};

}  // namespace velmora
