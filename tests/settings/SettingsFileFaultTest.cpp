// Settings files that nobody should have to have: unwritable, missing, in the
// way, full, huge, garbled. A load ends with every setting in its range; a
// save never costs another vessel's settings. Both builds run these: the
// Windows one against the system's own profile functions, which write a whole
// file anew in a layout of their own; where that changes an outcome, the case
// says how.
#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <cctype>
#include <chrono>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <iterator>
#include <ostream>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "platform/Platform.h"
#include "settings/SettingsFile.h"
#include "settings/WindowsSave.h"
#include "tests/settings/SettingsFixture.h"
#include "tests/support/FullDisk.h"

namespace {

using namespace settings_test;
using testing_support::kSystemProfileFunctions;
namespace fs = std::filesystem;

const char* const kKeys[] = {"WindOn", "DisRest",   "WNDlvl", "TURlvl", "SHRlvl",
                             "SHRt",   "SHRt_stpI", "FUSoo",  "FUScol", "FUSsize"};

class SettingsFileFault : public SettingsTest {
 protected:
  void UseSettingsPath(const fs::path& p) {
    std::snprintf(settingsPath, sizeof settingsPath, "%s", p.string().c_str());
  }
  void ExpectInRange() const {
    Settings s = Current();
    EXPECT_TRUE(s.DisRest == 0 || s.DisRest == 1);
    EXPECT_GE(s.WNDlvl, 0);
    EXPECT_LE(s.WNDlvl, WindState.WNDmax);
    EXPECT_GE(s.TURlvl, 0);
    EXPECT_LE(s.TURlvl, WindState.TURmax);
    EXPECT_GE(s.SHRlvl, 0);
    EXPECT_LE(s.SHRlvl, WindState.SHRmax);
    EXPECT_GE(s.SHRt, 0);
    EXPECT_LE(s.SHRt, 1999);
    EXPECT_GE(s.SHRt_stpI, 0);
    EXPECT_LE(s.SHRt_stpI, 2);
    EXPECT_TRUE(s.FUSoo == 0 || s.FUSoo == 1);
    EXPECT_GE(s.FUScol, 0);
    EXPECT_LE(s.FUScol, 3);
    EXPECT_GE(s.FUSsize, 1);
    EXPECT_LE(s.FUSsize, 10);
  }
  // Saves kOdd for the vessel, then loads its section into other settings.
  void SaveOddThenLoad(ghost::Vessel& v) {
    Set(kOdd);
    module->SaveSettings(v.iface.get());
    Set(kGlider1MarsSettings);
    Load(v);
  }
  // The same where the save must hold: kOdd comes back; the file as saved.
  std::string SaveOddAndReadItBack(ghost::Vessel& v) {
    SaveOddThenLoad(v);
    EXPECT_EQ(Current(), kOdd);
    return FileText();
  }
  // The files a save left beside the settings file. Off Windows the lock
  // file of the writes stays there by design; nothing else may.
  std::vector<std::string> LeftBeside() const {
    std::vector<std::string> left;
    for (const auto& e : fs::directory_iterator(folder.path())) {
      const std::string name = e.path().filename().string();
      if (name != "Galeboard.cfg" && name != "Galeboard.cfg.lock") left.push_back(name);
    }
    return left;
  }
  // Every section but Glider1Mars as a load reads it: a line of its name and
  // its ten values, what the module keeps of other vessels.
  static std::string OthersAsLoaded() {
    SettingsFile file;
    std::string out;
    // The files here are small: their names fit this at once.
    std::vector<char> names(1 << 20);
    GetPrivateProfileSectionNamesA(names.data(), static_cast<DWORD>(names.size()), settingsPath);
    const std::string own = "glider1mars";
    for (const char* name = names.data(); *name; name += std::strlen(name) + 1) {
      std::string lower(name);
      std::transform(lower.begin(), lower.end(), lower.begin(),
                     [](char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); });
      if (lower == own) continue;
      file.SetSection(name);
      out += name;
      for (const char* key : kKeys) out += " " + std::to_string(file.ReadInt(key, INT32_MIN));
      out += "\n";
    }
    return out;
  }
};

