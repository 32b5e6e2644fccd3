// Runs an LV2 host's command line for the tests, in the environment the tests give hosts (the
// search path that holds the bundle, and in sanitized builds the sanitizer's runtime), and keeps
// what it printed (standard output and error).
#pragma once

#include <string>

namespace reelstop::lv2::test {

struct CommandResult {
  int exitCode = -1;  // -1: it did not exit normally
  std::string output;
};

CommandResult runHost(const std::string& command);

}  // namespace reelstop::lv2::test
