#include "Module.h"
#include "WindState.h"

void MODU::clbkPreStep(double /*simt*/, double /*simdt*/, double /*mjd*/) { WindAccel = _V(0.0, 0.0, 0.0); }
