// The page's drawing: text only, from the live settings, nothing kept between
// calls and nothing allocated. Below the title the page is a table of rows,
// each a grey label and the values right of it.
#include <cstdarg>
#include <cstdio>
#include <string_view>

#include "module/Galeboard.h"
#include "module/Module.h"
#include "module/WindState.h"

namespace {

constexpr DWORD kGrey = 0xBBBBBB;  // every label
constexpr int kLeft = 4;           // x of the labels; the value columns are measured from it

// What a drawing shows: the settings, the page's vessel and the host's colours.
struct PageInputs {
  const WindStateRecord& wind;
  const MODU& module;
  const VESSEL* vessel;
  DWORD enabled, disabled, number, step;
};

// A value as drawn: its text, how many of its characters (none when not above
// 0) and its colour.
struct Shown {
  char text[64];
  int length = 0;
  DWORD colour = 0;
};

// Formats a value. One too wide for its text is drawn cut, never read past
// the text's end.
[[gnu::format(printf, 3, 4)]] void Print(Shown& v, DWORD colour, const char* format, ...) {
  std::va_list args;
  va_start(args, format);
  const int n = std::vsnprintf(v.text, sizeof v.text, format, args);
  va_end(args);
  v.colour = colour;
  v.length = n < static_cast<int>(sizeof v.text) ? n : static_cast<int>(sizeof v.text) - 1;
}

// The values of the rows, each in its format and colour.
void ShowSwitch(Shown& v, const PageInputs& in, bool enabled) {
  if (enabled)
    Print(v, in.enabled, "enabled");
  else
    Print(v, in.disabled, "disabled");
}
void ShowWindOn(const PageInputs& in, Shown& v) { ShowSwitch(v, in, in.wind.WindOn); }
void ShowWindAtRest(const PageInputs& in, Shown& v) { ShowSwitch(v, in, in.module.DisRest == 0); }
void ShowGlobalLevel(const PageInputs& in, Shown& v) { Print(v, in.number, "%2d", in.wind.WNDlvl); }
void ShowLocalLevel(const PageInputs& in, Shown& v) { Print(v, in.number, "%2d", in.wind.TURlvl); }
void ShowShearLevel(const PageInputs& in, Shown& v) { Print(v, in.number, "%2d", in.wind.SHRlvl); }
// In minutes.
void ShowShearPeriod(const PageInputs& in, Shown& v) { Print(v, in.number, "%5.1f", in.wind.SHRt * 0.5); }
void ShowPeriodStep(const PageInputs& in, Shown& v) {
  Print(v, in.step, "(stp: %g)", in.wind.SHRt_step[in.wind.SHRt_stpI] * 0.5);
}
void ShowAltitudeLimit(const PageInputs& in, Shown& v) { Print(v, in.number, "%.0f", in.wind.windAltLimit); }
// The acceleration the last step applied, per kilogram of the page's vessel.
// A page made without a vessel has no mass to divide by; it shows no values.
void ShowAcceleration(const PageInputs& in, Shown& v) {
  if (!in.vessel) return;
  const double m = in.vessel->GetMass();
  Print(v, in.number, "F:%6.3f  U:%6.3f  S:%6.3f", WindAccel.z / m, WindAccel.y / m, WindAccel.x / m);
}

// A value at left plus the width of column (none: at left itself).
struct Value {
  int left;
  const char* column;
  void (*show)(const PageInputs& in, Shown& v);
};

// Space above a row: one and a half lines, except between the three level
// rows and between the acceleration heading and its values.
enum class Above { kLineAndAHalf, kLine };

struct PageRow {
  Above above;
  std::string_view label;  // grey, at kLeft; empty: none
  Value values[2];         // left to right; an empty one ends them
};

// Below the title, top to bottom. The level labels are drawn without their
// closing blank, the column is measured with it; the step is measured against
// the widest period, so that it keeps its place. 0xB2 is the superscript two
// of the host's single-byte character set.
constexpr PageRow kRows[] = {
    {Above::kLineAndAHalf, "Status: ", {{kLeft, "Status: ", ShowWindOn}}},
    {Above::kLineAndAHalf, "When ship at rest: ", {{kLeft, "When ship at rest: ", ShowWindAtRest}}},
    {Above::kLineAndAHalf, "Global wind:", {{kLeft, "Global wind: ", ShowGlobalLevel}}},
    {Above::kLine, "Local wind :", {{kLeft, "Global wind: ", ShowLocalLevel}}},
    {Above::kLine, "Wind shear :", {{kLeft, "Global wind: ", ShowShearLevel}}},
    {Above::kLineAndAHalf,
     "Wind shear period: ",
     {{kLeft, "Wind shear period: ", ShowShearPeriod}, {kLeft, "Wind shear period: 999.5 ", ShowPeriodStep}}},
    {Above::kLineAndAHalf, "Wind alt limit= ", {{kLeft, "Wind alt limit= ", ShowAltitudeLimit}}},
    {Above::kLineAndAHalf, "Wind acceleration [m/s\xB2]", {}},
    {Above::kLine, {}, {{2, nullptr, ShowAcceleration}}},
};

int Width(oapi::Sketchpad* skp, const char* text) { return static_cast<int>(skp->GetTextWidth(text, 0)); }

void DrawRow(oapi::Sketchpad* skp, const PageRow& row, int y, const PageInputs& in) {
  if (!row.label.empty()) {
    skp->SetTextColor(kGrey);
    skp->Text(kLeft, y, row.label.data(), static_cast<int>(row.label.size()));
  }
  for (const Value& value : row.values) {
    if (!value.show) break;
    const int x = value.left + (value.column ? Width(skp, value.column) : 0);
    Shown v;
    value.show(in, v);
    if (v.length <= 0) continue;
    skp->SetTextColor(v.colour);
    skp->Text(x, y, v.text, v.length);
  }
}

}  // namespace

bool Galeboard::Update(oapi::Sketchpad* skp) {
  const PageInputs in{.wind = WindState,
                      .module = *moduleInstance,
                      .vessel = pV,
                      .enabled = GetDefaultColour(0, 0),
                      .disabled = GetDefaultColour(4, 0),
                      .number = GetDefaultColour(2, 0),
                      .step = GetDefaultColour(2, 1)};
  constexpr std::string_view kTitle = "Galeboard";
  skp->SetTextColor(GetDefaultColour(1, 0));
  skp->Text(static_cast<int>(W / 2) - Width(skp, kTitle.data()) / 2, 0, kTitle.data(), static_cast<int>(kTitle.size()));

  const int line = static_cast<int>(ch);
  int y = 0;
  for (const PageRow& row : kRows) {
    y += row.above == Above::kLine ? line : line + line / 2;
    DrawRow(skp, row, y, in);
  }
  return true;
}
