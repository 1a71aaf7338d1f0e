// The FUS overlay's start, end and refresh, on the module's own code.
#include <gtest/gtest.h>

#include <cmath>
#include <iterator>
#include <limits>
#include <memory>
#include <optional>
#include <string>

#include "host/Host.h"
#include "module/Module.h"
#include "module/WindState.h"

namespace {

constexpr const char* kLabels = "F\nU\nS";

class FusOverlay : public ::testing::Test {
 protected:
  void SetUp() override {
    WindState = WindStateRecord{};
    module_ = std::make_unique<MODU>(nullptr);
    moduleInstance = module_.get();
    earth_ = &world_.AddBody("Earth", 6.371e6);
    glider_ = &world_.AddVessel("GL-01", "Glider1", earth_);
    glider_->altitude = 200.0;
    world_.focus = glider_;
    world_.cameraInternal = true;
    world_.cockpitMode = COCKPIT_GENERIC;
    world_.hudMode = HUD_SURFACE;
    module_->vessel = glider_->iface.get();
  }
  void TearDown() override {
    moduleInstance = nullptr;
    WindState = WindStateRecord{};
  }

  void Start() { module_->clbkSimulationStart(oapi::Module::RENDER_NONE); }
  void PostStep(double t) { module_->clbkPostStep(t, 0.02, 0.0); }

  const ghost::Annotation& Labels() const { return *static_cast<ghost::Annotation*>(module_->hFusLabels); }
  const ghost::Annotation& Values() const { return *static_cast<ghost::Annotation*>(module_->hFusValues); }
  bool Shown() const { return Labels().text == std::optional<std::string>(kLabels); }

  ghost::World world_;
  ghost::Host host_{world_};
  ghost::Body* earth_ = nullptr;
  ghost::Vessel* glider_ = nullptr;
  std::unique_ptr<MODU> module_;
};

TEST_F(FusOverlay, StartResetsTheWindReadsTheViewAndCreatesTwoEmptyAnnotations) {
  world_.viewW = 1024;
  world_.viewH = 768;
  WindState.WindOn = true;
  WindState.layers.assign(3, WindLayer{0.0, 1.0, 0.0});
  WindState.layerCount = 3;
  WindState.windAltLimit = 5000.0;
  module_->atmBody = ghost::Handle(earth_);
  module_->lastFusUpdate = 33.0;
  module_->FUScol = 2;

  Start();

  EXPECT_EQ(module_->lastFusUpdate, 0.0);
  EXPECT_EQ(module_->atmBody, NoBody());
  EXPECT_FALSE(WindState.WindOn);
  EXPECT_EQ(WindState.layerCount, 0);
  EXPECT_TRUE(WindState.layers.empty());
  EXPECT_EQ(WindState.windAltLimit, 5000.0);
  EXPECT_EQ(module_->viewW, 1024u);
  EXPECT_EQ(module_->viewH, 768u);
  ASSERT_EQ(world_.annotations.size(), 2u);
  ASSERT_NE(module_->hFusLabels, nullptr);
  ASSERT_NE(module_->hFusValues, nullptr);
  EXPECT_NE(module_->hFusLabels, module_->hFusValues);
  EXPECT_EQ(&world_.annotations.front(), module_->hFusLabels) << "labels are made first";
  for (const ghost::Annotation& a : world_.annotations) {
    EXPECT_TRUE(a.exclusive);
    EXPECT_FALSE(a.text.has_value());
    // In the colour chosen; the layout keeps it, as no settings were loaded.
    EXPECT_EQ(a.colour.x, 1.0);
    EXPECT_EQ(a.colour.y, 0.1);
    EXPECT_EQ(a.colour.z, 0.1);
  }
}

TEST_F(FusOverlay, EndRemovesBothAnnotationsAndForgetsThem) {
  Start();
  module_->clbkSimulationEnd();
  EXPECT_TRUE(world_.annotations.empty());
  EXPECT_EQ(module_->hFusLabels, nullptr);
  EXPECT_EQ(module_->hFusValues, nullptr);
  // A second start makes a fresh pair.
  Start();
  EXPECT_EQ(world_.annotations.size(), 2u);
}

TEST_F(FusOverlay, RefreshesOnlyAfterMoreThanATenthOfASecond) {
  struct Case {
    double t;
    bool refreshed;
  };
  const Case cases[] = {{0.05, false}, {0.1, false}, {0.1000001, true}};
  Start();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.t);
    PostStep(c.t);
    EXPECT_EQ(Labels().text.has_value(), c.refreshed);
    EXPECT_EQ(module_->lastFusUpdate, c.refreshed ? c.t : 0.0);
  }
}

