// The overlay's two columns placed beside the centre of the viewport.
#include <gtest/gtest.h>

#include <ostream>

#include "tests/support/ModuleFixture.h"

namespace {

class FusLayout : public ModuleFixture {
 protected:
  void CreateOverlay(DWORD w, DWORD h) {
    module->viewW = w;
    module->viewH = h;
    module->hFusLabels = oapiCreateAnnotation(true, 1.0, _V(0, 0, 0));
    module->hFusValues = oapiCreateAnnotation(true, 1.0, _V(0, 0, 0));
  }
  const ghost::Annotation& Labels() const { return *static_cast<ghost::Annotation*>(module->hFusLabels); }
  const ghost::Annotation& Values() const { return *static_cast<ghost::Annotation*>(module->hFusValues); }
};

struct LayoutCase {
  const char* what;
  DWORD w, h;
  int32_t size;
  double top, labelsX, valuesX, factor;
};

// Cases print as their description, not as raw bytes.
void PrintTo(const LayoutCase& c, std::ostream* os) { *os << c.what; }

class FusLayoutCases : public FusLayout, public ::testing::WithParamInterface<LayoutCase> {};

TEST_P(FusLayoutCases, PlacesValuesLeftAndLettersRightOfTheCentre) {
  const LayoutCase& c = GetParam();
  CreateOverlay(c.w, c.h);
  module->FUSsize = c.size;
  module->LayoutFusOverlay();
  EXPECT_DOUBLE_EQ(Labels().x1, c.labelsX) << c.what;
  EXPECT_DOUBLE_EQ(Labels().y1, c.top) << c.what;
  EXPECT_DOUBLE_EQ(Values().x1, c.valuesX) << c.what;
  EXPECT_DOUBLE_EQ(Values().y1, c.top) << c.what;
  for (const ghost::Annotation* a : {&Labels(), &Values()}) {
    EXPECT_EQ(a->x2, 1.0) << c.what;
    EXPECT_EQ(a->y2, 1.0) << c.what;
    EXPECT_DOUBLE_EQ(a->size, c.factor) << c.what;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Examples, FusLayoutCases,
    ::testing::Values(LayoutCase{"1280 x 800 at size 5", 1280, 800, 5, 0.455, 0.50625, 0.4875, 0.5},
                      LayoutCase{"1280 x 800 at size 10", 1280, 800, 10, 0.41, 0.5125, 0.475, 1.0},
                      // half = 512, a = 1025 / 80 * 0.5 = 6.40625
                      LayoutCase{"odd width 1025", 1025, 768, 5, 0.455, (512.0 + 6.40625) / 1025.0,
                                 (512.0 - 12.8125) / 1025.0, 0.5},
                      LayoutCase{"size 1", 800, 600, 1, 0.491, (400.0 + 1.0) / 800.0, (400.0 - 2.0) / 800.0, 0.1}));

TEST_F(FusLayout, ColourIsTheChosenOneOnBothColumns) {
  struct Case {
    const char* what;
    double r, g, b;
  };
  const Case kColours[] = {
      {"0 sky blue", 0.0, 0.5, 1.0},
      {"1 light green", 0.5, 1.0, 0.5},
      {"2 red", 1.0, 0.1, 0.1},
      {"3 light yellow", 1.0, 1.0, 0.5},
  };
  CreateOverlay(1280, 800);
  for (int32_t col = 0; col < 4; ++col) {
    SCOPED_TRACE(kColours[col].what);
    module->FUScol = col;
    module->LayoutFusOverlay();
    for (const ghost::Annotation* a : {&Labels(), &Values()}) {
      EXPECT_EQ(a->colour.x, kColours[col].r);
      EXPECT_EQ(a->colour.y, kColours[col].g);
      EXPECT_EQ(a->colour.z, kColours[col].b);
    }
  }
}

TEST_F(FusLayout, WithoutAnnotationsNothingHappens) {
  module->viewW = 1280;
  module->viewH = 800;
  module->LayoutFusOverlay();
  EXPECT_TRUE(world.annotations.empty());
}

TEST_F(FusLayout, ViewportWithoutSizeLeavesTheAnnotationsAndMakesNoNaN) {
  for (auto [w, h] : {std::pair<DWORD, DWORD>{0, 800}, {1280, 0}, {0, 0}}) {
    CreateOverlay(w, h);
    module->LayoutFusOverlay();
    EXPECT_EQ(Labels().x1, 0.0);
    EXPECT_EQ(Values().y1, 0.0);
  }
}

}  // namespace
