// The engine host under real threads: a poller swapping builds on disk against an audio thread.
#include <atomic>
#include <chrono>
#include <thread>

#include "host_fixture.h"

namespace reelstop::test {
namespace {

TEST_F(HostTest, EveryPublishedBuildIsTakenOnceWhileAudioPlays) {
  constexpr int kMaxBuilds = 200;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(1500);
  auto host = std::make_unique<EngineHost>();
  std::atomic<int> published{0};
  std::atomic<int> taken{0};
  std::atomic<bool> pollerDone{false};
  std::atomic<int> strayOutputs{0};

  std::thread audio([&] {
    while (!pollerDone.load() || taken.load() < published.load()) {
      if (host->beginBlock()) taken.fetch_add(1);
      const float out = playOnes(*host)[0];
      if (out != 1.0f && out != 0.5f && out != 0.25f) strayOutputs.fetch_add(1);
      if (std::chrono::steady_clock::now() > deadline + std::chrono::seconds(1)) break;
    }
  });

  // Alternating builds: each publish changes the status, then the other build goes on disk.
  std::string status = host->statusText();
  int onDisk = -1;
  while (published.load() < kMaxBuilds && std::chrono::steady_clock::now() < deadline) {
    if (onDisk != published.load()) {
      onDisk = published.load();
      install(onDisk % 2 == 0 ? FAKE_HALF_LIBRARY : FAKE_QUARTER_LIBRARY);
    }
    host->poll();
    if (host->statusText() != status) {
      status = host->statusText();
      published.fetch_add(1);
    }
  }
  // Keep collecting retired slots so the audio thread can take the last build.
  while (taken.load() < published.load() && std::chrono::steady_clock::now() < deadline + std::chrono::seconds(1)) {
    host->poll();
  }
  pollerDone.store(true);
  audio.join();

  EXPECT_GE(published.load(), 4);
  EXPECT_EQ(taken.load(), published.load());
  EXPECT_EQ(strayOutputs.load(), 0);
  host.reset();
  EXPECT_TRUE(copies().empty());
}

}  // namespace
}  // namespace reelstop::test
