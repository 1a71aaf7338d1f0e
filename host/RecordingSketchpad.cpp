#include "host/RecordingSketchpad.h"

#include <algorithm>
#include <cstring>

namespace ghost {

std::string TextRow::Joined() const {
  std::string s;
  for (const TextCall& c : calls) s += c.text;
  return s;
}

std::vector<TextRow> RowsOf(const std::vector<TextCall>& calls) {
  std::vector<TextRow> rows;
  for (const TextCall& c : calls) {
    auto it = std::find_if(rows.begin(), rows.end(), [&](const TextRow& r) { return r.y == c.y; });
    if (it == rows.end()) it = rows.insert(rows.end(), TextRow{c.y, {}});
    it->calls.push_back(c);
  }
  std::stable_sort(rows.begin(), rows.end(), [](const TextRow& a, const TextRow& b) { return a.y < b.y; });
  return rows;
}

DWORD RecordingSketchpad::SetTextColor(DWORD col) {
  DWORD previous = colour_;
  colour_ = col;
  return previous;
}

DWORD RecordingSketchpad::GetTextWidth(const char* str, int len) {
  size_t n = len > 0 ? static_cast<size_t>(len) : std::strlen(str);
  if (width_) return width_(std::string_view(str, n));
  return static_cast<DWORD>(n) * static_cast<DWORD>(charWidth_);
}

bool RecordingSketchpad::Text(int x, int y, const char* str, int len) {
  calls_.push_back(TextCall{x, y, colour_, std::string(str, len > 0 ? static_cast<size_t>(len) : 0)});
  return true;
}

}  // namespace ghost
