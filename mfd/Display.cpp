// The page's drawing: text only, from the live settings, nothing kept between
// calls and nothing allocated.
#include <cstdarg>
#include <cstdio>

#include "module/Galeboard.h"
#include "module/Module.h"
#include "module/WindState.h"

namespace {

constexpr DWORD kGrey = 0xBBBBBB;  // every label

// Draws a literal with its own length.
template <size_t N>
void Label(oapi::Sketchpad* skp, int x, int y, const char (&text)[N]) {
  skp->Text(x, y, text, static_cast<int>(N - 1));
}

template <size_t N>
int Width(oapi::Sketchpad* skp, const char (&text)[N]) {
  return static_cast<int>(skp->GetTextWidth(text, 0));
}

// Formats into buf and draws what was produced. A value too wide for the
// buffer is drawn cut, never read past the buffer's end.
template <size_t N>
[[gnu::format(printf, 5, 6)]] void Number(oapi::Sketchpad* skp, int x, int y, char (&buf)[N], const char* format, ...) {
  std::va_list args;
  va_start(args, format);
  const int n = std::vsnprintf(buf, N, format, args);
  va_end(args);
  if (n <= 0) return;
  skp->Text(x, y, buf, n < static_cast<int>(N) ? n : static_cast<int>(N - 1));
}

}  // namespace

bool Galeboard::Update(oapi::Sketchpad* skp) {
  const WindStateRecord& w = WindState;
  const DWORD enabledColour = GetDefaultColour(0, 0);
  const DWORD disabledColour = GetDefaultColour(4, 0);
  const DWORD numberColour = GetDefaultColour(2, 0);
  char buf[64];

  // One and a half lines between rows, except between the three level rows
  // and between the acceleration heading and its values.
  const int c = static_cast<int>(ch);
  const int h = c / 2;
  const int r0 = 0;
  const int r1 = static_cast<int>(static_cast<double>(ch) * 1.5);
  const int r2 = r1 + c + h;
  const int r3 = r2 + h + c;
  const int r4 = r3 + c;
  const int r5 = r4 + c;
  const int r6 = r5 + c + h;
  const int r7 = r6 + c + h;
  const int r8 = r7 + c + h;
  const int r9 = r8 + c;

  skp->SetTextColor(GetDefaultColour(1, 0));
  Label(skp, static_cast<int>(W / 2) - Width(skp, "Galeboard") / 2, r0, "Galeboard");

  skp->SetTextColor(kGrey);
  Label(skp, 4, r1, "Status: ");
  const int statusX = 4 + Width(skp, "Status: ");
  if (w.WindOn) {
    skp->SetTextColor(enabledColour);
    Label(skp, statusX, r1, "enabled");
  } else {
    skp->SetTextColor(disabledColour);
    Label(skp, statusX, r1, "disabled");
  }

  skp->SetTextColor(kGrey);
  Label(skp, 4, r2, "When ship at rest: ");
  const int restX = 4 + Width(skp, "When ship at rest: ");
  if (moduleInstance->DisRest != 0) {
    skp->SetTextColor(disabledColour);
    Label(skp, restX, r2, "disabled");
  } else {
    skp->SetTextColor(enabledColour);
    Label(skp, restX, r2, "enabled");
  }

  // The labels are drawn without their closing blank, the column is measured with it.
  const int levelX = 4 + Width(skp, "Global wind: ");
  skp->SetTextColor(kGrey);
  Label(skp, 4, r3, "Global wind:");
  skp->SetTextColor(numberColour);
  Number(skp, levelX, r3, buf, "%2d", w.WNDlvl);
  skp->SetTextColor(kGrey);
  Label(skp, 4, r4, "Local wind :");
  skp->SetTextColor(numberColour);
  Number(skp, levelX, r4, buf, "%2d", w.TURlvl);
  skp->SetTextColor(kGrey);
  Label(skp, 4, r5, "Wind shear :");
  skp->SetTextColor(numberColour);
  Number(skp, levelX, r5, buf, "%2d", w.SHRlvl);

  skp->SetTextColor(kGrey);
  Label(skp, 4, r6, "Wind shear period: ");
  skp->SetTextColor(numberColour);
  Number(skp, 4 + Width(skp, "Wind shear period: "), r6, buf, "%5.1f", w.SHRt * 0.5);
  // Measured against the widest period, so the step keeps its place.
  skp->SetTextColor(GetDefaultColour(2, 1));
  Number(skp, 4 + Width(skp, "Wind shear period: 999.5 "), r6, buf, "(stp: %g)", w.SHRt_step[w.SHRt_stpI] * 0.5);

  skp->SetTextColor(kGrey);
  Label(skp, 4, r7, "Wind alt limit= ");
  skp->SetTextColor(numberColour);
  Number(skp, 4 + Width(skp, "Wind alt limit= "), r7, buf, "%.0f", w.windAltLimit);

  skp->SetTextColor(kGrey);
  // 0xB2 is the superscript two of the host's single-byte character set.
  Label(skp, 4, r8, "Wind acceleration [m/s\xB2]");
  // A page made without a vessel has no mass to divide by; it shows no values.
  if (pV) {
    const double m = pV->GetMass();
    skp->SetTextColor(numberColour);
    Number(skp, 2, r9, buf, "F:%6.3f  U:%6.3f  S:%6.3f", WindAccel.z / m, WindAccel.y / m, WindAccel.x / m);
  }
  return true;
}
