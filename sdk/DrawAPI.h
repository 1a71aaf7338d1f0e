// The drawing surface that MFD pages draw their text on.
#pragma once

#include "OrbiterAPI.h"

namespace oapi {

class Font;
class Pen;
class Brush;

// The first thirteen virtual operations, in the simulator's vtable order; the
// module calls SetTextColor (5), GetTextWidth (9) and Text (12). Later ones
// differ between the simulator's releases, and the module uses none of them.
class OAPIFUNC Sketchpad {
 public:
  enum TAlign_horizontal { LEFT, CENTER, RIGHT };
  enum TAlign_vertical { TOP, BASELINE, BOTTOM };
  enum BkgMode { BK_TRANSPARENT, BK_OPAQUE };

  explicit Sketchpad(SURFHANDLE s);
  virtual ~Sketchpad();
  // Each Set... returns what it replaces. The defaults draw nothing.
  virtual Font* SetFont(Font* font);
  virtual Pen* SetPen(Pen* pen);
  virtual Brush* SetBrush(Brush* brush);
  virtual void SetTextAlign(TAlign_horizontal tah = LEFT, TAlign_vertical tav = TOP);
  // Colours are 0xBBGGRR; returns the previous text colour.
  virtual DWORD SetTextColor(DWORD col);
  virtual DWORD SetBackgroundColor(DWORD col);
  virtual void SetBackgroundMode(BkgMode mode);
  virtual DWORD GetCharSize();
  // Width in pixels of str in the current font; len 0 means up to the terminator.
  virtual DWORD GetTextWidth(const char* str, int len = 0);
  virtual void SetOrigin(int x, int y);
  virtual void GetOrigin(int* x, int* y) const;
  virtual bool Text(int x, int y, const char* str, int len);

 protected:
  SURFHANDLE surf;  // the surface drawn on; null for none
};

}  // namespace oapi
