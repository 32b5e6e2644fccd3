// The parameter table as a user sees it: names, defaults and display texts.
#include <gtest/gtest.h>

#include "plugin_harness.h"

namespace reelstop::test {
namespace {

TEST(Params, AFreshInstanceShowsEveryDefault) {
  Instance instance;
  const char* expected[kNumParams][2] = {
      {"Stop", "off"},          {"Stop Time", "800 ms"}, {"Stop Sync", "Free"},     {"Stop Curve", "linear"},
      {"Start Time", "400 ms"}, {"Start Sync", "Free"},  {"Start Curve", "linear"}, {"Start Mode", "Spin up"},
      {"Varispeed", "100%"},    {"MIDI Trigger", "on"},  {"Snap", "1/4"},           {"Turn", "1 bar"},
      {"Ramp", "Platter"},      {"Auto", "on"},          {"Scratch", "0.00"},       {"Lock", "Off"},
      {"Weight", "15%"},        {"Ease In", "0.15"},     {"Ease Out", "0.45"}};
  ASSERT_EQ(instance.plugin().NParams(), kNumParams);
  for (int i = 0; i < kNumParams; ++i) {
    EXPECT_STREQ(instance.param(i).GetName(), expected[i][0]);
    EXPECT_EQ(instance.display(i), expected[i][1]) << expected[i][0];
  }
  EXPECT_EQ(instance.host.latency(), 2);
}

TEST(Params, TimesCurvesAndPercentagesFormatAtTheirEdges) {
  Instance instance;
  auto shows = [&](int index, double value) {
    instance.param(index).Set(value);
    return instance.display(index);
  };
  EXPECT_EQ(shows(kStopTime, 999.4), "999 ms");
  EXPECT_EQ(shows(kStopTime, 999.6), "1000 ms");
  EXPECT_EQ(shows(kStopTime, 1000.0), "1.00 s");
  EXPECT_EQ(shows(kStopTime, 10000.0), "10.00 s");
  EXPECT_EQ(shows(kStopTime, 12.5), "13 ms") << "halves away from zero";
  EXPECT_EQ(shows(kStopCurve, 0.019), "linear");
  EXPECT_EQ(shows(kStopCurve, -0.019), "linear");
  EXPECT_EQ(shows(kStopCurve, -0.02), "-0.02");
  EXPECT_EQ(shows(kStartCurve, 0.555), "0.56");
  EXPECT_EQ(shows(kVarispeed, 33.5), "34%");
  EXPECT_EQ(shows(kScratch, -1.23456), "-1.23");

  instance.param(kStopTime).SetNormalized(0.5);
  EXPECT_EQ(instance.display(kStopTime), "800 ms");
  EXPECT_NEAR(instance.param(kStopTime).Value(), 800.0, 1e-9);
  EXPECT_NEAR(instance.param(kStartTime).ToNormalized(400.0), 0.412, 0.001);
}

}  // namespace
}  // namespace reelstop::test
