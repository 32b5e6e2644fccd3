// DisplayText: the small text buffer parameter display functions write into.
// Main thread only.
#pragma once

#include <string>

namespace frame {

class DisplayText {
 public:
  DisplayText() = default;
  explicit DisplayText(const char* text) : mText(text) {}

  void Set(const char* text) { mText = text; }
  // printf-style, cut to maxLength characters.
  void SetFormatted(int maxLength, const char* format, ...) __attribute__((format(printf, 3, 4)));
  const char* Get() const { return mText.c_str(); }
  int GetLength() const { return static_cast<int>(mText.size()); }

 private:
  std::string mText;
};

}  // namespace frame
