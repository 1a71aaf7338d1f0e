// A Sketchpad that records every text call, with a fixed-width font, so that
// tests and tools can read a page back as it was drawn.
#pragma once

#include <string>
#include <vector>

#include "Orbitersdk.h"

namespace ghost {

struct TextCall {
  int x, y;
  DWORD colour;  // 0xBBGGRR
  std::string text;
};

class OAPIFUNC RecordingSketchpad : public oapi::Sketchpad {
 public:
  explicit RecordingSketchpad(int charWidth = 8) : charWidth_(charWidth) {}
  DWORD SetTextColor(DWORD col) override;
  DWORD GetTextWidth(const char* str, int len = 0) override;
  bool Text(int x, int y, const char* str, int len) override;

  const std::vector<TextCall>& calls() const { return calls_; }
  int charWidth() const { return charWidth_; }

 private:
  int charWidth_;
  DWORD colour_ = 0;
  std::vector<TextCall> calls_;
};

}  // namespace ghost
