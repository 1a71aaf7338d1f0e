// Drawing the page with Cairo: a real, proportional font measured as drawn,
// and the host's single-byte texts shown right.
#include <cairo.h>
#include <gtest/gtest.h>

#include "tools/galeboard-sim/Render.h"

namespace {

class CairoPad : public ::testing::Test {
 protected:
  ~CairoPad() override {
    cairo_destroy(cr_);
    cairo_surface_destroy(surface_);
  }
  cairo_surface_t* surface_ = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 256, 256);
  cairo_t* cr_ = cairo_create(surface_);
};

TEST_F(CairoPad, MeasuresWithAProportionalFontOfTheCharacterHeight) {
  sim::CairoSketchpad skp(cr_, 0, 0, 13);
  const DWORD narrow = skp.GetTextWidth("iiiiiiii");
  const DWORD wide = skp.GetTextWidth("WWWWWWWW");
  EXPECT_GT(narrow, 0u);
  EXPECT_GT(wide, 2 * narrow) << "a fixed-width stand-in would give equal widths";
  EXPECT_EQ(skp.GetTextWidth("Status: enabled", 8), skp.GetTextWidth("Status: ")) << "len counts characters";
  sim::CairoSketchpad big(cr_, 0, 0, 26);
  EXPECT_NEAR(static_cast<double>(big.GetTextWidth("Galeboard")), 2.0 * skp.GetTextWidth("Galeboard"), 2.0);
}

TEST_F(CairoPad, DrawsInTheColourSetAsBgr) {
  cairo_set_source_rgb(cr_, 0, 0, 0);
  cairo_paint(cr_);
  sim::CairoSketchpad skp(cr_, 0, 0, 40);
  EXPECT_EQ(skp.SetTextColor(0xFF0000), 0u);  // blue
  EXPECT_TRUE(skp.Text(2, 2, "MMMM", 4));
  cairo_surface_flush(surface_);
  const unsigned char* px = cairo_image_surface_get_data(surface_);
  const int stride = cairo_image_surface_get_stride(surface_);
  int blue = 0, other = 0;
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 120; ++x) {
      const uint32_t p = *reinterpret_cast<const uint32_t*>(px + y * stride + x * 4) & 0xFFFFFF;
      if (p == 0x0000FF)
        ++blue;  // Cairo's pixels are 0xRRGGBB
      else if (p != 0 && (p & 0xFFFF00) != 0)
        ++other;
    }
  EXPECT_GT(blue, 100);
  EXPECT_EQ(other, 0) << "only shades of blue on black";
  EXPECT_EQ(skp.textCalls(), 1);
}

TEST(HostText, SingleByteSuperscriptTwoBecomesUtf8) {
  EXPECT_EQ(sim::HostTextToUtf8("[m/s\xB2]"), "[m/s\xC2\xB2]");
  EXPECT_EQ(sim::HostTextToUtf8("plain"), "plain");
  EXPECT_EQ(sim::HostTextToUtf8("\x80"), "\xE2\x82\xAC") << "the euro sign of the code page";
  EXPECT_EQ(sim::HostTextToUtf8("a\x81z"), "a\xEF\xBF\xBDz") << "an undefined byte, replaced, the rest kept";
}

// The font caches go at the end, so that leak checkers see only real leaks.
class FontCaches : public ::testing::Environment {
 public:
  void TearDown() override { sim::ReleaseFontCaches(); }
};
const auto* const kFontCaches = ::testing::AddGlobalTestEnvironment(new FontCaches);

}  // namespace
