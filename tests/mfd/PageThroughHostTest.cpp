// The page as the simulator drives it: Galeboard.dll loaded by the host,
// clicked and keyed on a display, drawn and read back.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "host/Host.h"
#include "tests/support/TestSupport.h"

namespace {

class PageThroughHost : public ::testing::Test {
 protected:
  void SetUp() override {
    earth_ = &world_.AddBody("Earth", 6.371e6);
    glider_ = &world_.AddVessel("GL-01", "Glider1", earth_);
    std::string error;
    ASSERT_NE(host_.LoadModule(testing_support::ModulePath().string(), &error), nullptr) << error;
    display_ = host_.OpenDisplay(ghost::DisplaySpec{}, glider_);
    ASSERT_GE(display_, 0);
  }

  // The texts of one row, joined.
  std::string Row(int y) {
    for (const ghost::TextRow& r : ghost::RowsOf(host_.Draw(display_)))
      if (r.y == y) return r.Joined();
    return "<no row>";
  }

  ghost::World world_;
  ghost::Body* earth_ = nullptr;
  ghost::Vessel* glider_ = nullptr;
  ghost::Host host_{world_};
  int display_ = -1;
};

TEST_F(PageThroughHost, ClicksAndKeysShowAtTheNextDraw) {
  EXPECT_EQ(Row(19), "Status: disabled");
  EXPECT_TRUE(host_.Key(display_, OAPI_KEY_E));
  EXPECT_EQ(Row(19), "Status: enabled");

  EXPECT_EQ(Row(38), "When ship at rest: disabled");
  EXPECT_TRUE(host_.Click(display_, 6, PANEL_MOUSE_LBDOWN));
  EXPECT_EQ(Row(38), "When ship at rest: enabled");

  EXPECT_TRUE(host_.Click(display_, 2, PANEL_MOUSE_LBDOWN));  // 0 lowered wraps to 10
  EXPECT_EQ(Row(57), "Global wind:10");
  EXPECT_TRUE(host_.Click(display_, 3, PANEL_MOUSE_RBDOWN));
  EXPECT_EQ(Row(70), "Local wind : 1");

  EXPECT_TRUE(host_.Click(display_, 7, PANEL_MOUSE_RBDOWN));  // step 10
  EXPECT_TRUE(host_.Click(display_, 5, PANEL_MOUSE_RBDOWN));
  EXPECT_EQ(Row(102), "Wind shear period:  10.0(stp: 5)");

  EXPECT_FALSE(host_.Click(display_, 0, PANEL_MOUSE_RBDOWN));
  EXPECT_FALSE(host_.Click(display_, 12, PANEL_MOUSE_LBDOWN));
  EXPECT_FALSE(host_.Click(display_, 2, 0));
  EXPECT_EQ(Row(19), "Status: enabled");
  EXPECT_EQ(Row(57), "Global wind:10");
}

TEST_F(PageThroughHost, OverlayKeysDoTheirWorkButAreNotConsumed) {
  EXPECT_FALSE(host_.Click(display_, 10, PANEL_MOUSE_RBDOWN));
  EXPECT_FALSE(host_.Click(display_, 11, PANEL_MOUSE_LBDOWN));
  EXPECT_TRUE(host_.Click(display_, 9, PANEL_MOUSE_RBDOWN));
}

TEST_F(PageThroughHost, OverlayComesAndGoesWithTheSimulation) {
  host_.SetFocus(glider_);
  glider_->altitude = 300.0;
  glider_->airspeed = _V(-150.0, -0.5, 12.34);
  host_.StartSimulation();
  ASSERT_EQ(world_.annotations.size(), 2u);
  for (int i = 0; i < 6; ++i) host_.Step(0.02);  // 0.12 s
  ASSERT_EQ(world_.annotations.size(), 2u);
  EXPECT_EQ(world_.annotations.front().text, std::optional<std::string>("F\nU\nS"));
  EXPECT_EQ(world_.annotations.back().text, std::optional<std::string>(" 12.3\n -0.5\n-99.9\n"));
  host_.EndSimulation();
  EXPECT_TRUE(world_.annotations.empty());
}

}  // namespace
