// SpeedCsv: the --speed-csv diagnostics, one row per host block.
// Each row is taken as the block left the plug-in: what the editor would draw and how far the
// tape lags the live track. Kept in memory and written at the end with the other outputs.
// Main thread only (the offline host's one thread).
#pragma once

#include <cstdint>
#include <string>

#include "reelstop.h"

namespace reelstop::offline {

class SpeedCsv {
 public:
  SpeedCsv();
  void addRow(int64_t firstSample, const Reelstop& plugin);
  const std::string& text() const { return mText; }

 private:
  std::string mText;
};

}  // namespace reelstop::offline
