#include "support/memory_profile.h"

#include <cstdlib>

namespace velmora::test {
namespace {

std::string Name(std::string_view section, std::string_view key) {
    return std::string(section) + "/" + std::string(key);
}

}  // namespace

std::string MemoryProfile::GetString(std::string_view section, std::string_view key,
                                     std::string_view def) {
    m_log.push_back("read " + Name(section, key));
    const auto it = m_values.find({std::string(section), std::string(key)});
    if (it == m_values.end()) return std::string(def);
    if (const auto* text = std::get_if<std::string>(&it->second)) return *text;
    return std::to_string(std::get<int>(it->second));
}

int MemoryProfile::GetInt(std::string_view section, std::string_view key, int def) {
    m_log.push_back("read " + Name(section, key));
    const auto it = m_values.find({std::string(section), std::string(key)});
    if (it == m_values.end()) return def;
    if (const auto* number = std::get_if<int>(&it->second)) return *number;
    // An INI file holds integers as text; text that is no number reads as 0 there too.
    return std::atoi(std::get<std::string>(it->second).c_str());
}

bool MemoryProfile::WriteString(std::string_view section, std::string_view key,
                                std::string_view value) {
    m_log.push_back("write " + Name(section, key));
    if (!WriteAllowed(key)) return false;
    Set(section, key, std::string(value));
    return true;
}

bool MemoryProfile::WriteInt(std::string_view section, std::string_view key, int value) {
    m_log.push_back("write " + Name(section, key));
    if (!WriteAllowed(key)) return false;
    Set(section, key, value);
    return true;
}

void MemoryProfile::Set(std::string_view section, std::string_view key, Value value) {
    m_values[{std::string(section), std::string(key)}] = std::move(value);
}

bool MemoryProfile::WriteAllowed(std::string_view key) const {
    return !m_failWrites && (m_failingKey.empty() || key != m_failingKey);
}

}  // namespace velmora::test
