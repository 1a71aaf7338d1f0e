// The FUS overlay: two annotations beside the centre of the view showing the
// focus vessel's airspeed forward, up and side, refreshed every 0.1 s of
// simulation time while it flies low with the internal camera and a HUD.
#include <cmath>
#include <cstdio>

#include "module/Module.h"
#include "module/WindState.h"

namespace {

constexpr double kRefreshInterval = 0.1;  // s of simulation time
constexpr double kMaxAltitude = 1000.0;   // m; hidden above
constexpr double kMaxShown = 99.9;        // m/s; larger magnitudes are shown as this

char fusLabels[] = "F\nU\nS";

// Appends one value line of six characters at most to text[0..used).
template <size_t N>
void AppendValue(char (&text)[N], int& used, double v) {
  char* end = text + used;
  const size_t room = N - static_cast<size_t>(used);
  int n;
  if (std::isnan(v)) {
    // An airspeed the host could not give is shown as no value, in the
    // width of a number, rather than as a plausible one.
    n = std::snprintf(end, room, "  ---\n");
  } else {
    if (std::fabs(v) > kMaxShown) v = std::copysign(kMaxShown, v);
    n = std::snprintf(end, room, "%5.1f\n", v);
  }
  if (n > 0) used += n < static_cast<int>(room) ? n : static_cast<int>(room) - 1;
}

}  // namespace

void MODU::clbkSimulationStart(RenderMode /*mode*/) {
  lastFusUpdate = 0.0;
  atmBody = NoBody();  // the next pre-step in an atmosphere sets the wind up afresh
  WindState.ClearWind();
  oapiGetViewportSize(&viewW, &viewH, nullptr);
  hFusLabels = oapiCreateAnnotation(true, 0.5, fusColours[FUScol]);
  hFusValues = oapiCreateAnnotation(true, 0.5, fusColours[FUScol]);
  LoadSettings();
  LayoutFusOverlay();
}

void MODU::clbkSimulationEnd() {
  oapiDelAnnotation(hFusValues);
  oapiDelAnnotation(hFusLabels);
  hFusValues = nullptr;
  hFusLabels = nullptr;
}

void MODU::clbkPostStep(double simt, double /*simdt*/, double /*mjd*/) {
  // Also true while the time stands before the last refresh (set back).
  if (!(simt - lastFusUpdate > kRefreshInterval)) return;

  // Three lines of at most six characters each.
  char values[3 * 6 + 1];
  int used = 0;
  values[0] = '\0';

  const bool show = oapiCameraInternal() && vessel && !(vessel->GetAltitude() > kMaxAltitude) &&
                    oapiCockpitMode() != COCKPIT_VIRTUAL && oapiGetHUDMode() != HUD_NONE && FUSoo != 0;
  if (show) {
    VECTOR3 v = {{0.0, 0.0, 0.0}};
    oapiGetFocusShipAirspeedVector(&v);
    oapiAnnotationSetText(hFusLabels, fusLabels);
    AppendValue(values, used, v.z);
    AppendValue(values, used, v.y);
    AppendValue(values, used, v.x);
    oapiAnnotationSetText(hFusValues, values);
  } else {
    oapiAnnotationSetText(hFusLabels, nullptr);
    oapiAnnotationSetText(hFusValues, nullptr);
    oapiAnnotationSetText(hFusValues, values);
  }
  lastFusUpdate = simt;
}
