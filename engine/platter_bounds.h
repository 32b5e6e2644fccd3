// Bounds on where the platter can be after a number of steps under any brake or motor up to a
// strength: they settle candidates, whole searches even, without a simulation.
// Audio thread: pure arithmetic on scalars, no allocation.
#pragma once

#include <cstdint>

namespace reelstop {

// Whether no brake up to `decel` can bring the platter to rest within `steps` steps.
bool cannotStop(double speed, double accel, double response, int64_t steps, double decel);

// Whether no motor of pull up to `pull` can bring the platter to normal speed within `steps`
// steps: the platter is too heavy, or the motor too weak.
bool cannotArrive(double speed, double accel, double response, double motorSamples, int64_t steps, double pull);

// The largest pull, among highest and its halves, below which a stronger motor never does
// worse; 0 if none.
double monotoneCeiling(double speed, double accel, double response, double highest);

// Whether every motor run of pull up to `pull` from (speed, accel), over up to `steps` steps,
// builds up more lag than lagBound, with room for the rounding of the lag's value.
bool lagBeyond(double speed, double accel, double response, double motorSamples, int64_t steps, double pull,
               double lagBound);

}  // namespace reelstop
