// Settings tests: the ten settings as one value, and a module whose
// settings a test sets, saves and loads.
#pragma once

#include <cctype>
#include <cstdint>
#include <ostream>
#include <string>

#include "module/Galeboard.h"
#include "tests/support/ModuleFixture.h"

namespace settings_test {

constexpr double kInAtmosphere = 1000.0;  // m, low in every atmosphere
constexpr double kInSpace = 400000.0;     // m, above every atmosphere

const char kGlider1MarsExample[] =
    "[Glider1Mars]\r\nWindOn=1\r\nDisRest=1\r\nWNDlvl=3\r\nTURlvl=2\r\nSHRlvl=0\r\nSHRt=10\r\nSHRt_stpI=0\r\n"
    "FUSoo=1\r\nFUScol=0\r\nFUSsize=5\r\n";

// A case's text as a test name.
inline std::string Named(const std::string& text) {
  std::string n;
  for (char c : text) n += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
  return n.substr(0, 40);
}

// The in-memory settings, all ten.
struct Settings {
  bool WindOn;
  int32_t DisRest, WNDlvl, TURlvl, SHRlvl, SHRt, SHRt_stpI, FUSoo, FUScol, FUSsize;
  bool operator==(const Settings&) const = default;
};

inline std::ostream& operator<<(std::ostream& os, const Settings& s) {
  return os << "WindOn=" << s.WindOn << " DisRest=" << s.DisRest << " WNDlvl=" << s.WNDlvl << " TURlvl=" << s.TURlvl
            << " SHRlvl=" << s.SHRlvl << " SHRt=" << s.SHRt << " SHRt_stpI=" << s.SHRt_stpI << " FUSoo=" << s.FUSoo
            << " FUScol=" << s.FUScol << " FUSsize=" << s.FUSsize;
}

class SettingsTest : public ModuleFixture {
 protected:
  Settings Current() const {
    return Settings{WindState.WindOn, module->DisRest,     WindState.WNDlvl, WindState.TURlvl, WindState.SHRlvl,
                    WindState.SHRt,   WindState.SHRt_stpI, module->FUSoo,    module->FUScol,   module->FUSsize};
  }
  void Set(const Settings& s) {
    WindState.WindOn = s.WindOn;
    module->DisRest = s.DisRest;
    WindState.WNDlvl = s.WNDlvl;
    WindState.TURlvl = s.TURlvl;
    WindState.SHRlvl = s.SHRlvl;
    WindState.SHRt = s.SHRt;
    WindState.SHRt_stpI = s.SHRt_stpI;
    module->FUSoo = s.FUSoo;
    module->FUScol = s.FUScol;
    module->FUSsize = s.FUSsize;
  }
  ghost::Vessel& AddVessel(const std::string& className, ghost::Body* body, double altitude = kInAtmosphere) {
    // The focus stays where it was: a test gives it with SetFocus.
    ghost::Vessel* focus = world.focus;
    ghost::Vessel& v = world.AddVessel(className + "-" + std::to_string(world.vessels.size()), className, body);
    world.focus = focus;
    v.altitude = altitude;
    return v;
  }
  void Load(ghost::Vessel& v) {
    module->vessel = v.iface.get();
    module->LoadSettings();
  }
  // The overlay annotations, so that a load that lays them out shows.
  void CreateOverlay() {
    module->viewW = 1280;
    module->viewH = 800;
    module->hFusLabels = oapiCreateAnnotation(true, 1.0, _V(0, 0, 0));
    module->hFusValues = oapiCreateAnnotation(true, 1.0, _V(0, 0, 0));
  }
  const ghost::Annotation& Labels() const { return *static_cast<ghost::Annotation*>(module->hFusLabels); }
};

const Settings kOdd{true, 0, 7, 6, 5, 123, 1, 0, 2, 9};  // unlike every default
const Settings kGlider1MarsSettings{true, 1, 3, 2, 0, 10, 0, 1, 0, 5};

}  // namespace settings_test
