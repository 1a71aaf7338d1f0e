// The page as drawn, read back row by row, on the module's own code.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "tests/mfd/PageFixture.h"

namespace {

// The host's palette (host/README.md) and the page's own grey.
constexpr DWORD kGrey = 0xBBBBBB;
constexpr DWORD kGreen = 0x00FF00;     // GetDefaultColour(0, 0): "enabled"
constexpr DWORD kYellow = 0x00FFFF;    // (1, 0): the title
constexpr DWORD kWhite = 0xFFFFFF;     // (2, 0): numbers
constexpr DWORD kDimWhite = 0x808080;  // (2, 1): the step
constexpr DWORD kBlue = 0xFF8000;      // (4, 0): "disabled"

struct Call {
  int x;
  DWORD colour;
  std::string text;
};
struct Row {
  int y;
  std::vector<Call> calls;
};

std::string Describe(const std::vector<ghost::TextRow>& rows) {
  std::ostringstream os;
  for (const ghost::TextRow& r : rows) {
    os << "  y " << r.y << ":";
    for (const ghost::TextCall& c : r.calls)
      os << " [x " << c.x << ", 0x" << std::hex << c.colour << std::dec << ", \"" << c.text << "\"]";
    os << "\n";
  }
  return os.str();
}

void ExpectRows(const std::vector<ghost::TextCall>& calls, const std::vector<Row>& want) {
  const std::vector<ghost::TextRow> rows = ghost::RowsOf(calls);
  SCOPED_TRACE("drawn:\n" + Describe(rows));
  ASSERT_EQ(rows.size(), want.size());
  for (size_t i = 0; i < want.size(); ++i) {
    SCOPED_TRACE("row " + std::to_string(i));
    EXPECT_EQ(rows[i].y, want[i].y);
    ASSERT_EQ(rows[i].calls.size(), want[i].calls.size());
    for (size_t j = 0; j < want[i].calls.size(); ++j) {
      SCOPED_TRACE("call " + std::to_string(j));
      EXPECT_EQ(rows[i].calls[j].x, want[i].calls[j].x);
      EXPECT_EQ(rows[i].calls[j].colour, want[i].calls[j].colour);
      EXPECT_EQ(rows[i].calls[j].text, want[i].calls[j].text);
    }
  }
}

class Display : public mfd_test::PageFixture {
 protected:
  std::vector<ghost::TextCall> Draw(const ghost::DisplaySpec& spec, VESSEL* vessel) {
    auto page = MakePage(spec, vessel);
    ghost::RecordingSketchpad skp(static_cast<int>(spec.charWidth));
    EXPECT_TRUE(page->Update(&skp));
    return skp.calls();
  }
  std::vector<ghost::TextCall> Draw() { return Draw(ghost::DisplaySpec{}, glider_->iface.get()); }
};

// A 256-pixel page with 8-pixel characters 13 high and every setting at its load value.
TEST_F(Display, DefaultSettingsDrawEveryRowInPlaceAndColour) {
  const mfd_test::Settings before = mfd_test::Settings::Now();
  ExpectRows(
      Draw(),
      {
          {0, {{92, kYellow, "Galeboard"}}},
          {19, {{4, kGrey, "Status: "}, {4 + 8 * 8, kBlue, "disabled"}}},
          {38, {{4, kGrey, "When ship at rest: "}, {4 + 19 * 8, kBlue, "disabled"}}},
          {57, {{4, kGrey, "Global wind:"}, {4 + 13 * 8, kWhite, " 0"}}},
          {70, {{4, kGrey, "Local wind :"}, {4 + 13 * 8, kWhite, " 0"}}},
          {83, {{4, kGrey, "Wind shear :"}, {4 + 13 * 8, kWhite, " 0"}}},
          {102,
           {{4, kGrey, "Wind shear period: "}, {4 + 19 * 8, kWhite, "  5.0"}, {4 + 25 * 8, kDimWhite, "(stp: 0.5)"}}},
          {121, {{4, kGrey, "Wind alt limit= "}, {4 + 16 * 8, kWhite, "-1"}}},
          {140, {{4, kGrey, "Wind acceleration [m/s\xB2]"}}},
          {153, {{2, kWhite, "F: 0.000  U: 0.000  S: 0.000"}}},
      });
  EXPECT_EQ(mfd_test::Settings::Now(), before) << "drawing changed a setting";
}

// Character height 16, a title 80 pixels wide, and changed settings.
TEST_F(Display, ChangedSettingsDrawInTheirFormatsAndColours) {
  WindState.WindOn = true;
  module_->DisRest = 0;
  WindState.WNDlvl = 3;
  WindState.TURlvl = 10;
  WindState.SHRlvl = 0;
  WindState.SHRt = 1999;
  WindState.SHRt_stpI = 2;
  WindState.windAltLimit = 12345.6;
  WindAccel = VECTOR3{{2000.0, -1000.0, 500.0}};  // N: side, up, forward
  glider_->mass = 1000.0;

  auto page = MakePage(ghost::DisplaySpec{256, 256, 8, 16}, glider_->iface.get());
  ghost::RecordingSketchpad skp(
      [](std::string_view t) -> DWORD { return t == "Galeboard" ? 80u : static_cast<DWORD>(t.size() * 8); });
  EXPECT_TRUE(page->Update(&skp));
  ExpectRows(skp.calls(),
             {
                 {0, {{88, kYellow, "Galeboard"}}},
                 {24, {{4, kGrey, "Status: "}, {68, kGreen, "enabled"}}},
                 {48, {{4, kGrey, "When ship at rest: "}, {156, kGreen, "enabled"}}},
                 {72, {{4, kGrey, "Global wind:"}, {108, kWhite, " 3"}}},
                 {88, {{4, kGrey, "Local wind :"}, {108, kWhite, "10"}}},
                 {104, {{4, kGrey, "Wind shear :"}, {108, kWhite, " 0"}}},
                 {128, {{4, kGrey, "Wind shear period: "}, {156, kWhite, "999.5"}, {204, kDimWhite, "(stp: 50)"}}},
                 {152, {{4, kGrey, "Wind alt limit= "}, {132, kWhite, "12346"}}},
                 {176, {{4, kGrey, "Wind acceleration [m/s\xB2]"}}},
                 {192, {{2, kWhite, "F: 0.500  U:-1.000  S: 2.000"}}},
             });
}

TEST_F(Display, RowsStandOneAndAHalfLinesApartExceptLevelsAndAccelerationValues) {
  struct Case {
    DWORD ch;
    std::vector<int> rows;
  };
  const Case cases[] = {
      {13, {0, 19, 38, 57, 70, 83, 102, 121, 140, 153}},
      {16, {0, 24, 48, 72, 88, 104, 128, 152, 176, 192}},
      {15, {0, 22, 44, 66, 81, 96, 118, 140, 162, 177}},  // 22.5 truncated, half of 15 is 7
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.ch);
    std::vector<int> ys;
    for (const ghost::TextRow& r : ghost::RowsOf(Draw(ghost::DisplaySpec{256, 256, 8, c.ch}, glider_->iface.get())))
      ys.push_back(r.y);
    EXPECT_EQ(ys, c.rows);
  }
}

