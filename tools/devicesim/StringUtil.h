#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// Small text helpers shared by the simulator's request handlers.
namespace devsim {

using PairList = std::vector<std::pair<std::string, std::string>>;

std::string percentDecode(const std::string& text, bool plusIsSpace);
std::string percentEncode(const std::string& text);
// Splits an urlencoded body or query ("a=1&b=2&c") into decoded pairs; an item without "=" has
// an empty value.
PairList parseForm(const std::string& text, bool plusIsSpace = true);
std::vector<std::string> split(const std::string& text, char sep);
std::string trim(const std::string& text);
std::string toLower(std::string text);
bool startsWith(const std::string& text, const std::string& prefix);
bool endsWith(const std::string& text, const std::string& suffix);
std::string md5Hex(const std::string& data);
std::string randomHex(std::size_t bytes);

bool parseIPv4(const std::string& text, uint32_t* out);
std::string formatIPv4(uint32_t address);

} // namespace devsim
