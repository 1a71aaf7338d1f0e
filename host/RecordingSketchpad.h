// A Sketchpad that records every text call, with a fixed-width font unless a
// test gives its own width function, so that tests and tools can read a page
// back as it was drawn.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "Orbitersdk.h"

namespace ghost {

struct TextCall {
  int x, y;
  DWORD colour;  // 0xBBGGRR, the text colour in force at the call
  std::string text;
};

// The text calls drawn at one y, in the order they were made.
struct TextRow {
  int y;
  std::vector<TextCall> calls;
  // The texts of the row joined, without regard to x.
  std::string Joined() const;
};

// Groups calls into rows by y, rows ordered top to bottom.
OAPIFUNC std::vector<TextRow> RowsOf(const std::vector<TextCall>& calls);

class OAPIFUNC RecordingSketchpad : public oapi::Sketchpad {
 public:
  // Width in pixels of a text in the current font.
  using WidthFunction = std::function<DWORD(std::string_view text)>;

  explicit RecordingSketchpad(int charWidth = 8) : Sketchpad(nullptr), charWidth_(charWidth) {}
  explicit RecordingSketchpad(WidthFunction width) : Sketchpad(nullptr), width_(std::move(width)) {}
  DWORD SetTextColor(DWORD col) override;
  DWORD GetTextWidth(const char* str, int len = 0) override;
  bool Text(int x, int y, const char* str, int len) override;

  const std::vector<TextCall>& calls() const { return calls_; }
  int charWidth() const { return charWidth_; }

 private:
  int charWidth_ = 8;
  WidthFunction width_;  // empty: charWidth_ per character
  DWORD colour_ = 0;
  std::vector<TextCall> calls_;
};

}  // namespace ghost