TEST_F(Display, TitleIsCentredWithEachHalfRoundedDown) {
  struct Case {
    DWORD width;
    DWORD titleWidth;
    int x;
  };
  const Case cases[] = {{256, 80, 88}, {255, 80, 87}, {256, 81, 88}, {300, 72, 114}, {50, 80, -15}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.width) + " wide, title " + std::to_string(c.titleWidth));
    auto page = MakePage(ghost::DisplaySpec{c.width, 256, 8, 13}, glider_->iface.get());
    ghost::RecordingSketchpad skp([&](std::string_view t) -> DWORD {
      return t == "Galeboard" ? c.titleWidth : static_cast<DWORD>(t.size() * 8);
    });
    page->Update(&skp);
    ASSERT_FALSE(skp.calls().empty());
    EXPECT_EQ(skp.calls()[0].text, "Galeboard");
    EXPECT_EQ(skp.calls()[0].x, c.x);
  }
}

// The value of one row, by its y at character height 13.
std::string ValueAt(const std::vector<ghost::TextCall>& calls, int y, size_t index = 1) {
  for (const ghost::TextRow& r : ghost::RowsOf(calls))
    if (r.y == y) return index < r.calls.size() ? r.calls[index].text : "<missing>";
  return "<no row>";
}

TEST_F(Display, NumbersKeepTheirWidthsWhateverTheValue) {
  struct Case {
    const char* what;
    std::function<void()> set;
    int y;
    size_t index;
    const char* text;
  };
  const Case cases[] = {
      {"level 3", [] { WindState.WNDlvl = 3; }, 57, 1, " 3"},
      {"level 10", [] { WindState.SHRlvl = 10; }, 83, 1, "10"},
      {"period 0", [] { WindState.SHRt = 0; }, 102, 1, "  0.0"},
      {"period 1", [] { WindState.SHRt = 1; }, 102, 1, "  0.5"},
      {"period 1999", [] { WindState.SHRt = 1999; }, 102, 1, "999.5"},
      {"step index 0", [] { WindState.SHRt_stpI = 0; }, 102, 2, "(stp: 0.5)"},
      {"step index 1", [] { WindState.SHRt_stpI = 1; }, 102, 2, "(stp: 5)"},
      {"step index 2", [] { WindState.SHRt_stpI = 2; }, 102, 2, "(stp: 50)"},
      {"limit before the first computation", [] { WindState.windAltLimit = -1.0; }, 121, 1, "-1"},
      {"limit rounded", [] { WindState.windAltLimit = 84999.5; }, 121, 1, "85000"},
      {"limit 0", [] { WindState.windAltLimit = 0.0; }, 121, 1, "0"},
      {"no wind acting",
       [] {
         WindAccel = VECTOR3{{0.0, 0.0, 0.0}};
       },
       153, 0, "F: 0.000  U: 0.000  S: 0.000"},
      {"negative forward",
       [] {
         WindAccel = VECTOR3{{0.0, 0.0, -12345.0}};
       },
       153, 0, "F:-12.345  U: 0.000  S: 0.000"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    WindState = WindStateRecord{};
    WindAccel = VECTOR3{{0.0, 0.0, 0.0}};
    c.set();
    EXPECT_EQ(ValueAt(Draw(), c.y, c.index), c.text);
  }
}

TEST_F(Display, AccelerationIsTheForceOverThePagesVesselsMass) {
  ghost::Vessel& heavy = world_.AddVessel("GL-02", "Glider1", earth_);
  heavy.mass = 4000.0;
  glider_->mass = 1000.0;
  WindAccel = VECTOR3{{2000.0, -1000.0, 500.0}};
  EXPECT_EQ(ValueAt(Draw(ghost::DisplaySpec{}, heavy.iface.get()), 153, 0), "F: 0.125  U:-0.250  S: 0.500");
  EXPECT_EQ(ValueAt(Draw(ghost::DisplaySpec{}, glider_->iface.get()), 153, 0), "F: 0.500  U:-1.000  S: 2.000");
}

TEST_F(Display, UnitIsTwentyFourSingleByteCharactersWithSuperscriptTwo) {
  const std::string heading = ValueAt(Draw(), 140, 0);
  ASSERT_EQ(heading.size(), 24u);
  EXPECT_EQ(static_cast<unsigned char>(heading[22]), 0xB2);
  EXPECT_EQ(heading[23], ']');
}

TEST_F(Display, PageWithoutAVesselDrawsNoAccelerationValues) {
  const std::vector<ghost::TextRow> rows = ghost::RowsOf(Draw(ghost::DisplaySpec{}, nullptr));
  ASSERT_EQ(rows.size(), 9u);
  EXPECT_EQ(rows.back().y, 140);
}

TEST_F(Display, HugeValueIsDrawnCutToItsBufferNotPastIt) {
  WindState.windAltLimit = 1e300;
  const std::string limit = ValueAt(Draw(), 121);
  EXPECT_GT(limit.size(), 40u);
  EXPECT_LT(limit.size(), 64u);
  EXPECT_EQ(limit.substr(0, 2), "10");
}

// How the runtime spells infinity and NaN is its own; the row keeps its labels
// and stays within its buffer.
TEST_F(Display, MasslessVesselDrawsNonFiniteValuesWithinTheRow) {
  glider_->mass = 0.0;
  WindAccel = VECTOR3{{1.0, 0.0, -1.0}};
  const std::string row = ValueAt(Draw(), 153, 0);
  EXPECT_EQ(row.substr(0, 2), "F:") << row;
  EXPECT_NE(row.find("  U:"), std::string::npos) << row;
  EXPECT_NE(row.find("  S:"), std::string::npos) << row;
  EXPECT_LT(row.size(), 64u) << row;
}

}  // namespace
