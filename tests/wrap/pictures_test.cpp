// Tests of reelstop-render's pictures: the editor as a render leaves it (--snapshot, --page,
// --scale) and the speed plot (--plot), by their pixels; they leave the sound alone and are
// written with the other outputs or not at all.
#include <cmath>

#include "png_picture.h"
#include "render_harness.h"
#include "theme.h"

namespace reelstop::offline::test {
namespace {

using frame::IColor;
using frame::IRECT;
using PicturesTest = RenderFolder;

// The record in layout units: its centre, the outer radius of its rim and a point of its label
// clear of the label's line and circle.
constexpr int kRecordX = 210;
constexpr int kRecordY = 228;
constexpr double kRimRadius = 172.0;
constexpr int kLabelY = kRecordY - 50;
const IRECT kStatusStrip(0, 406, 420, 436);

// A rim pixel: halfway across the rim, at an angle in degrees (0 right, clockwise).
IColor rimAt(const Picture& picture, double degrees, double radius = kRimRadius - 2.5) {
  const double a = degrees * M_PI / 180.0;
  return picture.at(static_cast<int>(std::lround(kRecordX + radius * std::cos(a))),
                    static_cast<int>(std::lround(kRecordY + radius * std::sin(a))));
}

// The colour is the accent laid over the background at some opacity from a half to whole.
bool isAccentOnBackground(const IColor& c) {
  const double opacity = static_cast<double>(c.R - theme::bg.R) / (theme::accent.R - theme::bg.R);
  const auto near = [opacity](int channel, int accent, int bg) {
    return std::fabs(channel - (bg + opacity * (accent - bg))) <= 3.0;
  };
  return opacity >= 0.5 && opacity <= 1.0 && near(c.G, theme::accent.G, theme::bg.G) &&
         near(c.B, theme::accent.B, theme::bg.B);
}

// The columns where anything but the background was drawn inside the area: first and last.
std::pair<int, int> inkedColumns(const Picture& picture, const IRECT& area) {
  int first = -1;
  int last = -1;
  for (int x = static_cast<int>(area.L); x < static_cast<int>(area.R); ++x) {
    for (int y = static_cast<int>(area.T); y < static_cast<int>(area.B); ++y) {
      if (picture.at(x, y) == theme::bg) continue;
      if (first < 0) first = x;
      last = x;
      break;
    }
  }
  return {first, last};
}

// The mean row of the plot's speed line (ink) in a band of columns; -1 when none is there.
double lineRowIn(const Picture& picture, int fromX, int toX) {
  double rows = 0.0;
  int found = 0;
  for (int x = fromX; x < toX; ++x) {
    for (int y = 40; y < picture.height() - 40; ++y) {
      if (picture.at(x, y) == theme::ink) {
        rows += y;
        ++found;
      }
    }
  }
  return found > 0 ? rows / found : -1.0;
}

TEST_F(PicturesTest, ASnapshotShowsTheRecordAsTheRenderLeftIt) {
  writeSound(path("in.wav"), sine(2, 72000));
  const std::vector<std::string> stopping = {"--event",  "0.2s note-on", "--speed-csv",
                                             "stop.csv", "in.wav",       "stop.wav"};
  std::vector<std::string> args = stopping;
  args.insert(args.begin(), {"--snapshot", "stop.png"});
  ASSERT_EQ(run(args).status, 0);
  ASSERT_EQ(run({"--snapshot", "playing.png", "in.wav", "playing.wav"}).status, 0);

  const Picture stopped(path("stop.png"));
  ASSERT_EQ(stopped.width(), 420);
  ASSERT_EQ(stopped.height(), 480);
  for (const double degrees : {0.0, 45.0, 90.0, 180.0, 225.0}) {
    EXPECT_TRUE(isAccentOnBackground(rimAt(stopped, degrees))) << degrees << " degrees: the stopped rim is orange";
    EXPECT_EQ(rimAt(stopped, degrees, kRimRadius + 3.0), theme::bg) << degrees << " degrees: outside the rim";
  }
  EXPECT_EQ(stopped.at(kRecordX, kLabelY), theme::accent) << "the label at the centre";
  EXPECT_EQ(stopped.at(kRecordX, 49), theme::ink) << "the marker over the rim at twelve o'clock";
  EXPECT_EQ(stopped.at(kRecordX, 57), theme::ink);
  EXPECT_EQ(stopped.at(kRecordX, 44), theme::bg) << "above the marker";
  EXPECT_FALSE(stopped.at(kRecordX - 4, 61) == theme::ink) << "the marker narrows to its tip";
  // "STOP" alone, in the accent, centred on the strip; the playing record's readout is wider.
  EXPECT_GT(stopped.count(theme::accent, kStatusStrip), 20);
  EXPECT_EQ(stopped.count(theme::ink, kStatusStrip), 0);
  const auto [stopLeft, stopRight] = inkedColumns(stopped, kStatusStrip);
  EXPECT_NEAR((stopLeft + stopRight) / 2.0, kRecordX, 3.0);
  EXPECT_GT(stopRight - stopLeft, 30);
  EXPECT_LT(stopRight - stopLeft, 70);

  const Picture playing(path("playing.png"));
  for (const double degrees : {0.0, 90.0, 180.0}) {
    EXPECT_EQ(rimAt(playing, degrees), theme::surfaceHi) << degrees << " degrees: the rim of a record at speed";
  }
  EXPECT_GT(playing.count(theme::ink, kStatusStrip), 20) << "100% in ink";
  EXPECT_EQ(playing.count(theme::accent, kStatusStrip), 0);
  const auto [playLeft, playRight] = inkedColumns(playing, kStatusStrip);
  EXPECT_GT(playRight - playLeft, stopRight - stopLeft + 30) << "the speed and the pitch";

  // Watching the render changes nothing it plays; the picture shows the speed it ended at.
  const std::string audio = readBytes(path("stop.wav"));
  const std::string csv = readBytes(path("stop.csv"));
  const std::string lastRow = csv.substr(csv.rfind('\n', csv.size() - 2) + 1);
  EXPECT_EQ(std::stod(lastRow.substr(lastRow.find(',') + 1)), 0.0) << lastRow;
  ASSERT_EQ(run(stopping).status, 0);
  EXPECT_EQ(readBytes(path("stop.wav")), audio);
  EXPECT_EQ(readBytes(path("stop.csv")), csv);
}

TEST_F(PicturesTest, WithoutAudioTheRecordIdlesAndOtherPagesAndScalesShowAsAsked) {
  // The shortest demo plays no block: the view waits out its frames and shows the hint.
  ASSERT_EQ(run({"--seconds", "0.00001", "--snapshot", "idle.png", "idle.wav"}).status, 0);
  const Picture idle(path("idle.png"));
  EXPECT_EQ(rimAt(idle, 0.0), theme::surfaceHi);
  const auto [hintLeft, hintRight] = inkedColumns(idle, kStatusStrip);
  EXPECT_GT(hintRight - hintLeft, 250) << "the hint's line across the strip";
  EXPECT_EQ(idle.count(theme::ink, kStatusStrip), 0) << "no readout";

  writeSound(path("in.wav"), sine(2, 4800));
  ASSERT_EQ(run({"--snapshot", "settings.png", "--page", "settings", "in.wav", "a.wav"}).status, 0);
  ASSERT_EQ(run({"--snapshot", "double.png", "--page=settings", "--scale", "2", "in.wav", "b.wav"}).status, 0);
  const Picture settings(path("settings.png"));
  const Picture doubled(path("double.png"));
  EXPECT_EQ(settings.width(), 420);
  EXPECT_EQ(settings.height(), 480);
  EXPECT_EQ(doubled.width(), 840);
  EXPECT_EQ(doubled.height(), 960);
  // The first card, (14, 50, 406, 172), away from its words and controls; the page around it.
  for (const auto& [x, y] : {std::pair{200, 60}, std::pair{300, 165}, std::pair{20, 100}, std::pair{400, 100}}) {
    EXPECT_EQ(settings.at(x, y), theme::surface) << x << "," << y;
    EXPECT_EQ(doubled.at(2 * x, 2 * y), theme::surface) << x << "," << y << " at scale 2";
  }
  EXPECT_EQ(settings.at(8, 100), theme::bg);
  EXPECT_EQ(settings.at(200, 45), theme::bg);
  EXPECT_EQ(doubled.at(16, 200), theme::bg);
  EXPECT_FALSE(settings.at(kRecordX, kLabelY) == theme::accent) << "no record on the settings page";

  // A developer's start page does not choose the snapshot's page.
  ASSERT_EQ(setenv("REELSTOP_START_PAGE", "settings", 1), 0);
  const RunResult main = run({"--snapshot", "main.png", "in.wav", "c.wav"});
  unsetenv("REELSTOP_START_PAGE");
  ASSERT_EQ(main.status, 0) << main.err;
  EXPECT_EQ(Picture(path("main.png")).at(kRecordX, kLabelY), theme::accent) << "the record page";
}

TEST_F(PicturesTest, ThePlotDrawsTheSpeedLineItsStopAndTheBeatGridOfAKnownTempo) {
  writeSound(path("in.wav"), sine(2, 192000));
  const std::vector<std::string> stop = {"--event", "1.6s note-on", "in.wav", "out.wav"};
  std::vector<std::string> args = stop;
  args.insert(args.begin(), {"--plot", "free.png"});
  ASSERT_EQ(run(args).status, 0);
  args.insert(args.begin(), {"--plot", "beats.png", "--tempo", "120", "--playing"});
  args.erase(args.begin() + 5, args.begin() + 7);
  ASSERT_EQ(run(args).status, 0) << "the same render with a running song at 120 BPM";

  const Picture free(path("free.png"));
  ASSERT_GE(free.width(), 400);
  ASSERT_GE(free.height(), 200);
  ASSERT_LE(free.width(), 2000);
  const IRECT whole(0, 0, static_cast<float>(free.width()), static_cast<float>(free.height()));
  EXPECT_GT(free.count(theme::ink, whole), free.width() / 2) << "the speed line";
  // At speed 1 for the first 1.6 s, stopped at the end: the line starts high and ends low.
  const double early = lineRowIn(free, free.width() / 8, free.width() / 4);
  const double late = lineRowIn(free, free.width() * 7 / 8, free.width() * 15 / 16);
  ASSERT_GT(early, 0.0);
  ASSERT_GT(late, 0.0);
  EXPECT_GT(late - early, free.height() / 4.0);
  EXPECT_GT(free.count(theme::accent, whole), free.height()) << "the stop mark, across the plot";
  EXPECT_EQ(free.count(theme::cool, whole), free.count(theme::cool, {0, 0, whole.R, 40})) << "no return, only the key";

  const Picture beats(path("beats.png"));
  EXPECT_GT(beats.count(theme::line, whole), free.count(theme::line, whole) + 6 * free.height() / 2)
      << "a line a beat but the bars', 4 seconds at 120 BPM";
}

}  // namespace
}  // namespace reelstop::offline::test
