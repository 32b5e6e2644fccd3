// The speed plot: axes in seconds and speed, the beat grid, the speed line and its stop and
// return marks, drawn by the frame's renderer with the editor's theme.
#include "speed_plot.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "cairo_graphics.h"
#include "render_error.h"
#include "theme.h"

namespace reelstop::offline {
namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 320;
const frame::IRECT kPlotArea(64, 44, 780, 272);
constexpr float kLineThickness = 2.0f;
constexpr double kNormalBand = 0.005;  // the editor's: closer to 1 than this is normal speed
constexpr float kLeastBeatSpacing = 6.0f;
constexpr int kMostTicks = 8;
constexpr double kSpeedMargin = 0.04;  // of the speed range, above and below

// A step of 1, 2, 2.5 or 5 times a power of ten that divides `span` into at most kMostTicks.
double tickStep(double span) {
  const double rough = span / kMostTicks;
  const double power = std::pow(10.0, std::floor(std::log10(rough)));
  for (const double factor : {1.0, 2.0, 2.5, 5.0}) {
    if (factor * power >= rough) return factor * power;
  }
  return 10.0 * power;
}

// The middle of the pixel a coordinate falls in, so that a line one unit wide covers whole pixels.
float crisp(float coordinate) { return std::floor(coordinate) + 0.5f; }

std::string numberText(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", std::fabs(value) < 1e-9 ? 0.0 : value);
  return text;
}

struct Mark {
  double sample = 0.0;
  bool leaves = false;  // false: back at 1
};

// Where the speed leaves 1 and where it comes back, by the block it happened in.
std::vector<Mark> marksOf(const std::vector<SpeedRow>& rows) {
  std::vector<Mark> marks;
  bool normal = true;
  for (const SpeedRow& row : rows) {
    const bool now = std::fabs(row.displaySpeed - 1.0) < kNormalBand;
    if (now != normal) marks.push_back({static_cast<double>(row.firstSample), normal});
    normal = now;
  }
  return marks;
}

class SpeedChart : public frame::IControl {
 public:
  SpeedChart(const std::vector<SpeedRow>& rows, std::vector<SpeedPlot::Beat> beats, double sampleRateHz,
             int64_t totalFrames)
      : frame::IControl({0, 0, kWidth, kHeight}),
        mRows(rows),
        mBeats(std::move(beats)),
        mSampleRateHz(sampleRateHz),
        mSeconds(totalFrames > 0 ? static_cast<double>(totalFrames) / sampleRateHz : 1.0) {
    double low = 0.0;
    double high = 1.25;
    for (const SpeedRow& row : rows) {
      low = std::min(low, row.displaySpeed);
      high = std::max(high, row.displaySpeed);
    }
    mSpeedStep = tickStep(high - low);
    mLowSpeed = std::floor(low / mSpeedStep) * mSpeedStep;
    mHighSpeed = std::ceil(high / mSpeedStep) * mSpeedStep;
  }

  void Draw(frame::IGraphics& g) override {
    g.FillRect(theme::bg, GetRECT());
    g.FillRect(theme::surface, kPlotArea);
    drawGrid(g);
    drawAxes(g);
    drawSpeed(g);
    drawMarks(g);
    drawLegend(g);
  }

 private:
  float xOfSample(double sample) const {
    return kPlotArea.L + static_cast<float>(sample / mSampleRateHz / mSeconds) * kPlotArea.W();
  }
  // The ticks' range with a margin, so that a line on the lowest or highest tick is drawn whole.
  float yOfSpeed(double speed) const {
    const double margin = kSpeedMargin * (mHighSpeed - mLowSpeed);
    const double low = mLowSpeed - margin;
    return kPlotArea.B - static_cast<float>((speed - low) / (mHighSpeed + margin - low)) * kPlotArea.H();
  }