TEST_F(FusOverlay, TimeSetBackChangesNothingUntilItPassesTheLastRefresh) {
  Start();
  glider_->airspeed = _V(0.0, 0.0, 10.0);
  PostStep(5.0);
  ASSERT_EQ(Values().text, std::optional<std::string>(" 10.0\n  0.0\n  0.0\n"));
  glider_->airspeed = _V(0.0, 0.0, 20.0);
  for (double t : {1.0, 4.95, 5.0, 5.05}) {
    SCOPED_TRACE(t);
    PostStep(t);
    EXPECT_EQ(module_->lastFusUpdate, 5.0);
    EXPECT_EQ(Values().text, std::optional<std::string>(" 10.0\n  0.0\n  0.0\n"));
  }
  PostStep(5.2);
  EXPECT_EQ(module_->lastFusUpdate, 5.2);
  EXPECT_EQ(Values().text, std::optional<std::string>(" 20.0\n  0.0\n  0.0\n"));
}

TEST_F(FusOverlay, NaNTimeNeverRefreshes) {
  Start();
  PostStep(std::numeric_limits<double>::quiet_NaN());
  EXPECT_FALSE(Labels().text.has_value());
  EXPECT_EQ(module_->lastFusUpdate, 0.0);
}

struct Condition {
  const char* what;
  bool cameraInternal;
  double altitude;
  int cockpit, hud;
  int32_t FUSoo;
  bool shown;
};
const Condition kConditions[] = {
    {"everything met", true, 200.0, COCKPIT_GENERIC, HUD_SURFACE, 1, true},
    {"at exactly 1000 m", true, 1000.0, COCKPIT_GENERIC, HUD_SURFACE, 1, true},
    {"above 1000 m", true, 1000.1, COCKPIT_GENERIC, HUD_SURFACE, 1, false},
    {"below the mean radius", true, -50.0, COCKPIT_GENERIC, HUD_SURFACE, 1, true},
    {"panel cockpit", true, 200.0, COCKPIT_PANELS, HUD_ORBIT, 1, true},
    {"virtual cockpit", true, 200.0, COCKPIT_VIRTUAL, HUD_SURFACE, 1, false},
    {"HUD off", true, 200.0, COCKPIT_GENERIC, HUD_NONE, 1, false},
    {"docking HUD", true, 200.0, COCKPIT_GENERIC, HUD_DOCKING, 1, true},
    {"external camera", false, 200.0, COCKPIT_GENERIC, HUD_SURFACE, 1, false},
    {"overlay switched off", true, 200.0, COCKPIT_GENERIC, HUD_SURFACE, 0, false},
};

