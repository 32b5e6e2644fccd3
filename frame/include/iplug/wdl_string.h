// WDL_String: the small text buffer parameter display functions write into.
// Main thread only.
#pragma once

#include <string>

namespace iplug {

class WDL_String {
 public:
  WDL_String() = default;
  explicit WDL_String(const char* text) : mText(text) {}

  void Set(const char* text) { mText = text; }
  // printf-style, cut to maxLength characters.
  void SetFormatted(int maxLength, const char* format, ...) __attribute__((format(printf, 3, 4)));
  const char* Get() const { return mText.c_str(); }
  int GetLength() const { return static_cast<int>(mText.size()); }

 private:
  std::string mText;
};

}  // namespace iplug
