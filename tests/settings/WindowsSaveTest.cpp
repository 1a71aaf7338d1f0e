// The check that a save's copy of the settings file makes before it takes
// the file's place, against the system's profile functions (Windows only:
// elsewhere a save writes the file itself). Each case is a file and a copy
// that a save could leave: whole, or cut somewhere by a full disk.
#include <gtest/gtest.h>

#include <cctype>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "settings/WindowsSave.h"
#include "tests/support/TestSupport.h"

namespace {

using testing_support::ScratchFolder;
using testing_support::WriteFile;

// What the save wrote into [Glider1Mars].
const std::vector<std::pair<std::string, std::string>> kWritten = {{"WNDlvl", "7"}, {"WindOn", "1"}};

struct CopyCase {
  const char* what;
  const char* file;  // null: none
  std::string copy;
  bool holds;
};

void PrintTo(const CopyCase& c, std::ostream* os) { *os << c.what; }

class SaveCopy : public ::testing::TestWithParam<CopyCase> {};

TEST_P(SaveCopy, HoldsTheSaveOnlyWhenNothingIsLost) {
  const CopyCase& c = GetParam();
  ScratchFolder folder;
  const std::string file = (folder / "Galeboard.cfg").string(), copy = (folder / "Galeboard.cf~").string();
  if (c.file) WriteFile(file, c.file);
  WriteFile(copy, c.copy);
  EXPECT_EQ(CopyHoldsTheSave(file.c_str(), copy.c_str(), "Glider1Mars", kWritten), c.holds);
}

const char kOwnFirst[] = "[Glider1Mars]\r\nWNDlvl=4\r\nNote=x\r\n[ShuttleAEarth]\r\nWNDlvl=2\r\nTURlvl=13\r\n";
// kOwnFirst saved: WNDlvl in its place, WindOn at the section's end.
const std::string kOwnFirstSaved =
    "[Glider1Mars]\r\nWNDlvl=7\r\nNote=x\r\nWindOn=1\r\n[ShuttleAEarth]\r\nWNDlvl=2\r\nTURlvl=13\r\n";
const char kOwnLast[] = "[ShuttleAEarth]\r\nWNDlvl=2\r\n[Glider1Mars]\r\nWNDlvl=4\r\nNote=abc\r\n";
const std::string kOwnLastSaved =
    "[ShuttleAEarth]\r\nWNDlvl=2\r\n[Glider1Mars]\r\nWNDlvl=7\r\nNote=abc\r\nWindOn=1\r\n";
const char kOwnMiddle[] = "[A]\r\nk=1\r\n[Glider1Mars]\r\nWNDlvl=4\r\n[ShuttleAEarth]\r\nWNDlvl=2\r\n";

// clang-format off
const CopyCase kCases[] = {
    {"saved", kOwnFirst, kOwnFirstSaved, true},
    {"saved in the system's layout from a file in another",
     "\n[Glider1Mars]\nWNDlvl = 4\nNote=x\n\n[ShuttleAEarth]\n  WNDlvl=2\nTURlvl=13", kOwnFirstSaved, true},
    {"saved into a new section at the end", "[ShuttleAEarth]\r\nWNDlvl=2\r\n",
     "[ShuttleAEarth]\r\nWNDlvl=2\r\n[Glider1Mars]\r\nWNDlvl=7\r\nWindOn=1\r\n", true},
    {"saved without a file before", nullptr, "[Glider1Mars]\r\nWNDlvl=7\r\nWindOn=1\r\n", true},
    {"only the last line end lost", kOwnFirst, kOwnFirstSaved.substr(0, kOwnFirstSaved.size() - 2), true},
    {"cut inside the last section's value", kOwnFirst, kOwnFirstSaved.substr(0, kOwnFirstSaved.size() - 3), false},
    {"cut inside the last section's key", kOwnFirst, kOwnFirstSaved.substr(0, kOwnFirstSaved.size() - 8), false},
    {"cut after the last section's name", kOwnFirst,
     kOwnFirstSaved.substr(0, kOwnFirstSaved.find("[ShuttleAEarth]\r\n") + 17), false},
    {"cut inside the last section's name", kOwnFirst,
     kOwnFirstSaved.substr(0, kOwnFirstSaved.find("[ShuttleAEarth]") + 11), false},
    {"cut inside the own section, the last, in a written key", kOwnLast,
     kOwnLastSaved.substr(0, kOwnLastSaved.size() - 4), false},
    {"cut inside the own section, the last, in another key", kOwnLast,
     "[ShuttleAEarth]\r\nWNDlvl=2\r\n[Glider1Mars]\r\nWNDlvl=7\r\nWindOn=1\r\nNote=a", false},
    {"cut inside the own section with a section after it", kOwnMiddle,
     "[A]\r\nk=1\r\n[Glider1Mars]\r\nWNDlvl=7\r\nWindOn=1\r\n", false},
    {"cut inside a new section at the end", "[ShuttleAEarth]\r\nWNDlvl=2\r\n",
     "[ShuttleAEarth]\r\nWNDlvl=2\r\n[Glider1Mars]\r\nWNDlvl=7\r\nWin", false},
    {"cut inside a new file", nullptr, "[Glider1Mars]\r\nWNDlvl=7\r\nWi", false},
    {"a written key reads otherwise", kOwnFirst,
     "[Glider1Mars]\r\nWNDlvl=4\r\nNote=x\r\nWindOn=1\r\n[ShuttleAEarth]\r\nWNDlvl=2\r\nTURlvl=13\r\n", false},
    {"another line of the own section lost", kOwnFirst,
     "[Glider1Mars]\r\nWNDlvl=7\r\nWindOn=1\r\n[ShuttleAEarth]\r\nWNDlvl=2\r\nTURlvl=13\r\n", false},
    {"a section lost from the middle", kOwnMiddle, "[Glider1Mars]\r\nWNDlvl=7\r\nWindOn=1\r\n[ShuttleAEarth]\r\nWNDlvl=2\r\n",
     false},
    {"the sections in another order", kOwnMiddle,
     "[A]\r\nk=1\r\n[ShuttleAEarth]\r\nWNDlvl=2\r\n[Glider1Mars]\r\nWNDlvl=7\r\nWindOn=1\r\n", false},
    {"written into a section of other letter case", "[glider1mars]\r\nWNDlvl=4\r\n",
     "[glider1mars]\r\nWNDlvl=7\r\nWindOn=1\r\n", false},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Cases, SaveCopy, ::testing::ValuesIn(kCases), [](const auto& param) {
  std::string n;
  for (const char* p = param.param.what; *p; ++p) n += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
  return n;
});

TEST(SaveCopyName, IsAsLongAsTheFilesAndBesideIt) {
  EXPECT_EQ(SaveCopyName("C:\\Orbiter\\Modules\\Plugin\\Galeboard.cfg"), "C:\\Orbiter\\Modules\\Plugin\\Galeboard.cf~");
  EXPECT_EQ(SaveCopyName("D:\\x~"), "D:\\x_");
}

}  // namespace
