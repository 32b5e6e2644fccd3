// The development library exports the eighteen entry points and nothing else.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>

#include "build_id.h"
#include "reelstop_engine.h"

namespace reelstop::test {
namespace {

#define RS_EXPORTED_NAME(name) "rs_" #name,
const std::set<std::string> kEntryPoints = {RS_ENTRY_POINTS(RS_EXPORTED_NAME)};
#undef RS_EXPORTED_NAME

// "Mmm d yyyy hh:mm:ss" with single blanks: reprinting its parsed fields gives it back.
bool isBuildId(const std::string& id) {
  char month[4] = {};
  int day = 0, year = 0, hours = 0, minutes = 0, seconds = 0;
  if (std::sscanf(id.c_str(), "%3s %d %d %d:%d:%d", month, &day, &year, &hours, &minutes, &seconds) != 6) return false;
  char reprinted[32];
  std::snprintf(reprinted, sizeof reprinted, "%s %d %04d %02d:%02d:%02d", month, day, year, hours, minutes, seconds);
  return id == reprinted;
}

std::set<std::string> definedDynamicSymbols(const std::string& library) {
  std::set<std::string> names;
  FILE* nm = popen(("nm -D --defined-only '" + library + "'").c_str(), "r");
  if (nm == nullptr) return names;
  char line[512];
  while (std::fgets(line, sizeof line, nm) != nullptr) {
    std::string text(line);
    text.erase(text.find_last_not_of("\r\n") + 1);
    names.insert(text.substr(text.find_last_of(' ') + 1));
  }
  pclose(nm);
  return names;
}

TEST(DevelopmentLibrary, ExportsExactlyTheEighteenEntryPointsAndABuildIdWithSingleBlanks) {
  EXPECT_EQ(definedDynamicSymbols(REELSTOP_ENGINE_LIBRARY), kEntryPoints);

  void* library = dlopen(REELSTOP_ENGINE_LIBRARY, RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(library, nullptr) << dlerror();
  for (const std::string& name : kEntryPoints) EXPECT_NE(dlsym(library, name.c_str()), nullptr) << name;
  auto version = reinterpret_cast<int32_t (*)()>(dlsym(library, "rs_abi_version"));
  auto buildId = reinterpret_cast<const char* (*)()>(dlsym(library, "rs_build_id"));
  EXPECT_EQ(version(), 3);
  EXPECT_TRUE(isBuildId(buildId())) << buildId();
  dlclose(library);

  // __DATE__ pads a day below ten with a blank.
  EXPECT_STREQ(compactBuildId("Dec  6 2026", "19:52:22").data(), "Dec 6 2026 19:52:22");
  EXPECT_STREQ(compactBuildId("Oct 12 2026", "22:32:56").data(), "Oct 12 2026 22:32:56");
  EXPECT_FALSE(isBuildId("Dec  6 2026 19:52:22"));
}

}  // namespace
}  // namespace reelstop::test
