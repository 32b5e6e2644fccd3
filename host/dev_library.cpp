// Finding the development library on disk and loading a private copy of it.
#include <dlfcn.h>

#include <atomic>
#include <chrono>

#include "data_folder.h"
#include "engine_host.h"
#include "file_bytes.h"

namespace reelstop {

namespace {

// Numbers the private copies: two hosts loading in the same millisecond still get two names.
std::atomic<uint64_t> copyCount{0};

// From the last dot on, when that dot is in the file name rather than in a folder name.
std::string extensionOf(const std::string& path) {
  const size_t dot = path.rfind('.');
  const size_t separator = path.find_last_of("/\\");
  if (dot == std::string::npos || (separator != std::string::npos && dot < separator)) return {};
  return path.substr(dot);
}

std::string privateCopyName(const std::string& library) {
  const char* tempDir = environmentValue("TMPDIR");
  const auto epochMs =
      std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::system_clock::now().time_since_epoch())
          .count();
  return std::string(tempDir != nullptr ? tempDir : "/tmp") + "/reelstop_engine_" + std::to_string(epochMs) + "_" +
         std::to_string(copyCount.fetch_add(1) + 1) + extensionOf(library);
}

}  // namespace

std::string EngineHost::devLibrary() { return appDataDir() + "/dev/" + "reelstop_engine.so"; }

std::unique_ptr<Slot> EngineHost::loadDev(const std::string& path) const {
  // A copy under a fresh name: the build tools may overwrite the watched file at any time, and
  // dlopen would hand back an already loaded library for a name it has seen.
  const std::string copy = privateCopyName(path);
  const std::vector<char> bytes = readFileBytes(path);
  if (bytes.empty() || !writeFileBytes(copy, bytes)) return nullptr;
  auto slot = std::make_unique<Slot>();
  slot->tempPath = copy;
  slot->library = dlopen(copy.c_str(), RTLD_NOW | RTLD_LOCAL);
  // Another latency would shift the plug-in's reported delay compensation mid-session.
  if (slot->library == nullptr || !bindApi(slot->library, slot->api) || slot->api.latency() != rs_latency()) {
    return nullptr;
  }
  slot->engine = slot->api.create(mChannels, mSampleRate);
  if (slot->engine == nullptr) return nullptr;
  const char* buildId = slot->api.build_id();
  slot->label = std::string("dev ") + (buildId != nullptr ? buildId : "");
  return slot;
}

}  // namespace reelstop
