// Loading settings from an arbitrary file: whatever the file holds, every
// setting ends in its range. Files of megabytes and lines longer than a read
// holds come from the repeat commands of LargeFiles.h.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "fuzz/LargeFiles.h"
#include "host/Atmospheres.h"
#include "host/World.h"
#include "module/Module.h"
#include "module/WindState.h"

namespace {

constexpr size_t kMaxFile = size_t{256} << 10;

void Check(bool ok, const char* what) {
  if (!ok) {
    std::fprintf(stderr, "out of range after load: %s\n", what);
    std::abort();
  }
}

struct Setup {
  Setup() {
    ghost::Body& earth = ghost::AddEarth(world);
    glider = &world.AddVessel("GL-01", "Glider1", &earth);
    glider->altitude = 500.0;
    path = fuzz::ScratchPath("galeboard-settings-fuzz") + ".cfg";
    std::snprintf(settingsPath, sizeof settingsPath, "%s", path.c_str());
  }
  ~Setup() { std::remove(path.c_str()); }
  ghost::World world;
  ghost::Vessel* glider = nullptr;
  std::string path;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Setup setup;
  // Half the inputs open with the vessel's own section, so that the fuzzer
  // spends its time on the values rather than on finding the name.
  const bool withHeader = size > 0 && (data[0] & 1);
  if (size > 0) {
    ++data;
    --size;
  }
  const std::string text = fuzz::Expanded(std::string_view(reinterpret_cast<const char*>(data), size), kMaxFile);
  if (FILE* f = std::fopen(setup.path.c_str(), "wb")) {
    if (withHeader) std::fputs("[Glider1Earth]\n", f);
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
  }

  WindState = WindStateRecord{};
  MODU module(nullptr);
  moduleInstance = &module;
  module.vessel = setup.glider->iface.get();
  module.LoadSettings();

  Check(module.DisRest == 0 || module.DisRest == 1, "DisRest");
  Check(WindState.WNDlvl >= 0 && WindState.WNDlvl <= WindState.WNDmax, "WNDlvl");
  Check(WindState.TURlvl >= 0 && WindState.TURlvl <= WindState.TURmax, "TURlvl");
  Check(WindState.SHRlvl >= 0 && WindState.SHRlvl <= WindState.SHRmax, "SHRlvl");
  Check(WindState.SHRt >= 0 && WindState.SHRt <= 1999, "SHRt");
  Check(WindState.SHRt_stpI >= 0 && WindState.SHRt_stpI <= 2, "SHRt_stpI");
  Check(module.FUSoo == 0 || module.FUSoo == 1, "FUSoo");
  Check(module.FUScol >= 0 && module.FUScol <= 3, "FUScol");
  Check(module.FUSsize >= 1 && module.FUSsize <= 10, "FUSsize");
  moduleInstance = nullptr;
  return 0;
}
