#include "WindState.h"

void WindStateRecord::ComputeWindAcceleration(double /*pitch*/, double /*dt*/, double /*altitude*/,
                                              double /*heading*/) {
  WindAccel = _V(0.0, 0.0, 0.0);
}
