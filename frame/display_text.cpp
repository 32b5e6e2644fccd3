// DisplayText formatting.
#include "frame/display_text.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

namespace frame {

void DisplayText::SetFormatted(int maxLength, const char* format, ...) {
  if (maxLength < 0) maxLength = 0;
  std::vector<char> buffer(static_cast<size_t>(maxLength) + 1);
  va_list args;
  va_start(args, format);
  std::vsnprintf(buffer.data(), buffer.size(), format, args);
  va_end(args);
  mText = buffer.data();
}

}  // namespace frame
