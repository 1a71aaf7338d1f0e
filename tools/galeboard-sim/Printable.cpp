#include "tools/galeboard-sim/Printable.h"

#include <cstdio>

namespace sim {

namespace {

bool Continuation(unsigned char c) { return (c & 0xC0) == 0x80; }

// The length of the UTF-8 character text starts with, or 0 when it does not
// start with one. Overlong two-byte forms (leads 0xC0, 0xC1) and leads past
// U+10FFFF are none; the longer forms are taken by their shape alone.
size_t CharacterLength(std::string_view text) {
  const unsigned char lead = static_cast<unsigned char>(text[0]);
  const size_t n = lead >= 0xC2 && lead <= 0xDF   ? 2
                   : lead >= 0xE0 && lead <= 0xEF ? 3
                   : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                  : 0;
  if (n == 0 || text.size() < n) return 0;
  for (size_t i = 1; i < n; ++i)
    if (!Continuation(static_cast<unsigned char>(text[i]))) return 0;
  return n;
}

// U+0080 to U+009F: C1 controls, which some terminals act on.
bool IsC1(std::string_view character) {
  return character.size() == 2 && static_cast<unsigned char>(character[0]) == 0xC2 &&
         static_cast<unsigned char>(character[1]) < 0xA0;
}

}  // namespace

std::string Printable(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c >= 0x20 && c < 0x7F) {
      out += static_cast<char>(c);
      ++i;
      continue;
    }
    const size_t n = c >= 0x80 ? CharacterLength(text.substr(i)) : 0;
    if (n > 0 && !IsC1(text.substr(i, n))) {
      out.append(text.substr(i, n));
      i += n;
      continue;
    }
    char escaped[5];
    std::snprintf(escaped, sizeof escaped, "\\x%02x", c);
    out += escaped;
    ++i;
  }
  return out;
}

}  // namespace sim
