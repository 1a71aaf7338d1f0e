// Umbrella header of the host SDK surface that Galeboard compiles against.
// Names and signatures follow the simulator's own SDK (interface "Aug 30 2010"),
// limited to what the module uses.
#pragma once

// The SDK's own order.
// clang-format off
#include "DrawAPI.h"
#include "OrbiterAPI.h"
#include "ModuleAPI.h"
#include "VesselAPI.h"
#include "MFDAPI.h"
// clang-format on
