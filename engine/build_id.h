// The build id: compile date and time with single blanks ("Dec 6 2026 19:52:22").
#pragma once

#include <array>

namespace reelstop {

// The compiler pads one-digit days with a second blank ("Dec  6 2026"); drop it.
constexpr std::array<char, 21> compactBuildId(const char* date, const char* time) {
  std::array<char, 21> id{};
  size_t n = 0;
  for (size_t i = 0; date[i] != '\0' && n + 1 < id.size(); ++i) {
    if (date[i] == ' ' && n > 0 && id[n - 1] == ' ') continue;
    id[n++] = date[i];
  }
  if (n + 1 < id.size()) id[n++] = ' ';
  for (size_t i = 0; time[i] != '\0' && n + 1 < id.size(); ++i) id[n++] = time[i];
  return id;
}

}  // namespace reelstop
