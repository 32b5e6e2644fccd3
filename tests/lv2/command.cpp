// runHost: popen through env, with standard error folded into the output.
#include "command.h"

#include <sys/wait.h>

#include <array>
#include <cstdio>

namespace reelstop::lv2::test {

CommandResult runHost(const std::string& command) {
  CommandResult result;
  FILE* pipe = popen(("env " REELSTOP_HOST_ENVIRONMENT " " + command + " 2>&1").c_str(), "r");
  if (pipe == nullptr) return result;
  std::array<char, 4096> buffer{};
  size_t read = 0;
  while ((read = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0) result.output.append(buffer.data(), read);
  const int status = pclose(pipe);
  if (status != -1 && WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
  return result;
}

}  // namespace reelstop::lv2::test
