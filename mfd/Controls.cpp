// The page's buttons and keys. Every edit happens in ConsumeKeyBuffered; a
// button click only picks the key that does the same.
#include <cassert>

#include "module/Galeboard.h"
#include "module/Module.h"
#include "module/WindState.h"

namespace {

constexpr int kButtons = 12;

constexpr const char* kLabels[kButtons] = {"E/D", "CLR", "WND", "LOC", "SHR", "TSH",
                                           "DSR", "adj", "",    "FUS", "col", "siz"};

constexpr MFDBUTTONMENU kMenu[kButtons] = {
    {"Enable/disable", "the wind", 0},
    {"Disable the wind", "and clear layers", 0},
    {"Global wind level", "inc/dec", 0},
    {"Local wind level", "inc/dec", 0},
    {"Wind shear level", "inc/dec", 0},
    {"Wind shear period", "inc/dec", 0},
    {"Disable wind when", "ship at rest", 0},
    {"Adjust the step", "for TSH", 0},
    {"", "", 0},
    {"FUS show/hide", "", 0},
    {"FUS color", "", 0},
    {"FUS size", "inc/dec", 0},
};

// Key of a left and of a right press on each button; 0: the press does nothing.
struct ButtonKeys {
  DWORD left, right;
};
constexpr ButtonKeys kButtonKeys[kButtons] = {
    {OAPI_KEY_E, 0},          {OAPI_KEY_C, 0},          {OAPI_KEY_Q, OAPI_KEY_W},
    {OAPI_KEY_A, OAPI_KEY_S}, {OAPI_KEY_Z, OAPI_KEY_X}, {OAPI_KEY_O, OAPI_KEY_P},
    {OAPI_KEY_D, 0},          {OAPI_KEY_K, OAPI_KEY_L}, {0, 0},
    {OAPI_KEY_F, OAPI_KEY_F}, {OAPI_KEY_N, OAPI_KEY_M}, {OAPI_KEY_V, OAPI_KEY_B},
};

constexpr int32_t kMaxShearPeriod = 1999;  // half-minutes
constexpr int32_t kMaxStepIndex = 2;
constexpr int32_t kMaxFusColour = 3;
constexpr int32_t kMinFusSize = 1;
constexpr int32_t kMaxFusSize = 10;

// One step down, from 0 round to max.
void Lower(int32_t& v, int32_t max) {
  --v;
  if (v < 0) v = max;
}

// One step up, from max round to 0.
void Raise(int32_t& v, int32_t max) {
  ++v;
  if (v > max) v = 0;
}

// Switching the wind on makes layers unless there are some, and starts the
// local wind afresh.
void SwitchWind() {
  WindStateRecord& w = WindState;
  if (w.WindOn) {
    w.WindOn = false;
  } else {
    w.GenerateLayers();
    w.WindOn = true;
  }
}

// A local wind that starts from level 0 begins with fresh ramps.
void RaiseLocalWind() {
  WindStateRecord& w = WindState;
  if (w.TURlvl == 0)
    for (WindRamp& r : w.localWind) r.timeLeft = 0.0;
  Raise(w.TURlvl, w.TURmax);
}

// Likewise a shear that starts from level 0 begins with no event running.
void RaiseShear() {
  WindStateRecord& w = WindState;
  if (w.SHRlvl == 0) {
    w.shearRise.timeLeft = 0.0;
    w.shearFall.timeLeft = 0.0;
    w.shearTurn.timeLeft = 0.0;
  }
  Raise(w.SHRlvl, w.SHRmax);
}

// The step the period keys move it by.
int32_t PeriodStep() {
  const WindStateRecord& w = WindState;
  assert(w.SHRt_stpI >= 0 && w.SHRt_stpI <= kMaxStepIndex);
  return w.SHRt_step[w.SHRt_stpI];
}

// The period goes to the far end of its range rather than modulo.
void LowerPeriod() {
  WindState.SHRt -= PeriodStep();
  if (WindState.SHRt < 0) WindState.SHRt = kMaxShearPeriod;
}

void RaisePeriod() {
  WindState.SHRt += PeriodStep();
  if (WindState.SHRt > kMaxShearPeriod) WindState.SHRt = 0;
}

// The overlay's size stops at its ends.
void ShrinkOverlay() {
  if (moduleInstance->FUSsize > kMinFusSize) --moduleInstance->FUSsize;
}

void GrowOverlay() {
  if (moduleInstance->FUSsize < kMaxFusSize) ++moduleInstance->FUSsize;
}

// What follows a key's action: the page consumes the key, or, for the
// overlay's keys, the overlay is laid out anew and the key left to the host.
enum class Then { kConsume, kLayOutOverlay };

struct KeyAction {
  DWORD key;
  void (*act)();
  Then then;
};

constexpr KeyAction kKeyActions[] = {
    {OAPI_KEY_E, SwitchWind, Then::kConsume},
    {OAPI_KEY_C, [] { WindState.ClearWind(); }, Then::kConsume},
    {OAPI_KEY_Q, [] { Lower(WindState.WNDlvl, WindState.WNDmax); }, Then::kConsume},
    {OAPI_KEY_W, [] { Raise(WindState.WNDlvl, WindState.WNDmax); }, Then::kConsume},
    {OAPI_KEY_A, [] { Lower(WindState.TURlvl, WindState.TURmax); }, Then::kConsume},
    {OAPI_KEY_S, RaiseLocalWind, Then::kConsume},
    {OAPI_KEY_Z, [] { Lower(WindState.SHRlvl, WindState.SHRmax); }, Then::kConsume},
    {OAPI_KEY_X, RaiseShear, Then::kConsume},
    {OAPI_KEY_O, LowerPeriod, Then::kConsume},
    {OAPI_KEY_P, RaisePeriod, Then::kConsume},
    {OAPI_KEY_K, [] { Lower(WindState.SHRt_stpI, kMaxStepIndex); }, Then::kConsume},
    {OAPI_KEY_L, [] { Raise(WindState.SHRt_stpI, kMaxStepIndex); }, Then::kConsume},
    {OAPI_KEY_D, [] { moduleInstance->DisRest = 1 - moduleInstance->DisRest; }, Then::kConsume},
    // The overlay reads FUSoo at its next refresh.
    {OAPI_KEY_F, [] { moduleInstance->FUSoo = 1 - moduleInstance->FUSoo; }, Then::kConsume},
    {OAPI_KEY_N, [] { Lower(moduleInstance->FUScol, kMaxFusColour); }, Then::kLayOutOverlay},
    {OAPI_KEY_M, [] { Raise(moduleInstance->FUScol, kMaxFusColour); }, Then::kLayOutOverlay},
    {OAPI_KEY_V, ShrinkOverlay, Then::kLayOutOverlay},
    {OAPI_KEY_B, GrowOverlay, Then::kLayOutOverlay},
};

}  // namespace

char* Galeboard::ButtonLabel(int bt) {
  if (static_cast<unsigned>(bt) >= static_cast<unsigned>(kButtons)) return nullptr;
  // The SDK's signature wants a mutable text; the host only reads it.
  return const_cast<char*>(kLabels[bt]);
}

int Galeboard::ButtonMenu(const MFDBUTTONMENU** menu) const {
  if (menu) *menu = kMenu;
  return kButtons;
}

bool Galeboard::ConsumeButton(int bt, int event) {
  if (static_cast<unsigned>(bt) >= static_cast<unsigned>(kButtons)) return false;
  DWORD key = 0;
  if (event & PANEL_MOUSE_LBDOWN)
    key = kButtonKeys[bt].left;
  else if (event & PANEL_MOUSE_RBDOWN)
    key = kButtonKeys[bt].right;
  if (key == 0) return false;
  return ConsumeKeyBuffered(key);
}

bool Galeboard::ConsumeKeyBuffered(DWORD key) {
  for (const KeyAction& k : kKeyActions) {
    if (k.key != key) continue;
    k.act();
    if (k.then == Then::kConsume) return true;
    moduleInstance->LayoutFusOverlay();
    return false;
  }
  return false;
}
