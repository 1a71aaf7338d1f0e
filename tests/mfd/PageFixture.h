// A page of the module's own code over a headless host, with the module's
// globals reset for each test.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <tuple>

#include "host/Host.h"
#include "module/Galeboard.h"
#include "module/Module.h"
#include "module/WindState.h"

namespace mfd_test {

// Every setting the page can change, for before/after comparisons.
struct Settings {
  bool WindOn;
  int32_t WNDlvl, TURlvl, SHRlvl, SHRt, SHRt_stpI, layerCount;
  size_t layers;
  double windAltLimit;
  int32_t DisRest, FUSoo, FUScol, FUSsize;

  static Settings Now() {
    const WindStateRecord& w = WindState;
    const MODU& m = *moduleInstance;
    return Settings{w.WindOn,        w.WNDlvl,       w.TURlvl,  w.SHRlvl, w.SHRt,   w.SHRt_stpI, w.layerCount,
                    w.layers.size(), w.windAltLimit, m.DisRest, m.FUSoo,  m.FUScol, m.FUSsize};
  }
  auto Tie() const {
    return std::tie(WindOn, WNDlvl, TURlvl, SHRlvl, SHRt, SHRt_stpI, layerCount, layers, windAltLimit, DisRest, FUSoo,
                    FUScol, FUSsize);
  }
  bool operator==(const Settings& o) const { return Tie() == o.Tie(); }
};

inline std::ostream& operator<<(std::ostream& os, const Settings& s) {
  return os << "{WindOn " << s.WindOn << ", WNDlvl " << s.WNDlvl << ", TURlvl " << s.TURlvl << ", SHRlvl " << s.SHRlvl
            << ", SHRt " << s.SHRt << ", SHRt_stpI " << s.SHRt_stpI << ", layerCount " << s.layerCount << ", layers "
            << s.layers << ", windAltLimit " << s.windAltLimit << ", DisRest " << s.DisRest << ", FUSoo " << s.FUSoo
            << ", FUScol " << s.FUScol << ", FUSsize " << s.FUSsize << "}";
}

class PageFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    WindState = WindStateRecord{};
    WindAccel = VECTOR3{{0.0, 0.0, 0.0}};
    module_ = std::make_unique<MODU>(nullptr);
    moduleInstance = module_.get();
    earth_ = &world_.AddBody("Earth", 6.371e6);
    glider_ = &world_.AddVessel("GL-01", "Glider1", earth_);
  }
  void TearDown() override {
    moduleInstance = nullptr;
    WindState = WindStateRecord{};
    WindAccel = VECTOR3{{0.0, 0.0, 0.0}};
  }

  // A page as the host makes one for a display of this size and font.
  std::unique_ptr<Galeboard> MakePage(const ghost::DisplaySpec& spec, VESSEL* vessel) {
    host_.openingDisplay = spec;
    auto page = std::make_unique<Galeboard>(spec.width, spec.height, vessel);
    host_.openingDisplay = ghost::DisplaySpec{};
    return page;
  }

  ghost::World world_;
  ghost::Host host_{world_};
  ghost::Body* earth_ = nullptr;
  ghost::Vessel* glider_ = nullptr;
  std::unique_ptr<MODU> module_;
};

}  // namespace mfd_test
