// Constants more than one part of the plug-in relies on: the core and its editor.
#pragma once

namespace reelstop {

constexpr double kTwoPi = 6.28318530717958647692;  // one turn of the record, radians
constexpr float kSilenceLevel = 0.0001f;           // an absolute sample value at or below this is silence

}  // namespace reelstop
