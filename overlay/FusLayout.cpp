#include "Module.h"

void MODU::LayoutFusOverlay() {}
