// Reelstop in the headless host: format changes, blocks, and the development engine hot swap.
#include <gtest/gtest.h>

#include "host_fixture.h"
#include "plugin_harness.h"

namespace reelstop::test {
namespace {

TEST(Reelstop, PlaysThroughTwoSamplesLateAtEveryRate) {
  for (double rate : {44100.0, 48000.0, 96000.0}) {
    Instance instance;
    instance.host.configure(rate, 512, 2);
    EXPECT_EQ(instance.plugin().timing().sampleRate, rate);
    instance.playSeconds(0.2);
    EXPECT_EQ(instance.firstDeparture(), -1) << "the input, exactly two samples late";
    EXPECT_EQ(instance.host.latency(), 2);
  }
}

// A data folder of the test's own with a development build in it.
class DevelopmentEngine : public HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    install(REELSTOP_ENGINE_LIBRARY);
  }
};

// Picked up by the 500 ms timer on its second poll, and played.
TEST_F(DevelopmentEngine, HotSwapsWhileThePlugInPlays) {
  Instance instance;
  instance.host.configure(48000.0, 512, 2);
  EXPECT_EQ(instance.plugin().engineHost().statusText(), "built-in engine");
  instance.playSeconds(0.9);  // the first poll only notes the file
  EXPECT_EQ(instance.plugin().engineHost().statusText(), "built-in engine");
  EXPECT_EQ(instance.firstDeparture(), -1);
  instance.playSeconds(0.2);  // loaded on the second; a new engine starts with an empty tape
  EXPECT_EQ(instance.plugin().engineHost().statusText().rfind("dev ", 0), 0u)
      << instance.plugin().engineHost().statusText();
  const long swapped = instance.firstDeparture();
  instance.playSeconds(0.2);
  EXPECT_EQ(instance.firstDeparture(swapped + 2), -1) << "the new engine plays the input two samples late";
}

TEST_F(DevelopmentEngine, ASwappedInEngineIsStoppedAgainWhenAStopIsHeld) {
  Instance instance;
  instance.host.configure(48000.0, 512, 2);
  instance.param(kStop).Set(1.0);
  instance.playSeconds(1.6);  // swapped in at one second, then a one-beat stop
  ASSERT_EQ(instance.plugin().engineHost().statusText().rfind("dev ", 0), 0u);
  EXPECT_EQ(instance.plugin().control().stopsIssued(), 2) << "the new engine plays until the stop is issued again";
  EXPECT_TRUE(instance.plugin().control().isEngaged());
  EXPECT_EQ(instance.plugin().editorLink().displaySpeed.load(), 0.0f);
}

}  // namespace
}  // namespace reelstop::test
