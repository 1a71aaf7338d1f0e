#include "Module.h"
#include "WindState.h"

void MODU::clbkSimulationStart(RenderMode /*mode*/) {}

void MODU::clbkSimulationEnd() {}

void MODU::clbkPostStep(double /*simt*/, double /*simdt*/, double /*mjd*/) {}
