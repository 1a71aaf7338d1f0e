#include "RecordingSketchpad.h"

#include <cstring>

namespace ghost {

DWORD RecordingSketchpad::SetTextColor(DWORD col) {
  DWORD previous = colour_;
  colour_ = col;
  return previous;
}

DWORD RecordingSketchpad::GetTextWidth(const char* str, int len) {
  size_t n = len > 0 ? static_cast<size_t>(len) : std::strlen(str);
  return static_cast<DWORD>(n) * static_cast<DWORD>(charWidth_);
}

bool RecordingSketchpad::Text(int x, int y, const char* str, int len) {
  calls_.push_back(TextCall{x, y, colour_, std::string(str, len > 0 ? static_cast<size_t>(len) : 0)});
  return true;
}

}  // namespace ghost
