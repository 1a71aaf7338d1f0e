#include "WindState.h"

void WindStateRecord::GenerateLayers() {}
