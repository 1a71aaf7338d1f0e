// The page as the simulator drives it: Galeboard.dll loaded by the host,
// clicked and keyed on a display, drawn and read back.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "host/Atmospheres.h"
#include "host/Host.h"
#include "tests/support/TestSupport.h"

namespace {

class PageThroughHost : public ::testing::Test {
 protected:
  void SetUp() override {
    earth_ = &ghost::AddEarth(world_);
    glider_ = &world_.AddVessel("GL-01", "Glider1", earth_);
    // A copy of its own, so that what the page saves lands in the scratch
    // folder beside it.
    std::filesystem::copy_file(testing_support::ModulePath(), folder_ / "Galeboard.dll");
    std::string error;
    ASSERT_NE(host_.LoadModule((folder_ / "Galeboard.dll").string(), &error), nullptr) << error;
    display_ = host_.OpenDisplay(ghost::DisplaySpec{}, glider_);
    ASSERT_GE(display_, 0);
  }

  // The texts of one row, joined.
  std::string Row(int y, int display = -1) {
    for (const ghost::TextRow& r : ghost::RowsOf(host_.Draw(display < 0 ? display_ : display)))
      if (r.y == y) return r.Joined();
    return "<no row>";
  }

  testing_support::ScratchFolder folder_;
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

TEST_F(PageThroughHost, OverlayButtonsDoTheirWorkAndOnlyShowHideIsConsumed) {
  host_.SetFocus(glider_);
  glider_->altitude = 300.0;
  host_.StartSimulation();
  ASSERT_EQ(world_.annotations.size(), 2u);
  const ghost::Annotation& labels = world_.annotations.front();
  const ghost::Annotation& values = world_.annotations.back();
  ASSERT_EQ(labels.size, 0.5);
  ASSERT_EQ(labels.colour.y, 0.5) << "starts sky blue";

  // Colour up: light green (0.5, 1, 0.5) on both columns.
  EXPECT_FALSE(host_.Click(display_, 10, PANEL_MOUSE_RBDOWN));
  for (const ghost::Annotation* a : {&labels, &values}) {
    EXPECT_EQ(a->colour.x, 0.5);
    EXPECT_EQ(a->colour.y, 1.0);
    EXPECT_EQ(a->colour.z, 0.5);
  }
  // Size down from 5 to 4: a factor of 0.4, the top at 0.5 - 0.09 * 0.4.
  EXPECT_FALSE(host_.Click(display_, 11, PANEL_MOUSE_LBDOWN));
  for (const ghost::Annotation* a : {&labels, &values}) {
    EXPECT_DOUBLE_EQ(a->size, 0.4);
    EXPECT_DOUBLE_EQ(a->y1, 0.464);
  }
  // Hidden from the next refresh on.
  host_.Step(0.2);
  ASSERT_TRUE(labels.text.has_value());
  EXPECT_TRUE(host_.Click(display_, 9, PANEL_MOUSE_RBDOWN));
  host_.Step(0.2);
  EXPECT_FALSE(labels.text.has_value()) << "the overlay still shows";
}

// The host makes the page through the mode's message procedure, for the
// vessel of the display; the page's values and saves are that vessel's,
// whichever vessel has the focus.
TEST_F(PageThroughHost, PageOfAnotherVesselSavesItsSectionAndDividesByItsMass) {
  ghost::Vessel& shuttle = world_.AddVessel("SH-01", "ShuttleA", earth_);
  shuttle.mass = 5000.0;
  glider_->mass = 400.0;
  glider_->altitude = 800.0;
  ASSERT_EQ(world_.focus, glider_);
  host_.StartSimulation();
  const int page = host_.OpenDisplay(ghost::DisplaySpec{}, &shuttle);
  ASSERT_GE(page, 0);
  for (DWORD key : {OAPI_KEY_E, OAPI_KEY_W, OAPI_KEY_W, OAPI_KEY_W}) host_.Key(page, key);
  host_.Step(0.1);
  ASSERT_EQ(glider_->forces.size(), 1u);
  const VECTOR3 F = glider_->forces[0].F;
  ASSERT_NE(F.z, 0.0);

  // The acceleration row below its heading: the focus vessel's force over
  // the shuttle's 5000 kg, forward, up, side.
  char expected[64];
  std::snprintf(expected, sizeof expected, "F:%6.3f  U:%6.3f  S:%6.3f", F.z / 5000.0, F.y / 5000.0, F.x / 5000.0);
  std::string shown = "<no row>";
  const std::vector<ghost::TextRow> rows = ghost::RowsOf(host_.Draw(page));
  for (size_t i = 0; i + 1 < rows.size(); ++i)
    if (rows[i].Joined().rfind("Wind acceleration", 0) == 0) shown = rows[i + 1].Joined();
  EXPECT_EQ(shown, expected);

  host_.StoreStatus(page);
  const std::string saved = testing_support::ReadFile(folder_ / "Galeboard.cfg");
  EXPECT_EQ(saved.rfind("[ShuttleAEarth]\r\nWindOn=1\r\n", 0), 0u) << saved;
  EXPECT_EQ(saved.find("[Glider1"), std::string::npos) << saved;
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
