// SpeedPlot: the --plot picture, the tape's speed over the render in the editor's colours.
// The speed comes from the SpeedCsv rows; the plot adds the host's song position per block for
// the beat grid, and marks where the speed leaves 1 and where it comes back. Main thread only.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "frame/plugin.h"
#include "frame/time_info.h"
#include "speed_csv.h"

namespace reelstop::offline {

class SpeedPlot {
 public:
  // Where the song position crosses a whole quarter note, in samples; bar lines flagged.
  struct Beat {
    double sample = 0.0;
    bool bar = false;
  };

  explicit SpeedPlot(double sampleRateHz) : mSampleRateHz(sampleRateHz) {}

  // After each block: the transport the host gave it.
  void noteTransport(int64_t firstSample, const frame::ITimeInfo& transport);
  // The plot as PNG bytes, drawn on a surface of the plug-in; throws RenderError when it cannot be
  // encoded.
  std::string png(frame::Plugin& delegate, const SpeedCsv& speeds, int64_t totalFrames) const;

 private:
  struct BlockClock {
    int64_t firstSample = 0;
    double beats = 0.0;  // song position, quarter notes
    double beatsPerSample = 0.0;
    double lastBar = 0.0;
    double barBeats = 4.0;
  };

  std::vector<Beat> beats(int64_t totalFrames) const;

  double mSampleRateHz;
  std::vector<BlockClock> mClocks;  // the blocks with a known tempo
};

}  // namespace reelstop::offline
