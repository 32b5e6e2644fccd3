// SpeedCsv: the per-block diagnostics behind --speed-csv and --plot.
// Each row is taken as the block left the plug-in: what the editor would draw and how far the
// tape lags the live track. Kept in memory and written at the end with the other outputs.
// Main thread only (the offline host's one thread).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "reelstop.h"

namespace reelstop::offline {

struct SpeedRow {
  int64_t firstSample = 0;
  double displaySpeed = 1.0;
  double lagSamples = 0.0;
  bool active = false;
  double platterPhaseRad = 0.0;
  bool engaged = false;
};

class SpeedCsv {
 public:
  void addRow(int64_t firstSample, const Reelstop& plugin);
  const std::vector<SpeedRow>& rows() const { return mRows; }
  // The rows as CSV under a header line.
  std::string text() const;

 private:
  std::vector<SpeedRow> mRows;
};

}  // namespace reelstop::offline
