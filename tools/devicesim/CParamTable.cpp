#include "CParamTable.h"

#include "StringUtil.h"

#include <fstream>
#include <sstream>

namespace devsim {

bool CParamTable::loadFile(const std::string& path, std::string* error)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        if (error)
            *error = "cannot read " + path;
        return false;
    }
    std::stringstream text;
    text << in.rdbuf();
    parseText(text.str());
    return true;
}

void CParamTable::parseText(const std::string& text)
{
    for (std::string line : split(text, '\n')) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const std::string trimmed = trim(line);
        if (trimmed.empty() || trimmed[0] == '#')
            continue;
        const auto eq = trimmed.find('=');
        if (eq == std::string::npos || eq == 0)
            continue;
        std::string value = trimmed.substr(eq + 1);
        if (value.size() >= 2 && value.front() == '\'' && value.back() == '\'')
            value = value.substr(1, value.size() - 2);
        m_values[trim(trimmed.substr(0, eq))] = value;
    }
}

std::string CParamTable::value(const std::string& name, const std::string& fallback) const
{
    const auto it = m_values.find(name);
    return it == m_values.end() ? fallback : it->second;
}

void CParamTable::removePrefix(const std::string& prefix)
{
    m_values.erase(prefix);
    const std::string below = prefix + "_";
    auto it = m_values.lower_bound(below);
    while (it != m_values.end() && startsWith(it->first, below))
        it = m_values.erase(it);
}

std::vector<std::pair<std::string, std::string>> CParamTable::lookup(const std::string& item) const
{
    std::vector<std::pair<std::string, std::string>> out;
    if (item.empty())
        return out;
    const auto exact = m_values.find(item);
    if (exact != m_values.end())
        out.emplace_back(*exact);
    const std::string below = item + "_";
    for (auto it = m_values.lower_bound(below);
         it != m_values.end() && startsWith(it->first, below); ++it)
        out.emplace_back(*it);
    return out;
}

} // namespace devsim
