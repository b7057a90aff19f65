// A settings store in memory, with a log of every call and writes that can be made to fail.
#pragma once

#include <map>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "platform/profile.h"

namespace velmora::test {

class MemoryProfile : public IProfile {
public:
    using Value = std::variant<std::string, int>;
    using Key = std::pair<std::string, std::string>;  // section, key

    std::string GetString(std::string_view section, std::string_view key,
                          std::string_view def) override;
    int GetInt(std::string_view section, std::string_view key, int def) override;
    bool WriteString(std::string_view section, std::string_view key,
                     std::string_view value) override;
    bool WriteInt(std::string_view section, std::string_view key, int value) override;

    // While set, writes store nothing and report false (a read-only or missing INI folder).
    void SetFailWrites(bool fail) { m_failWrites = fail; }
    // Only writes to this key fail; empty: none singled out.
    void SetFailingKey(std::string key) { m_failingKey = std::move(key); }

    // One line per call, "read Settings/Key" or "write Settings/Key", in call order.
    const std::vector<std::string>& Log() const { return m_log; }
    void ClearLog() { m_log.clear(); }

    const std::map<Key, Value>& Values() const { return m_values; }
    void Set(std::string_view section, std::string_view key, Value value);

private:
    bool WriteAllowed(std::string_view key) const;

    std::map<Key, Value> m_values;
    std::vector<std::string> m_log;
    bool m_failWrites = false;
    std::string m_failingKey;
};

}  // namespace velmora::test
