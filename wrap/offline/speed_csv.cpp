// Rows of the speed diagnostics.
#include "speed_csv.h"

#include <cstdio>

namespace reelstop::offline {

SpeedCsv::SpeedCsv() : mText("first_sample,display_speed,lag_samples,active,platter_phase_rad,engaged\n") {}

void SpeedCsv::addRow(int64_t firstSample, const Reelstop& plugin) {
  const Slot& engine = plugin.engineHost().current();
  char row[160];
  const int length = std::snprintf(row, sizeof row, "%lld,%.9g,%.9g,%d,%.9g,%d\n", static_cast<long long>(firstSample),
                                   plugin.editorLink().displaySpeed.load(), engine.api.lag(engine.engine),
                                   plugin.editorLink().active.load() ? 1 : 0, plugin.editorLink().platterPhase.load(),
                                   plugin.control().isEngaged() ? 1 : 0);
  mText.append(row, static_cast<size_t>(length));
}

}  // namespace reelstop::offline
