// Text shown on a terminal: control characters escaped, UTF-8 letters kept.
#include <gtest/gtest.h>

#include "tools/galeboard-sim/Printable.h"

namespace {

TEST(Printable, EscapesControlCharactersAndKeepsTheRest) {
  const struct {
    const char* what;
    std::string text;
    std::string shown;
  } cases[] = {
      {"plain text as it is", "Glider1 at 800 m", "Glider1 at 800 m"},
      {"escape and bell (C0)", "a\x1b[31mb\a", "a\\x1b[31mb\\x07"},
      {"tab and line break", "a\tb\nc", "a\\x09b\\x0ac"},
      {"delete", "a\x7f", "a\\x7f"},
      {"a NUL byte", std::string("a\0b", 3), "a\\x00b"},
      {"UTF-8 letters kept", "M\xc3\xb6we \xe2\x82\xac \xf0\x9f\x9b\xab", "M\xc3\xb6we \xe2\x82\xac \xf0\x9f\x9b\xab"},
      {"CSI as a C1 character in UTF-8",
       "a\xc2\x9b"
       "31m",
       "a\\xc2\\x9b31m"},
      {"no-break space, just past C1, kept",
       "a\xc2\xa0"
       "b",
       "a\xc2\xa0"
       "b"},
      {"a lone byte of the code page", "m/s\xb2", "m/s\\xb2"},
      {"a character cut short", "a\xe2\x82", "a\\xe2\\x82"},
      {"a lead byte before an escape, which is no continuation", "\xc3\x1b[2J", "\\xc3\\x1b[2J"},
      {"overlong form of an escape", "\xc0\x9b", "\\xc0\\x9b"},
  };
  for (const auto& c : cases) EXPECT_EQ(sim::Printable(c.text), c.shown) << c.what;
}

}  // namespace
