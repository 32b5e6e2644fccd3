// reelstop-render's entry point: options, then a listing or a render, then a summary line.
// Every refused request ends in one error line and exit status 2.
#include <algorithm>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>
#include <vector>

#include "frame/resources.h"
#include "interruption.h"
#include "options.h"
#include "render_error.h"
#include "session.h"
#include "usage.h"

namespace {

constexpr int kExitRefused = 2;
constexpr int kExitFailed = 1;
constexpr int kExitSignalBase = 128;  // the shell's convention: 130 for SIGINT, 143 for SIGTERM

int fail(const char* message, int status) {
  std::string line = message;
  std::replace(line.begin(), line.end(), '\n', ' ');
  std::fprintf(stderr, "reelstop-render: %s\n", line.c_str());
  return status;
}

// The pictures' fonts: beside the program in the build tree, in the LV2 bundle once installed.
std::string fontFolder() {
  std::string built = frame::FolderBesideProgram("resources");
  if (std::filesystem::is_directory(built)) return built;
  return frame::FolderBesideProgram("../lib/lv2/reelstop.lv2/resources");
}

}  // namespace

int main(int argc, char** argv) {
  using namespace reelstop::offline;
  catchInterruptions();
  frame::SetResourceFolder(fontFolder());
  try {
    const Options options = parseOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (options.help) {
      printUsage(stdout);
      return 0;
    }
    if (options.listParams) {
      listParams(stdout);
      return 0;
    }
    if (options.listPresets) {
      listPresets(stdout);
      return 0;
    }
    const RenderSummary summary = runRender(options);
    std::printf("%s: %.2f s rendered at %.0fx real time; %lld stops and %lld starts issued\n",
                summary.outputPath.c_str(), summary.audioSeconds, summary.audioSeconds / summary.wallSeconds,
                static_cast<long long>(summary.stops), static_cast<long long>(summary.starts));
    return 0;
  } catch (const Interrupted& interrupted) {
    return fail("interrupted; nothing was written", kExitSignalBase + interrupted.signal);
  } catch (const RenderError& error) {
    return fail(error.what(), kExitRefused);
  } catch (const std::exception& error) {
    return fail(error.what(), kExitFailed);
  }
}
