// Turtle literals shared by the bundle's Turtle writers.
#pragma once

#include <cctype>
#include <cstdio>
#include <string>

namespace reelstop::lv2 {

// A Turtle decimal or double: always with a point or an exponent, never an integer literal.
inline std::string number(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.9g", value);
  std::string literal = text;
  if (literal.find_first_of(".e") == std::string::npos) literal += ".0";
  return literal;
}

// "Stop Time" -> "stop_time": lower case, every run of other characters one underscore.
inline std::string symbolOf(const char* name) {
  std::string symbol;
  for (const char* c = name; *c != '\0'; ++c) {
    if (std::isalnum(static_cast<unsigned char>(*c))) {
      symbol += static_cast<char>(std::tolower(static_cast<unsigned char>(*c)));
    } else if (!symbol.empty() && symbol.back() != '_') {
      symbol += '_';
    }
  }
  while (!symbol.empty() && symbol.back() == '_') symbol.pop_back();
  return symbol;
}

inline std::string quoted(const std::string& text) {
  std::string literal = "\"";
  for (char c : text) {
    if (c == '"' || c == '\\') literal += '\\';
    literal += c;
  }
  return literal + "\"";
}

}  // namespace reelstop::lv2
