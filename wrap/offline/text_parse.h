// Strict parsing of words and numbers for the command line and event scripts.
// A value must span its whole text, so "12x" or "1e999" is an error instead of a silent 12 or
// infinity.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace reelstop::offline {

std::optional<double> parseNumber(const std::string& text);
std::optional<int64_t> parseInteger(const std::string& text);

std::string lowerCase(std::string text);
bool equalsIgnoringCase(const std::string& a, const std::string& b);
std::string trim(const std::string& text);
// Whitespace-separated words.
std::vector<std::string> splitWords(const std::string& text);

}  // namespace reelstop::offline
