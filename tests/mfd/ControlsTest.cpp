// The page's buttons and keys, on the module's own code.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "tests/mfd/PageFixture.h"

namespace {

using mfd_test::Settings;

class Controls : public mfd_test::PageFixture {
 protected:
  void SetUp() override {
    PageFixture::SetUp();
    page_ = MakePage(ghost::DisplaySpec{}, glider_->iface.get());
  }
  // The load values of every setting.
  void ResetSettings() {
    WindState = WindStateRecord{};
    module_->DisRest = 1;
    module_->FUSoo = 1;
    module_->FUScol = 0;
    module_->FUSsize = 5;
  }
  std::unique_ptr<Galeboard> page_;
};

// --- Labels and menu --------------------------------------------------------

struct ButtonText {
  const char* label;
  const char* line1;
  const char* line2;
};
constexpr ButtonText kButtonTexts[12] = {
    {"E/D", "Enable/disable", "the wind"},
    {"CLR", "Disable the wind", "and clear layers"},
    {"WND", "Global wind level", "inc/dec"},
    {"LOC", "Local wind level", "inc/dec"},
    {"SHR", "Wind shear level", "inc/dec"},
    {"TSH", "Wind shear period", "inc/dec"},
    {"DSR", "Disable wind when", "ship at rest"},
    {"adj", "Adjust the step", "for TSH"},
    {"", "", ""},
    {"FUS", "FUS show/hide", ""},
    {"col", "FUS color", ""},
    {"siz", "FUS size", "inc/dec"},
};

TEST_F(Controls, EveryButtonHasItsLabelAndTwoMenuLinesWithoutSelectCharacter) {
  const MFDBUTTONMENU* menu = nullptr;
  ASSERT_EQ(page_->ButtonMenu(&menu), 12);
  ASSERT_NE(menu, nullptr);
  for (int bt = 0; bt < 12; ++bt) {
    SCOPED_TRACE(bt);
    const char* label = page_->ButtonLabel(bt);
    ASSERT_NE(label, nullptr) << "an empty label is a text, not a missing one";
    EXPECT_STREQ(label, kButtonTexts[bt].label);
    // The records are packed: copy the fields out before binding references.
    const char* line1 = menu[bt].line1;
    const char* line2 = menu[bt].line2;
    const char selchar = menu[bt].selchar;
    ASSERT_NE(line1, nullptr);
    ASSERT_NE(line2, nullptr);
    EXPECT_STREQ(line1, kButtonTexts[bt].line1);
    EXPECT_STREQ(line2, kButtonTexts[bt].line2);
    EXPECT_EQ(selchar, 0);
  }
}

TEST_F(Controls, LabelOutsideTheTwelveButtonsIsNull) {
  for (int bt : {-1, 12, 13, INT_MIN, INT_MAX}) {
    SCOPED_TRACE(bt);
    EXPECT_EQ(page_->ButtonLabel(bt), nullptr);
  }
}

TEST_F(Controls, MenuWithoutAPlaceToStoreStillCountsTwelve) { EXPECT_EQ(page_->ButtonMenu(nullptr), 12); }

TEST_F(Controls, MenuAndLabelsAreOneConstantTableForEveryPage) {
  auto other = MakePage(ghost::DisplaySpec{}, glider_->iface.get());
  const MFDBUTTONMENU* a = nullptr;
  const MFDBUTTONMENU* b = nullptr;
  page_->ButtonMenu(&a);
  other->ButtonMenu(&b);
  EXPECT_EQ(a, b);
  EXPECT_EQ(page_->ButtonLabel(3), other->ButtonLabel(3));
}

// --- Clicks to keys -----------------------------------------------------------

// Records the key a click hands on and answers with a chosen result, so that
// both the mapping and the passing-through of the result show.
class KeySpy : public Galeboard {
 public:
  using Galeboard::Galeboard;
  bool ConsumeKeyBuffered(DWORD key) override {
    keys.push_back(key);
    return answer;
  }
  std::vector<DWORD> keys;
  bool answer = true;
};

constexpr DWORD kNone = 0;
struct ClickCase {
  int button;
  DWORD left, right;
};
constexpr ClickCase kClicks[] = {
    {0, OAPI_KEY_E, kNone},      {1, OAPI_KEY_C, kNone},       {2, OAPI_KEY_Q, OAPI_KEY_W},
    {3, OAPI_KEY_A, OAPI_KEY_S}, {4, OAPI_KEY_Z, OAPI_KEY_X},  {5, OAPI_KEY_O, OAPI_KEY_P},
    {6, OAPI_KEY_D, kNone},      {7, OAPI_KEY_K, OAPI_KEY_L},  {8, kNone, kNone},
    {9, OAPI_KEY_F, OAPI_KEY_F}, {10, OAPI_KEY_N, OAPI_KEY_M}, {11, OAPI_KEY_V, OAPI_KEY_B},
    {-1, kNone, kNone},          {12, kNone, kNone},           {INT_MIN, kNone, kNone},
};

TEST_F(Controls, ClickHandsItsKeyToTheVirtualKeyOperationAndReturnsItsResult) {
  KeySpy spy(256, 256, glider_->iface.get());
  struct EventCase {
    int event;
    const char* what;
  };
  const EventCase events[] = {
      {PANEL_MOUSE_LBDOWN, "left"},
      {PANEL_MOUSE_RBDOWN, "right"},
      {PANEL_MOUSE_LBDOWN | PANEL_MOUSE_RBDOWN, "both flags act as left"},
      {0, "no press"},
      {0x04, "another flag only"},
  };
  for (const ClickCase& c : kClicks) {
    for (const EventCase& e : events) {
      SCOPED_TRACE(std::to_string(c.button) + ", " + e.what);
      const DWORD want = (e.event & PANEL_MOUSE_LBDOWN) ? c.left : (e.event & PANEL_MOUSE_RBDOWN) ? c.right : kNone;
      for (bool answer : {true, false}) {
        spy.keys.clear();
        spy.answer = answer;
        const bool result = spy.ConsumeButton(c.button, e.event);
        if (want == kNone) {
          EXPECT_TRUE(spy.keys.empty());
          EXPECT_FALSE(result);
        } else {
          EXPECT_EQ(spy.keys, std::vector<DWORD>{want});
          EXPECT_EQ(result, answer);
        }
      }
    }
  }
}

TEST_F(Controls, RightClickOnAButtonWithoutRightActionChangesNothing) {
  WindState.WindOn = true;
  const Settings before = Settings::Now();
  for (int bt : {0, 1, 6, 8}) {
    SCOPED_TRACE(bt);
    EXPECT_FALSE(page_->ConsumeButton(bt, PANEL_MOUSE_RBDOWN));
    EXPECT_EQ(Settings::Now(), before);
  }
  EXPECT_FALSE(page_->ConsumeButton(8, PANEL_MOUSE_LBDOWN));
  EXPECT_EQ(Settings::Now(), before);
}

TEST_F(Controls, BothClicksOnTheOverlayButtonToggleIt) {
  EXPECT_TRUE(page_->ConsumeButton(9, PANEL_MOUSE_LBDOWN));
  EXPECT_EQ(moduleInstance->FUSoo, 0);
  EXPECT_TRUE(page_->ConsumeButton(9, PANEL_MOUSE_RBDOWN));
  EXPECT_EQ(moduleInstance->FUSoo, 1);
}

TEST_F(Controls, LeftClickLowersAndRightClickRaisesTheGlobalWind) {
  WindState.WNDlvl = 5;
  EXPECT_TRUE(page_->ConsumeButton(2, PANEL_MOUSE_LBDOWN));
  EXPECT_EQ(WindState.WNDlvl, 4);
  EXPECT_TRUE(page_->ConsumeButton(2, PANEL_MOUSE_RBDOWN | PANEL_MOUSE_LBDOWN));
  EXPECT_EQ(WindState.WNDlvl, 3);
  EXPECT_TRUE(page_->ConsumeButton(2, PANEL_MOUSE_RBDOWN));
  EXPECT_EQ(WindState.WNDlvl, 4);
}

// --- Keys on the numbered settings ------------------------------------------------

enum class Field { WNDlvl, TURlvl, SHRlvl, SHRt, SHRt_stpI, DisRest, FUSoo, FUScol, FUSsize };

int32_t& Ref(Field f) {
  switch (f) {
    case Field::WNDlvl:
      return WindState.WNDlvl;
    case Field::TURlvl:
      return WindState.TURlvl;
    case Field::SHRlvl:
      return WindState.SHRlvl;
    case Field::SHRt:
      return WindState.SHRt;
    case Field::SHRt_stpI:
      return WindState.SHRt_stpI;
    case Field::DisRest:
      return moduleInstance->DisRest;
    case Field::FUSoo:
      return moduleInstance->FUSoo;
    case Field::FUScol:
      return moduleInstance->FUScol;
    case Field::FUSsize:
      return moduleInstance->FUSsize;
  }
  return WindState.WNDlvl;
}

struct KeyCase {
  const char* what;
  DWORD key;
  Field field;
  int32_t before, after;
  bool result;
  int32_t stepIndex = 0;  // for the period keys
};

const KeyCase kKeyCases[] = {
    {"Q lowers the global wind", OAPI_KEY_Q, Field::WNDlvl, 5, 4, true},
    {"Q from 0 wraps to the top", OAPI_KEY_Q, Field::WNDlvl, 0, 10, true},
    {"W raises the global wind", OAPI_KEY_W, Field::WNDlvl, 9, 10, true},
    {"W from the top wraps to 0", OAPI_KEY_W, Field::WNDlvl, 10, 0, true},
    {"A lowers the local wind", OAPI_KEY_A, Field::TURlvl, 1, 0, true},
    {"A from 0 wraps to the top", OAPI_KEY_A, Field::TURlvl, 0, 10, true},
    {"S raises the local wind", OAPI_KEY_S, Field::TURlvl, 3, 4, true},
    {"S from the top wraps to 0", OAPI_KEY_S, Field::TURlvl, 10, 0, true},
    {"Z lowers the shear", OAPI_KEY_Z, Field::SHRlvl, 10, 9, true},
    {"Z from 0 wraps to the top", OAPI_KEY_Z, Field::SHRlvl, 0, 10, true},
    {"X raises the shear", OAPI_KEY_X, Field::SHRlvl, 0, 1, true},
    {"X from the top wraps to 0", OAPI_KEY_X, Field::SHRlvl, 10, 0, true},
    {"O lowers the period by step 1", OAPI_KEY_O, Field::SHRt, 10, 9, true, 0},
    {"O lowers the period by step 100", OAPI_KEY_O, Field::SHRt, 150, 50, true, 2},
    {"O to exactly 0 stays 0", OAPI_KEY_O, Field::SHRt, 10, 0, true, 1},
    {"O below 0 goes to the far end, not modulo", OAPI_KEY_O, Field::SHRt, 5, 1999, true, 1},
    {"O from 0 by step 1 goes to the far end", OAPI_KEY_O, Field::SHRt, 0, 1999, true, 0},
    {"P raises the period by step 10", OAPI_KEY_P, Field::SHRt, 10, 20, true, 1},
    {"P to exactly 1999 stays", OAPI_KEY_P, Field::SHRt, 1899, 1999, true, 2},
    {"P above 1999 goes to 0, not modulo", OAPI_KEY_P, Field::SHRt, 1995, 0, true, 1},
    {"P from 1999 by step 1 goes to 0", OAPI_KEY_P, Field::SHRt, 1999, 0, true, 0},
    {"K lowers the step index", OAPI_KEY_K, Field::SHRt_stpI, 2, 1, true},
    {"K from 0 wraps to 2", OAPI_KEY_K, Field::SHRt_stpI, 0, 2, true},
    {"L raises the step index", OAPI_KEY_L, Field::SHRt_stpI, 0, 1, true},
    {"L from 2 wraps to 0", OAPI_KEY_L, Field::SHRt_stpI, 2, 0, true},
    {"D enables the wind at rest", OAPI_KEY_D, Field::DisRest, 1, 0, true},
    {"D disables it again", OAPI_KEY_D, Field::DisRest, 0, 1, true},
    {"F hides the overlay", OAPI_KEY_F, Field::FUSoo, 1, 0, true},
    {"F shows it again", OAPI_KEY_F, Field::FUSoo, 0, 1, true},
    {"N lowers the overlay colour", OAPI_KEY_N, Field::FUScol, 2, 1, false},
    {"N from 0 wraps to 3", OAPI_KEY_N, Field::FUScol, 0, 3, false},
    {"M raises the overlay colour", OAPI_KEY_M, Field::FUScol, 1, 2, false},
    {"M from 3 wraps to 0", OAPI_KEY_M, Field::FUScol, 3, 0, false},
    {"V shrinks the overlay", OAPI_KEY_V, Field::FUSsize, 5, 4, false},
    {"V stops at 1", OAPI_KEY_V, Field::FUSsize, 1, 1, false},
    {"B grows the overlay", OAPI_KEY_B, Field::FUSsize, 9, 10, false},
    {"B stops at 10", OAPI_KEY_B, Field::FUSsize, 10, 10, false},
};

TEST_F(Controls, KeyChangesItsOneSettingWithWrapOrStopAndGivesItsResult) {
  for (const KeyCase& c : kKeyCases) {
    SCOPED_TRACE(c.what);
    ResetSettings();
    WindState.SHRt_stpI = c.stepIndex;
    Ref(c.field) = c.after;
    const Settings want = Settings::Now();  // every setting as before, but the one
    Ref(c.field) = c.before;

    EXPECT_EQ(page_->ConsumeKeyBuffered(c.key), c.result);
    EXPECT_EQ(Ref(c.field), c.after);
    EXPECT_EQ(Settings::Now(), want) << "another setting changed";
  }
}

// --- Resets of the model state --------------------------------------------------

struct ResetCase {
  const char* what;
  DWORD key;
  int32_t levelBefore;
  bool localReset, shearReset;
};
const ResetCase kResetCases[] = {
    {"S from 0 starts the local wind with fresh ramps", OAPI_KEY_S, 0, true, false},
    {"S from 3 keeps the running ramps", OAPI_KEY_S, 3, false, false},
    {"S from the top wraps to 0 without a reset", OAPI_KEY_S, 10, false, false},
    {"A from 0 wraps to the top without a reset", OAPI_KEY_A, 0, false, false},
    {"X from 0 starts the shear with no event running", OAPI_KEY_X, 0, false, true},
    {"X from 5 keeps the running event", OAPI_KEY_X, 5, false, false},
    {"Z from 0 wraps to the top without a reset", OAPI_KEY_Z, 0, false, false},
};

TEST_F(Controls, RaisingALevelFromZeroAloneResetsItsTimers) {
  const WindRamp running{7.0, 1.0, 2.0, 0.5, 3.0};
  for (const ResetCase& c : kResetCases) {
    SCOPED_TRACE(c.what);
    ResetSettings();
    for (WindRamp& r : WindState.localWind) r = running;
    WindState.shearRise = WindState.shearFall = WindState.shearTurn = running;
    WindState.shearClock = 42.0;
    const bool local = c.key == OAPI_KEY_S || c.key == OAPI_KEY_A;
    (local ? WindState.TURlvl : WindState.SHRlvl) = c.levelBefore;

    EXPECT_TRUE(page_->ConsumeKeyBuffered(c.key));

    // Only timeLeft goes; the rest of each ramp stays for the model to overwrite.
    WindRamp reset = running;
    reset.timeLeft = 0.0;
    auto same = [](const WindRamp& a, const WindRamp& b) {
      return a.timeLeft == b.timeLeft && a.startValue == b.startValue && a.endValue == b.endValue && a.rate == b.rate &&
             a.holdLeft == b.holdLeft;
    };
    for (int i = 0; i < 3; ++i) {
      SCOPED_TRACE("local channel " + std::to_string(i));
      EXPECT_TRUE(same(WindState.localWind[i], c.localReset ? reset : running));
    }
    EXPECT_TRUE(same(WindState.shearRise, c.shearReset ? reset : running));
    EXPECT_TRUE(same(WindState.shearFall, c.shearReset ? reset : running));
    EXPECT_TRUE(same(WindState.shearTurn, c.shearReset ? reset : running));
    EXPECT_EQ(WindState.shearClock, 42.0);
  }
}

// --- Wind on, off and clear --------------------------------------------------------

void GiveLayers(int n) {
  WindState.layers.clear();
  for (int i = 0; i < n; ++i) WindState.layers.push_back(WindLayer{i * 500.0, 0.5, 1.0});
  WindState.layerCount = n;
}

TEST_F(Controls, WindKeySwitchesOnKeepingTheLayersItHas) {
  GiveLayers(3);
  const std::vector<WindLayer> layers = WindState.layers;
  EXPECT_TRUE(page_->ConsumeKeyBuffered(OAPI_KEY_E));
  EXPECT_TRUE(WindState.WindOn);
  EXPECT_EQ(WindState.layerCount, 3);
  ASSERT_EQ(WindState.layers.size(), 3u);
  EXPECT_EQ(std::memcmp(WindState.layers.data(), layers.data(), sizeof(WindLayer) * 3), 0);
}

TEST_F(Controls, WindKeySwitchesOffKeepingTheLayers) {
  GiveLayers(2);
  WindState.WindOn = true;
  EXPECT_TRUE(page_->ConsumeKeyBuffered(OAPI_KEY_E));
  EXPECT_FALSE(WindState.WindOn);
  EXPECT_EQ(WindState.layerCount, 2);
  EXPECT_EQ(WindState.layers.size(), 2u);
}

TEST_F(Controls, ClearKeySwitchesOffAndForgetsTheLayersButNotTheLimitOrModel) {
  GiveLayers(4);
  const size_t capacity = WindState.layers.capacity();
  WindState.WindOn = true;
  WindState.windAltLimit = 12000.0;
  WindState.localWind[1].timeLeft = 3.0;
  WindState.shearClock = 9.0;
  EXPECT_TRUE(page_->ConsumeKeyBuffered(OAPI_KEY_C));
  EXPECT_FALSE(WindState.WindOn);
  EXPECT_EQ(WindState.layerCount, 0);
  EXPECT_TRUE(WindState.layers.empty());
  EXPECT_EQ(WindState.layers.capacity(), capacity);
  EXPECT_EQ(WindState.windAltLimit, 12000.0);
  EXPECT_EQ(WindState.localWind[1].timeLeft, 3.0);
  EXPECT_EQ(WindState.shearClock, 9.0);
  // Clearing twice is harmless and still consumes the key.
  EXPECT_TRUE(page_->ConsumeKeyBuffered(OAPI_KEY_C));
  EXPECT_FALSE(WindState.WindOn);
}

TEST_F(Controls, ClearThenWindKeyBuildsAFreshSetUpToTheLimit) {
  GiveLayers(3);
  WindState.windAltLimit = 5000.0;
  for (WindRamp& r : WindState.localWind) r.timeLeft = 7.0;
  EXPECT_TRUE(page_->ConsumeKeyBuffered(OAPI_KEY_C));
  EXPECT_TRUE(page_->ConsumeKeyBuffered(OAPI_KEY_E));
  EXPECT_TRUE(WindState.WindOn);
  ASSERT_GE(WindState.layerCount, 2);
  EXPECT_EQ(WindState.layers.size(), static_cast<size_t>(WindState.layerCount));
  EXPECT_EQ(WindState.layers.front().altitude, 0.0);
  EXPECT_EQ(WindState.layers.back().altitude, 5000.0);
  for (const WindRamp& r : WindState.localWind) EXPECT_EQ(r.timeLeft, 0.0) << "switching on resets the local wind";
}

// The overlay keys lay the overlay out again, also when the size stops.
TEST_F(Controls, OverlayKeysLayTheOverlayOutAgain) {
  module_->viewW = 1280;
  module_->viewH = 800;
  module_->hFusLabels = oapiCreateAnnotation(true, 0.5, module_->fusColours[0]);
  module_->hFusValues = oapiCreateAnnotation(true, 0.5, module_->fusColours[0]);
  struct Case {
    const char* what;
    DWORD key;
    int32_t colourBefore, sizeBefore, colourAfter, sizeAfter;
  };
  const Case cases[] = {
      {"N from 0", OAPI_KEY_N, 0, 5, 3, 5}, {"M from 1", OAPI_KEY_M, 1, 5, 2, 5}, {"M from 3", OAPI_KEY_M, 3, 5, 0, 5},
      {"V from 5", OAPI_KEY_V, 2, 5, 2, 4}, {"V at 1", OAPI_KEY_V, 2, 1, 2, 1},   {"B at 10", OAPI_KEY_B, 1, 10, 1, 10},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    module_->FUScol = c.colourBefore;
    module_->FUSsize = c.sizeBefore;
    for (ghost::Annotation& a : world_.annotations) {
      a.size = 9.0;  // neither key nor layout would give this
      a.colour = _V(9.0, 9.0, 9.0);
    }
    EXPECT_FALSE(page_->ConsumeKeyBuffered(c.key));
    EXPECT_EQ(module_->FUScol, c.colourAfter);
    EXPECT_EQ(module_->FUSsize, c.sizeAfter);
    const VECTOR3& want = module_->fusColours[c.colourAfter];
    for (const ghost::Annotation& a : world_.annotations) {
      EXPECT_EQ(a.size, c.sizeAfter / 10.0);
      EXPECT_EQ(a.colour.x, want.x);
      EXPECT_EQ(a.colour.y, want.y);
      EXPECT_EQ(a.colour.z, want.z);
    }
  }
}

// --- Keys the page does not use -----------------------------------------------------

TEST_F(Controls, UnusedKeyIsNotConsumedAndChangesNothing) {
  const DWORD used[] = {OAPI_KEY_Q, OAPI_KEY_W, OAPI_KEY_E, OAPI_KEY_O, OAPI_KEY_P, OAPI_KEY_A,
                        OAPI_KEY_S, OAPI_KEY_D, OAPI_KEY_F, OAPI_KEY_K, OAPI_KEY_L, OAPI_KEY_Z,
                        OAPI_KEY_X, OAPI_KEY_C, OAPI_KEY_V, OAPI_KEY_B, OAPI_KEY_N, OAPI_KEY_M};
  std::vector<DWORD> unused = {0xFFFFFFFFu, 0x80000000u, 0x100u + OAPI_KEY_E, 255u};
  for (DWORD k = 0; k <= 60; ++k)
    if (std::find(std::begin(used), std::end(used), k) == std::end(used)) unused.push_back(k);
  WindState.WNDlvl = 4;
  WindState.WindOn = true;
  const Settings before = Settings::Now();
  for (DWORD k : unused) {
    SCOPED_TRACE(k);
    EXPECT_FALSE(page_->ConsumeKeyBuffered(k));
    EXPECT_EQ(Settings::Now(), before);
  }
}

TEST_F(Controls, EveryPageEditsTheSameSettings) {
  auto other = MakePage(ghost::DisplaySpec{}, glider_->iface.get());
  page_->ConsumeKeyBuffered(OAPI_KEY_W);
  other->ConsumeKeyBuffered(OAPI_KEY_W);
  EXPECT_EQ(WindState.WNDlvl, 2);
}

}  // namespace
