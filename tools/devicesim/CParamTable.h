#pragma once

#include <map>
#include <string>
#include <vector>

namespace devsim {

// The parameters a device answers through getparam, ordered by name. Names are grouped by the
// text before their first "_", and a request may name any prefix ending at a "_" boundary
// ("capability" or "zapk_module"), which answers every parameter below it.
class CParamTable
{
public:
    // Reads lines of the form name='value' (quotes optional); blank lines and lines starting
    // with "#" are skipped. Returns false when the file cannot be read.
    bool loadFile(const std::string& path, std::string* error);
    void parseText(const std::string& text);

    void set(const std::string& name, const std::string& value) { m_values[name] = value; }
    bool has(const std::string& name) const { return m_values.count(name) != 0; }
    std::string value(const std::string& name, const std::string& fallback = {}) const;
    void remove(const std::string& name) { m_values.erase(name); }
    // Removes every parameter at or below the prefix.
    void removePrefix(const std::string& prefix);

    // Every (name, value) that the query item names: the exact name and/or everything below it.
    std::vector<std::pair<std::string, std::string>> lookup(const std::string& item) const;
    const std::map<std::string, std::string>& all() const { return m_values; }

private:
    std::map<std::string, std::string> m_values;
};

} // namespace devsim
