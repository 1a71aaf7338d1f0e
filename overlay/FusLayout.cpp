#include "module/Module.h"

void MODU::LayoutFusOverlay() {
  if (!hFusLabels) return;
  // A viewport without size has no place for the overlay.
  if (viewW == 0 || viewH == 0) return;
  const double W = static_cast<double>(viewW);
  const double H = static_cast<double>(viewH);
  const double s = FUSsize / 10.0;
  const double half = static_cast<double>(viewW / 2);
  // One unit is W / 80 at this size; the top edge comes out at
  // 0.5 - 0.09 * s of the height for every viewport.
  const double a = (W / 80.0) * s;
  const double b = ((H / 50.0) * s) * 4.5;
  const double top = 0.5 - b / H;

  // Values two units left of the centre, their letters one unit right of it.
  oapiAnnotationSetPos(hFusLabels, (half + a) / W, top, 1.0, 1.0);
  oapiAnnotationSetSize(hFusLabels, s);
  oapiAnnotationSetPos(hFusValues, (half - a * 2.0) / W, top, 1.0, 1.0);
  oapiAnnotationSetSize(hFusValues, s);
  const int32_t colour = FUScol < 0 ? 0 : FUScol > 3 ? 3 : FUScol;
  oapiAnnotationSetColour(hFusLabels, fusColours[colour]);
  oapiAnnotationSetColour(hFusValues, fusColours[colour]);
}