  // Beats and bars where they are far enough apart to read: bars brighter, beats only between.
  void drawGrid(frame::IGraphics& g) const {
    const auto spacing = [this](bool barsOnly) {
      std::vector<float> xs;
      for (const SpeedPlot::Beat& beat : mBeats) {
        if (beat.bar || !barsOnly) xs.push_back(xOfSample(beat.sample));
      }
      return xs.size() < 2 ? kPlotArea.W() : (xs.back() - xs.front()) / static_cast<float>(xs.size() - 1);
    };
    const bool beatsShown = spacing(false) >= kLeastBeatSpacing;
    const bool barsShown = spacing(true) >= kLeastBeatSpacing;
    for (const SpeedPlot::Beat& beat : mBeats) {
      if (beat.bar ? !barsShown : !beatsShown) continue;
      const float x = crisp(xOfSample(beat.sample));
      g.DrawLine(beat.bar ? theme::thumb : theme::line, x, kPlotArea.T, x, kPlotArea.B);
    }
  }

  void drawAxes(frame::IGraphics& g) const {
    const frame::IText tickText = theme::sans(10.0f, theme::Regular, theme::inkDim, frame::EAlign::Center);
    const double secondStep = tickStep(mSeconds);
    for (double t = 0.0; t <= mSeconds + 1e-9; t += secondStep) {
      const float x = xOfSample(t * mSampleRateHz);
      g.DrawLine(theme::inkFaint, x, kPlotArea.B, x, kPlotArea.B + 4.0f);
      g.DrawText(tickText, numberText(t).c_str(), {x - 30.0f, kPlotArea.B + 6.0f, x + 30.0f, kPlotArea.B + 20.0f});
    }
    frame::IText speedText = tickText;
    speedText.mAlign = frame::EAlign::Far;
    for (double speed = mLowSpeed; speed <= mHighSpeed + 1e-9; speed += mSpeedStep) {
      const float y = crisp(yOfSpeed(speed));
      const bool landmark = std::fabs(speed) < 1e-9 || std::fabs(speed - 1.0) < 1e-9;
      g.DrawLine(landmark ? theme::thumb : theme::line, kPlotArea.L, y, kPlotArea.R, y);
      g.DrawText(speedText, numberText(speed).c_str(), {kPlotArea.L - 44.0f, y - 7.0f, kPlotArea.L - 8.0f, y + 7.0f});
    }
    g.DrawText(theme::sans(11.0f, theme::Medium, theme::inkDim, frame::EAlign::Center), "time (seconds)",
               {kPlotArea.L, kPlotArea.B + 24.0f, kPlotArea.R, kPlotArea.B + 42.0f});
    g.DrawText(theme::sans(11.0f, theme::Medium, theme::inkDim, frame::EAlign::Far), "speed",
               {kPlotArea.L - 60.0f, kPlotArea.T - 24.0f, kPlotArea.L - 8.0f, kPlotArea.T - 8.0f});
    g.DrawText(theme::sans(13.0f, theme::SemiBold, theme::ink, frame::EAlign::Near), "reelstop: tape speed",
               {kPlotArea.L, 10.0f, kPlotArea.L + 300.0f, 32.0f});
  }

  void drawSpeed(frame::IGraphics& g) const {
    if (mRows.empty()) {
      g.DrawText(theme::sans(12.0f, theme::Regular, theme::inkDim, frame::EAlign::Center), "no audio was rendered",
                 kPlotArea);
      return;
    }
    g.PathClipRegion(kPlotArea);
    g.PathClear();
    g.PathMoveTo(xOfSample(static_cast<double>(mRows.front().firstSample)), yOfSpeed(mRows.front().displaySpeed));
    for (const SpeedRow& row : mRows) {
      g.PathLineTo(xOfSample(static_cast<double>(row.firstSample)), yOfSpeed(row.displaySpeed));
    }
    g.PathStroke(theme::ink, kLineThickness, {10.0f, false, frame::ELineCap::Round, frame::ELineJoin::Round});
    g.PathClipRegion();
  }