const std::string kTwoSections = "[ShuttleAEarth]\r\nWNDlvl=2\r\n[Glider1Mars]\r\nWNDlvl=4\r\n";

TEST_F(SettingsFileFault, ReadOnlyFileIsReadButNeverWritten) {
  SetFileText(kTwoSections);
  fs::permissions(CfgPath(), fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
  ghost::Vessel& v = AddVessel("Glider1", &mars);
  Load(v);
  EXPECT_EQ(WindState.WNDlvl, 4);
  Set(kOdd);
  module->SaveSettings(v.iface.get());
  fs::permissions(CfgPath(), fs::perms::owner_write, fs::perm_options::add);
  EXPECT_EQ(FileText(), kTwoSections);
  EXPECT_EQ(std::distance(fs::directory_iterator(folder.path()), fs::directory_iterator()), 1)
      << "something was made beside the file";
}

TEST_F(SettingsFileFault, FolderInPlaceOfTheFileLoadsAndSavesNothing) {
  fs::create_directory(CfgPath());
  testing_support::WriteFile(fs::path(CfgPath()) / "inside", kTwoSections);
  SaveOddThenLoad(AddVessel("Glider1", &mars));
  EXPECT_EQ(Current(), kGlider1MarsSettings);
  EXPECT_TRUE(fs::is_directory(CfgPath()));
  EXPECT_EQ(testing_support::ReadFile(fs::path(CfgPath()) / "inside"), kTwoSections);
}

TEST_F(SettingsFileFault, MissingFolderLoadsAndSavesNothing) {
  fs::path absent = folder / "absent";
  UseSettingsPath(absent / "Galeboard.cfg");
  SaveOddThenLoad(AddVessel("Glider1", &mars));
  EXPECT_EQ(Current(), kGlider1MarsSettings);
  EXPECT_FALSE(fs::exists(absent));
}

// Files of about 100 MB in every shape. Not in the Windows build: Windows'
// own functions write the whole file anew for each of a save's ten keys,
// which takes Wine's about 100 s a file, and the lines are those of the small
// cases.
#ifndef _WIN32
struct BigFileCase {
  const char* what;
  // What precedes the own section and what follows it, made when the case
  // runs.
  std::function<std::string()> before, after;
};

void PrintTo(const BigFileCase& c, std::ostream* os) { *os << c.what; }

class FileOfAHundredMegabytes : public SettingsFileFault, public ::testing::WithParamInterface<BigFileCase> {};

// Whatever the file's shape and wherever the own section stands, it loads,
// and a save changes its lines and no other byte.
TEST_P(FileOfAHundredMegabytes, LoadsAndSavesTheOwnSectionAndKeepsTheRest) {
  const std::string before = GetParam().before(), after = GetParam().after();
  SetFileText(before + "[Glider1Mars]\r\nWNDlvl=4\r\n" + after);
  ghost::Vessel& v = AddVessel("Glider1", &mars);
  Load(v);
  EXPECT_EQ(WindState.WNDlvl, 4);
  // The value in place, the keys the section lacked after it, in the order
  // of the save.
  const std::string saved =
      "[Glider1Mars]\r\nWNDlvl=7\r\nWindOn=1\r\nDisRest=0\r\nTURlvl=6\r\nSHRlvl=5\r\nSHRt=123\r\nSHRt_stpI=1\r\n"
      "FUSoo=0\r\nFUScol=2\r\nFUSsize=9\r\n";
  EXPECT_TRUE(SaveOddAndReadItBack(v) == before + saved + after) << "a byte outside the own section changed";
}

constexpr size_t kHundredMegabytes = 100u << 20;

// Sections of other vessels with their ten keys, in short lines.
std::string ShortLines(size_t bytes) {
  const std::string keys =
      "WindOn=1\r\nDisRest=0\r\nWNDlvl=1\r\nTURlvl=1\r\nSHRlvl=1\r\nSHRt=0\r\n"
      "SHRt_stpI=0\r\nFUSoo=0\r\nFUScol=0\r\nFUSsize=5\r\n";
  std::string text;
  text.reserve(bytes + 200);
  for (int i = 0; text.size() < bytes; ++i) text += "[Class" + std::to_string(i) + "Earth]\r\n" + keys;
  return text;
}

// Empty sections of long names: their list is as long as the file.
std::string LongSectionNames(size_t bytes) {
  const std::string stem(90, 'N');
  std::string text;
  text.reserve(bytes + 200);
  for (int i = 0; text.size() < bytes; ++i) text += "[" + stem + std::to_string(i) + "]\r\n";
  return text;
}

std::string Nothing() { return ""; }
std::string ShortLinesOf100MB() { return ShortLines(kHundredMegabytes); }
std::string OneLineOf100MB() { return ";" + std::string(kHundredMegabytes, 'c') + "\r\n"; }
std::string LongSectionNamesOf100MB() { return LongSectionNames(kHundredMegabytes); }

INSTANTIATE_TEST_SUITE_P(
    Shapes, FileOfAHundredMegabytes,
    ::testing::Values(BigFileCase{"short lines, own section last", ShortLinesOf100MB, Nothing},
                      BigFileCase{"one line, own section last", OneLineOf100MB, Nothing},
                      BigFileCase{"a million long names, own first", Nothing, LongSectionNamesOf100MB},
                      BigFileCase{"a million long names, own last", LongSectionNamesOf100MB, Nothing}),
    [](const auto& param) { return Named(param.param.what); });
#endif

// A save onto a disk that holds 64 bytes of a file, wherever the own section
// stands. Ours write each key's file whole or not at all: the writes that
// still fit are made, the others refused (worked out for each case below, in
// the save's order: WindOn=1, DisRest=0, WNDlvl=7, TURlvl=6, SHRlvl=5,
// SHRt=123, SHRt_stpI=1, FUSoo=0, FUScol=2, FUSsize=9; an added line takes
// its length and CR LF), and every other section stays byte for byte.
// Windows' own (kernel32 under Wine) report success and leave the file cut
// where the disk filled, every section after that point gone; so on Windows
// a save writes into a copy of the file and puts it in the file's place only
// when nothing is lost (settings/WindowsSave.cpp): the file stays as it was,
// or absent, and the save is lost as a whole, where ours keep the writes
// that fitted. On both every other section reads as before, and the
// settings stay in memory.
struct FullDiskCase {
  const char* what;
  const char* before;  // null: no file
  const char* ours;    // the file our functions leave
};

void PrintTo(const FullDiskCase& c, std::ostream* os) { *os << c.what; }

class FullDiskSettingsFile : public SettingsFileFault, public ::testing::WithParamInterface<FullDiskCase> {};

TEST_P(FullDiskSettingsFile, SaveKeepsEveryOtherSection) {
  const FullDiskCase& c = GetParam();
  if (c.before) SetFileText(c.before);
  const std::string others = OthersAsLoaded();
  ghost::Vessel& v = AddVessel("Glider1", &mars);
  Set(kOdd);
  {
    testing_support::FullDisk full;
    module->SaveSettings(v.iface.get());
  }
  EXPECT_EQ(Current(), kOdd);
  EXPECT_EQ(OthersAsLoaded(), others);
  if (!kSystemProfileFunctions)
    EXPECT_EQ(FileText(), c.ours);
  else if (c.before)
    EXPECT_EQ(FileText(), c.before);
  else
    EXPECT_FALSE(fs::exists(CfgPath()));
  EXPECT_EQ(LeftBeside(), std::vector<std::string>()) << "a temporary file or a copy was left behind";
}

// clang-format off
const FullDiskCase kFullDiskCases[] = {
    // 52 bytes; 62 with WindOn, then each further key 9 to 13 more, but
    // WNDlvl=7 in place of WNDlvl=4.
    {"own section first", "[Glider1Mars]\r\nWNDlvl=4\r\n[ShuttleAEarth]\r\nWNDlvl=2\r\n",
     "[Glider1Mars]\r\nWNDlvl=7\r\nWindOn=1\r\n[ShuttleAEarth]\r\nWNDlvl=2\r\n"},
    // The same lengths.
    {"own section last", "[ShuttleAEarth]\r\nWNDlvl=2\r\n[Glider1Mars]\r\nWNDlvl=4\r\n",
     "[ShuttleAEarth]\r\nWNDlvl=2\r\n[Glider1Mars]\r\nWNDlvl=7\r\nWindOn=1\r\n"},
    // 27 bytes; 52 with the section and WindOn, 63 with DisRest, then each
    // further key 9 to 13 more.
    {"own section new", "[ShuttleAEarth]\r\nWNDlvl=2\r\n",
     "[ShuttleAEarth]\r\nWNDlvl=2\r\n[Glider1Mars]\r\nWindOn=1\r\nDisRest=0\r\n"},
    // 25, 36, 46, 56 bytes with the first four keys; each other would make 65
    // to 69.
    {"no file", nullptr, "[Glider1Mars]\r\nWindOn=1\r\nDisRest=0\r\nWNDlvl=7\r\nTURlvl=6\r\n"},
};
// clang-format on

// The prefix keeps the names under the filter FullDisk*, which the Windows
// build runs under a file-size limit.
INSTANTIATE_TEST_SUITE_P(FullDisk, FullDiskSettingsFile, ::testing::ValuesIn(kFullDiskCases),
                         [](const auto& param) { return Named(param.param.what); });

#ifdef _WIN32
// A save that was killed left its copy of the file beside it; the next save
// does not take it for the file: it copies the file over it, or deletes it
// where there is no file yet.
TEST_F(SettingsFileFault, CopyLeftByAKilledSaveIsNotTakenForTheFile) {
  for (const char* before : {kTwoSections.c_str(), static_cast<const char*>(nullptr)}) {
    SCOPED_TRACE(before ? "a file" : "no file");
    fs::remove(CfgPath());
    if (before) SetFileText(before);
    testing_support::WriteFile(SaveCopyName(CfgPath()), "[Left]\r\nk=1\r\n[ShuttleAEarth]\r\nWND");
    const std::string after = SaveOddAndReadItBack(AddVessel("Glider1", &mars));
    EXPECT_EQ(after.find("[Left]"), std::string::npos) << after;
    EXPECT_EQ(after.find("[ShuttleAEarth]\r\nWNDlvl=2\r\n") != std::string::npos, before != nullptr) << after;
    EXPECT_EQ(LeftBeside(), std::vector<std::string>());
  }
}

// Windows' profile functions keep the file they used last in memory, and
// Wine's give it back from there, not from the disk, once the file has not
// changed for two seconds: what a cut write meant, not what it left. A save
// whose check comes that late, as on a busy machine, still checks what
// reached the disk. Here only the last write is cut (62 bytes after the
// first, 72 after the second), so that what the functions kept is whole.
class FullDiskSlowSave : public SettingsFileFault {};

TEST_F(FullDiskSlowSave, ChecksTheCopyOnTheDiskNotInTheProfileFunctionsMemory) {
  const std::string before = "[Glider1Mars]\r\nWNDlvl=4\r\n[ShuttleAEarth]\r\nWNDlvl=2\r\n";
  SetFileText(before);
  {
    SettingsFile file;
    file.SetSection("Glider1Mars");
    testing_support::FullDisk full;
    ASSERT_TRUE(file.BeginSave());
    file.WriteInt("WNDlvl", INT32_MIN);
    file.WriteInt("WindOn", 1);
    std::this_thread::sleep_for(std::chrono::milliseconds(2500));
    file.EndSave();
  }
  EXPECT_EQ(FileText(), before);
}

// A copy that cannot be made, here for a folder in its place, is no save at
// all: the file is never written in place. (Ours make no such copy.)
TEST_F(SettingsFileFault, SaveThatCannotCopyTheFileWritesNothing) {
  SetFileText(kTwoSections);
  fs::create_directory(SaveCopyName(CfgPath()));
  module->SaveSettings(AddVessel("Glider1", &mars).iface.get());
  EXPECT_EQ(FileText(), kTwoSections);
  EXPECT_TRUE(fs::is_directory(SaveCopyName(CfgPath())));
}
#endif

TEST_F(SettingsFileFault, BinaryGarbageLoadsInRangeAndStaysAroundTheSavedSection) {
  std::mt19937 random(20261210u);
  for (int round = 0; round < 20; ++round) {
    auto noise = [&random](size_t n) {
      std::string bytes(n, '\0');
      for (char& c : bytes) c = static_cast<char>(random());
      return bytes;
    };
    // Another vessel's section amid it, whose garbage lines read as its keys;
    // then some shaped like the own section, so that a load has something to
    // read.
    std::string garbage = noise(2048) + "\n[ShuttleAEarth]\nWNDlvl=2\n" + noise(2048);
    garbage += "\n[Glider1Mars]\n";
    for (const char* key : kKeys)
      garbage += std::string(key) + "=" + std::to_string(static_cast<int32_t>(random())) + "\x01\xff\n";
    garbage += std::string(512, '\0');
    SetFileText(garbage);

    ghost::Vessel& v = AddVessel("Glider1", &mars);
    Load(v);
    SCOPED_TRACE(round);
    ExpectInRange();
    const std::string others = OthersAsLoaded();
    const std::string after = SaveOddAndReadItBack(v);
    EXPECT_EQ(OthersAsLoaded(), others);
    // Ours keep what precedes the section to its last line break, byte for
    // byte. Windows' own write every line anew: blanks around '=' and at the
    // ends dropped, blank lines dropped, a name or value cut at a NUL, CR LF
    // after each. The module relies only on what a load reads back, above.
    if (!kSystemProfileFunctions) {
      size_t head = garbage.find("\n[Glider1Mars]\n") + 1;
      EXPECT_EQ(after.compare(0, head, garbage, 0, head), 0);
    }
  }
}

struct LongLineCase {
  const char* what;
  std::string text;  // the file, with the own section among the rest
};

void PrintTo(const LongLineCase& c, std::ostream* os) { *os << c.what; }

class MegabyteLine : public SettingsFileFault, public ::testing::WithParamInterface<LongLineCase> {};

// Lines of a megabyte anywhere: the own section still loads and saves, and
// the long line is kept as it was.
TEST_P(MegabyteLine, LeavesTheOwnSectionReadableAndIsKept) {
  const std::string& text = GetParam().text;
  SetFileText(text);
  ghost::Vessel& v = AddVessel("Glider1", &mars);
  Load(v);
  ExpectInRange();
  EXPECT_EQ(WindState.TURlvl, 2);
  const std::string after = SaveOddAndReadItBack(v);
  size_t own = text.find("[Glider1Mars]");
  EXPECT_EQ(after.compare(0, own, text, 0, own), 0) << "everything before the own section";
}

const std::string kMegabyte(1u << 20, '7');

INSTANTIATE_TEST_SUITE_P(
    Cases, MegabyteLine,
    ::testing::Values(LongLineCase{"comment", ";" + kMegabyte + "\r\n[Glider1Mars]\r\nTURlvl=2\r\n"},
                      LongLineCase{"other section's name",
                                   "[" + kMegabyte + "]\r\nk=1\r\n[Glider1Mars]\r\nTURlvl=2\r\n"},
                      LongLineCase{"value of an own key", "[Glider1Mars]\r\nTURlvl=2\r\nWNDlvl=" + kMegabyte + "\r\n"},
                      LongLineCase{"key without a value", "[Glider1Mars]\r\nTURlvl=2\r\n" + kMegabyte + "\r\n"},
                      LongLineCase{"last line without a line ending", "[Glider1Mars]\r\nTURlvl=2\r\n;" + kMegabyte}),
    [](const auto& param) { return Named(param.param.what); });

// An equals sign is an ordinary character in a section name: the class gets
// a section of its own, and a vessel whose class is the part before the sign
// keeps its own.
TEST_F(SettingsFileFault, ClassNameWithAnEqualsSignHasASectionOfItsOwn) {
  const std::string before = "[GliderMars]\r\nWNDlvl=3\r\n[Glider=1Mars]\r\nTURlvl=1\r\n";
  SetFileText(before);
  ghost::Vessel& v = AddVessel("Glider=1", &mars);
  Load(v);
  EXPECT_EQ(WindState.TURlvl, 1);
  const std::string after = SaveOddAndReadItBack(v);
  size_t own = before.find("[Glider=1Mars]");
  EXPECT_EQ(after.compare(0, own, before, 0, own), 0);
  ghost::Vessel& plain = AddVessel("Glider", &mars);
  Load(plain);
  EXPECT_EQ(WindState.WNDlvl, 3);
}

// Off Windows, where the profile functions are ours: Windows' own hold no
// lock between processes.
#ifndef _WIN32
// Two runs that share a root save two vessels at the same moment: each
// write takes the file as the other left it, so that both sections come out
// whole. A hundred rounds, the keys that did not come out counted.
TEST_F(SettingsFileFault, TwoProcessesSavingAtOnceLoseNoKey) {
  // Other sections, so that each write takes a while and the two overlap.
  const std::string others = ShortLines(32u << 10);
  ghost::Vessel* vessels[2] = {&AddVessel("GliderA", &mars), &AddVessel("GliderB", &earth)};
  const char* sections[2] = {"GliderAMars", "GliderBEarth"};
  // kOdd, key by key, as a save writes it.
  const std::pair<const char*, int> keys[] = {{"WindOn", 1}, {"DisRest", 0}, {"WNDlvl", 7},    {"TURlvl", 6},
                                              {"SHRlvl", 5}, {"SHRt", 123},  {"SHRt_stpI", 1}, {"FUSoo", 0},
                                              {"FUScol", 2}, {"FUSsize", 9}};
  const int kRounds = 100;
  int lost = 0, roundsWithLoss = 0;
  for (int round = 0; round < kRounds; ++round) {
    SetFileText(others);
    int start[2];
    ASSERT_EQ(pipe(start), 0);
    pid_t children[2];
    for (int k = 0; k < 2; ++k) {
      std::fflush(nullptr);  // no child writes the output held so far again
      children[k] = fork();
      ASSERT_GE(children[k], 0);
      if (children[k] == 0) {
        alarm(30);  // should the test die first
        close(start[1]);
        char c;
        // Both wait here until the test closes its end of the pipe.
        if (read(start[0], &c, 1) != 0) _exit(1);
        Set(kOdd);
        module->SaveSettings(vessels[k]->iface.get());
        _exit(0);
      }
    }
    close(start[0]);
    close(start[1]);
    for (pid_t child : children) {
      int status = 0;
      waitpid(child, &status, 0);
      EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    int lostNow = 0;
    for (const char* section : sections)
      for (const auto& [key, value] : keys)
        lostNow += static_cast<int>(GetPrivateProfileIntA(section, key, -1, CfgPath().c_str())) != value;
    lost += lostNow;
    roundsWithLoss += lostNow > 0;
  }
  EXPECT_EQ(lost, 0);
  std::printf("keys lost by two processes saving at once: %d of %d in %d rounds (%d rounds with a loss)\n", lost,
              kRounds * 20, kRounds, roundsWithLoss);
}

#endif

}  // namespace
