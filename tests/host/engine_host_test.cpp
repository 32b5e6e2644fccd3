// The engine host swaps real development libraries in and out and cleans up after every one.
#include <string>

#include "data_folder.h"
#include "host_fixture.h"

namespace reelstop::test {
namespace {

const std::string kRefused = "dev engine failed to load (ABI 3)";

// The process-wide number in a private copy's name ("..._<number>.so").
unsigned long copyNumber(const std::unique_ptr<Slot>& slot) {
  return std::stoul(slot->tempPath.substr(slot->tempPath.rfind('_') + 1));
}

void pollTwice(EngineHost& host) {
  host.poll();
  host.poll();
}

TEST_F(HostTest, BuildSwapsInOnTheSecondPollAndReloadsOnlyChangedBytes) {
  EngineHost host;
  EXPECT_EQ(host.statusText(), "built-in engine");
  EXPECT_EQ(host.current().label, std::string("built-in ") + rs_build_id());
  EXPECT_EQ(playOnes(host)[0], 1.0f);

  install(FAKE_HALF_LIBRARY);
  host.poll();
  EXPECT_FALSE(host.beginBlock());
  EXPECT_EQ(host.statusText(), "built-in engine");
  host.poll();
  EXPECT_EQ(host.statusText(), "dev half");
  EXPECT_TRUE(host.beginBlock());
  EXPECT_FALSE(host.beginBlock());
  EXPECT_EQ(host.current().label, "dev half");
  EXPECT_EQ(playOnes(host)[0], 0.5f);

  install(FAKE_HALF_LIBRARY);
  pollTwice(host);
  pollTwice(host);
  EXPECT_FALSE(host.beginBlock());

  std::ofstream(EngineHost::devLibrary(), std::ios::binary | std::ios::app).put('\0');
  host.poll();
  EXPECT_FALSE(host.beginBlock());
  host.poll();
  EXPECT_TRUE(host.beginBlock());
  host.poll();  // collects the build it replaced
  EXPECT_EQ(copies().size(), 1u);
}

TEST_F(HostTest, RefusedBuildsKeepTheRunningEngineAndAreNotRetried) {
  EngineHost host;
  install(FAKE_HALF_LIBRARY);
  pollTwice(host);
  ASSERT_TRUE(host.beginBlock());
  for (const char* library : {FAKE_ABI2_LIBRARY, FAKE_NO_RELEASE_PLATTER_LIBRARY, FAKE_LATENCY3_LIBRARY}) {
    SCOPED_TRACE(library);
    install(library);
    pollTwice(host);
    EXPECT_EQ(host.statusText(), kRefused);
    EXPECT_FALSE(host.beginBlock());
    EXPECT_EQ(playOnes(host)[0], 0.5f);
    EXPECT_EQ(copies().size(), 1u);
    EXPECT_EQ(host.loadDev(library), nullptr);
    // Every load takes a copy number: polls that reloaded would take some between these two.
    const unsigned long before = copyNumber(host.loadDev(FAKE_HALF_LIBRARY));
    pollTwice(host);
    EXPECT_EQ(copyNumber(host.loadDev(FAKE_HALF_LIBRARY)), before + 1);
  }
}

TEST_F(HostTest, EmptyOrVanishedLibrariesLoadNothing) {
  EngineHost host;
  install(FAKE_HALF_LIBRARY);
  std::ofstream(EngineHost::devLibrary(), std::ios::trunc);
  pollTwice(host);
  EXPECT_EQ(host.statusText(), "built-in engine");
  EXPECT_FALSE(host.beginBlock());
  EXPECT_EQ(host.loadDev(tempDir + "/vanished.so"), nullptr);
  EXPECT_TRUE(copies().empty());
}

TEST_F(HostTest, PrivateCopiesLiveExactlyAsLongAsTheirSlots) {
  auto host = std::make_unique<EngineHost>();
  auto first = host->loadDev(FAKE_HALF_LIBRARY);
  auto second = host->loadDev(FAKE_HALF_LIBRARY);
  ASSERT_TRUE(first && second);
  EXPECT_NE(first->tempPath, second->tempPath);
  EXPECT_EQ(first->tempPath.rfind(tempDir + "/reelstop_engine_", 0), 0u);
  EXPECT_EQ(first->tempPath.substr(first->tempPath.size() - 3), ".so");
  EXPECT_EQ(copies().size(), 2u);
  first.reset();
  EXPECT_EQ(copies(), std::vector<std::string>{second->tempPath});

  install(FAKE_HALF_LIBRARY, dataDir + "/build.d/engine");
  auto plain = host->loadDev(dataDir + "/build.d/engine");
  ASSERT_TRUE(plain);
  EXPECT_EQ(plain->tempPath.find('.'), std::string::npos);
  plain.reset();
  second.reset();

  install(FAKE_HALF_LIBRARY);
  pollTwice(*host);  // published, never taken
  EXPECT_EQ(copies().size(), 1u);
  host.reset();
  EXPECT_TRUE(copies().empty());
}

TEST_F(HostTest, EverySlotIsDestroyedWhateverTheOrderOfPollsAndBlocks) {
  auto host = std::make_unique<EngineHost>();
  install(FAKE_HALF_LIBRARY);
  pollTwice(*host);
  EXPECT_TRUE(host->beginBlock());
  install(FAKE_QUARTER_LIBRARY);
  host->poll();
  EXPECT_FALSE(host->beginBlock());
  host->poll();
  EXPECT_EQ(copies().size(), 2u);
  EXPECT_TRUE(host->beginBlock());
  EXPECT_FALSE(host->beginBlock());
  EXPECT_EQ(playOnes(*host)[0], 0.25f);
  EXPECT_EQ(copies().size(), 2u);  // the half build waits in retired for the next poll
  host->poll();
  EXPECT_EQ(copies().size(), 1u);

  install(FAKE_HALF_LIBRARY);
  pollTwice(*host);
  EXPECT_TRUE(host->beginBlock());  // the quarter build is retired and never collected
  host.reset();
  EXPECT_TRUE(copies().empty());
}

TEST_F(HostTest, PrepareRecreatesTheEngineAndTakesAPublishedBuild) {
  EngineHost host;
  host.current().api.engage(host.current().engine, 4800.0, 1.0);
  playOnes(host);
  EXPECT_LT(host.current().api.speed(host.current().engine), 1.0);
  host.prepare(44100.0, 0);
  EXPECT_EQ(host.current().api.speed(host.current().engine), 1.0);
  EXPECT_EQ(playOnes(host), (std::array<float, 2>{1.0f, 0.0f}));

  install(FAKE_HALF_LIBRARY);
  pollTwice(host);
  ASSERT_TRUE(host.beginBlock());
  install(REELSTOP_ENGINE_LIBRARY);
  pollTwice(host);
  host.prepare(48000.0, -3);
  EXPECT_FALSE(host.beginBlock());
  EXPECT_EQ(host.current().label, host.statusText());
  EXPECT_EQ(copies().size(), 1u);
  EXPECT_EQ(playOnes(host), (std::array<float, 2>{1.0f, 0.0f}));
}

TEST_F(HostTest, PathsFollowTheEnvironment) {
  EXPECT_EQ(EngineHost::devLibrary(), dataDir + "/Reelstop/dev/reelstop_engine.so");
  setenv("XDG_DATA_HOME", "", 1);
  setenv("HOME", "/home/player", 1);
  EXPECT_EQ(appDataDir(), "/home/player/.local/share/Reelstop");
  unsetenv("XDG_DATA_HOME");
  unsetenv("HOME");
  EXPECT_EQ(EngineHost::devLibrary(), "/.local/share/Reelstop/dev/reelstop_engine.so");

  EXPECT_TRUE(fileExists(FAKE_HALF_LIBRARY));
  EXPECT_FALSE(fileExists(dataDir));
  EXPECT_FALSE(fileExists(dataDir + "/missing"));

  setenv("TMPDIR", "", 1);
  EngineHost host;
  const auto slot = host.loadDev(FAKE_HALF_LIBRARY);
  ASSERT_TRUE(slot);
  EXPECT_EQ(slot->tempPath.rfind("/tmp/reelstop_engine_", 0), 0u);
}

}  // namespace
}  // namespace reelstop::test