TEST_F(FusOverlay, ShowsOnlyWhenEveryConditionHoldsAndRecordsTheRefreshEitherWay) {
  double t = 0.0;
  for (const Condition& c : kConditions) {
    SCOPED_TRACE(c.what);
    // Each case from a shown overlay, so that hiding shows.
    world_.cameraInternal = true;
    world_.cockpitMode = COCKPIT_GENERIC;
    world_.hudMode = HUD_SURFACE;
    glider_->altitude = 200.0;
    glider_->airspeed = _V(1.0, 2.0, 3.0);
    module_->FUSoo = 1;
    if (t == 0.0) Start();
    PostStep(t += 1.0);
    ASSERT_TRUE(Shown());

    world_.cameraInternal = c.cameraInternal;
    world_.cockpitMode = c.cockpit;
    world_.hudMode = c.hud;
    glider_->altitude = c.altitude;
    module_->FUSoo = c.FUSoo;
    PostStep(t += 1.0);
    EXPECT_EQ(module_->lastFusUpdate, t);
    if (c.shown) {
      EXPECT_EQ(Labels().text, std::optional<std::string>(kLabels));
      EXPECT_EQ(Values().text, std::optional<std::string>("  3.0\n  2.0\n  1.0\n"));
    } else {
      EXPECT_FALSE(Labels().text.has_value());
      EXPECT_EQ(Values().text, std::optional<std::string>(""));
    }
  }
}

TEST_F(FusOverlay, ValuesAreForwardUpSideEachInFiveCharacters) {
  Start();
  glider_->airspeed = _V(-150.0, -0.5, 12.34);  // side, up, forward
  PostStep(1.0);
  EXPECT_EQ(Values().text, std::optional<std::string>(" 12.3\n -0.5\n-99.9\n"));
}

TEST_F(FusOverlay, ComponentsBeyondTheFieldAreShownAtItsLimitWithTheirSign) {
  constexpr double kInf = std::numeric_limits<double>::infinity();
  struct Case {
    double v;
    const char* line;
  };
  const Case cases[] = {
      {99.9, " 99.9\n"}, {99.95, " 99.9\n"}, {250.0, " 99.9\n"}, {-100.0, "-99.9\n"}, {-99.9, "-99.9\n"},
      {0.0, "  0.0\n"},  {99.94, " 99.9\n"}, {kInf, " 99.9\n"},  {-kInf, "-99.9\n"},  {1e300, " 99.9\n"},
  };
  Start();
  double t = 0.0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.v);
    for (int axis = 0; axis < 3; ++axis) {
      SCOPED_TRACE(axis);
      glider_->airspeed = _V(0.0, 0.0, 0.0);
      glider_->airspeed.data[axis] = c.v;
      PostStep(t += 1.0);
      // Forward is the first line, side the last.
      std::string want;
      for (int line = 2; line >= 0; --line) want += line == axis ? c.line : "  0.0\n";
      EXPECT_EQ(Values().text, std::optional<std::string>(want));
    }
  }
}

TEST_F(FusOverlay, NaNComponentIsShownAsNoValueInTheSameWidth) {
  constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
  Start();
  glider_->airspeed = _V(kNaN, 4.0, -kNaN);
  PostStep(1.0);
  EXPECT_EQ(Values().text, std::optional<std::string>("  ---\n  4.0\n  ---\n"));
  glider_->airspeed = _V(kNaN, kNaN, kNaN);
  PostStep(2.0);
  EXPECT_EQ(Values().text, std::optional<std::string>("  ---\n  ---\n  ---\n"));
}

TEST_F(FusOverlay, WithoutAFocusVesselTheOverlayIsHidden) {
  Start();
  module_->vessel = nullptr;
  PostStep(1.0);
  EXPECT_FALSE(Labels().text.has_value());
  EXPECT_EQ(Values().text, std::optional<std::string>(""));
  EXPECT_EQ(module_->lastFusUpdate, 1.0);
}

TEST_F(FusOverlay, SwitchingTheOverlayOffHidesItAtTheNextRefreshOnly) {
  Start();
  PostStep(1.0);
  ASSERT_TRUE(Shown());
  module_->FUSoo = 0;
  PostStep(1.05);
  EXPECT_TRUE(Shown());
  PostStep(1.2);
  EXPECT_FALSE(Shown());
}

}  // namespace
