#include "module/WindState.h"

WindStateRecord WindState;
VECTOR3 WindAccel = {{0.0, 0.0, 0.0}};

void WindStateRecord::ClearWind() {
  WindOn = false;
  layerCount = 0;
  layers.clear();
  layerPair = 0;
}