  // A line at each mark, labelled where the label has room: stops on the first row of labels,
  // returns on the second.
  void drawMarks(frame::IGraphics& g) const {
    float labelsEnd[2] = {kPlotArea.L, kPlotArea.L};
    for (const Mark& mark : marksOf(mRows)) {
      const float x = std::round(xOfSample(mark.sample));
      const frame::IColor colour = mark.leaves ? theme::accent : theme::cool;
      g.DrawLine(colour, x, kPlotArea.T, x, kPlotArea.B, nullptr, kLineThickness);
      const char* label = mark.leaves ? "stop" : "back to 1";
      const frame::IText text = theme::sans(10.0f, theme::SemiBold, colour, frame::EAlign::Near);
      const float top = kPlotArea.T + (mark.leaves ? 4.0f : 20.0f);
      frame::IRECT box(x + 4.0f, top, x + 80.0f, top + 14.0f);
      const float width = g.MeasureText(text, label, box);
      float& rowEnd = labelsEnd[mark.leaves ? 0 : 1];
      if (x + 4.0f < rowEnd || x + 4.0f + width > kPlotArea.R) continue;
      g.DrawText(text, label, box);
      rowEnd = x + 8.0f + width;
    }
  }

  void drawLegend(frame::IGraphics& g) const {
    struct Entry {
      const char* text;
      frame::IColor colour;
    };
    const Entry entries[] = {{"speed", theme::ink}, {"stop", theme::accent}, {"back to 1", theme::cool}};
    float x = kPlotArea.R;
    for (auto entry = std::rbegin(entries); entry != std::rend(entries); ++entry) {
      const frame::IText text = theme::sans(10.0f, theme::Regular, theme::inkDim, frame::EAlign::Far);
      frame::IRECT box(x - 100.0f, 14.0f, x, 28.0f);
      const float width = g.MeasureText(text, entry->text, box);
      g.DrawText(text, entry->text, {x - 100.0f, 14.0f, x, 28.0f});
      g.DrawLine(entry->colour, x - width - 20.0f, 21.0f, x - width - 6.0f, 21.0f, nullptr, kLineThickness);
      x -= width + 34.0f;
    }
  }

  const std::vector<SpeedRow>& mRows;
  std::vector<SpeedPlot::Beat> mBeats;
  double mSampleRateHz;
  double mSeconds;
  double mSpeedStep = 0.25;
  double mLowSpeed = 0.0;
  double mHighSpeed = 1.25;
};

}  // namespace

void SpeedPlot::noteTransport(int64_t firstSample, const frame::ITimeInfo& transport) {
  if (transport.mTempo <= 0.0 || transport.mPPQPos < 0.0) return;
  const bool meter = transport.mNumerator > 0 && transport.mDenominator > 0;
  mClocks.push_back(
      {firstSample, transport.mPPQPos, transport.mTransportIsRunning ? transport.mTempo / 60.0 / mSampleRateHz : 0.0,
       std::max(0.0, transport.mLastBar), meter ? 4.0 * transport.mNumerator / transport.mDenominator : 4.0});
}

std::vector<SpeedPlot::Beat> SpeedPlot::beats(int64_t totalFrames) const {
  std::vector<Beat> found;
  for (size_t i = 0; i < mClocks.size(); ++i) {
    const BlockClock& clock = mClocks[i];
    if (clock.beatsPerSample <= 0.0) continue;
    const int64_t end = i + 1 < mClocks.size() ? mClocks[i + 1].firstSample : totalFrames;
    const double endBeats = clock.beats + clock.beatsPerSample * static_cast<double>(end - clock.firstSample);
    for (double beat = std::ceil(clock.beats); beat < endBeats; beat += 1.0) {
      const bool bar = std::fabs(std::remainder(beat - clock.lastBar, clock.barBeats)) < 1e-6;
      found.push_back({static_cast<double>(clock.firstSample) + (beat - clock.beats) / clock.beatsPerSample, bar});
    }
  }
  return found;
}

std::string SpeedPlot::png(frame::Plugin& delegate, const SpeedCsv& speeds, int64_t totalFrames) const {
  frame::CairoGraphics g(delegate, kWidth, kHeight, 1.0f);
  theme::loadFonts(g);
  g.AttachControl(new SpeedChart(speeds.rows(), beats(totalFrames), mSampleRateHz, totalFrames));
  g.RunFrame();
  std::string bytes = g.PngBytes();
  if (bytes.empty()) throw RenderError("the speed plot cannot be encoded as PNG");
  return bytes;
}

}  // namespace reelstop::offline
