// The parameter displays as a user sees them, at the edges of their formats.
#include <gtest/gtest.h>

#include "plugin_harness.h"

namespace reelstop::test {
namespace {

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
