// The drawing surface that MFD pages draw their text on.
#pragma once

#include "OrbiterAPI.h"

namespace oapi {

class OAPIFUNC Sketchpad {
 public:
  Sketchpad();
  virtual ~Sketchpad();
  // Colours are 0xBBGGRR; returns the previous text colour.
  virtual DWORD SetTextColor(DWORD col);
  // Width in pixels of str in the current font; len 0 means up to the terminator.
  virtual DWORD GetTextWidth(const char* str, int len = 0);
  virtual bool Text(int x, int y, const char* str, int len);
};

}  // namespace oapi
