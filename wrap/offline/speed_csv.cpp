// Rows of the speed diagnostics.
#include "speed_csv.h"

#include <cstdio>

namespace reelstop::offline {

void SpeedCsv::addRow(int64_t firstSample, const Reelstop& plugin) {
  const Slot& engine = plugin.engineHost().current();
  const EditorLink& link = plugin.editorLink();
  mRows.push_back({firstSample, link.displaySpeed.load(), engine.api.lag(engine.engine), link.active.load(),
                   link.platterPhase.load(), plugin.control().isEngaged()});
}

std::string SpeedCsv::text() const {
  std::string text = "first_sample,display_speed,lag_samples,active,platter_phase_rad,engaged\n";
  for (const SpeedRow& row : mRows) {
    char line[160];
    const int length =
        std::snprintf(line, sizeof line, "%lld,%.9g,%.9g,%d,%.9g,%d\n", static_cast<long long>(row.firstSample),
                      row.displaySpeed, row.lagSamples, row.active ? 1 : 0, row.platterPhaseRad, row.engaged ? 1 : 0);
    text.append(line, static_cast<size_t>(length));
  }
  return text;
}

}  // namespace reelstop::offline
