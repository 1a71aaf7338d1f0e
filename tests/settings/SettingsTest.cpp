// Saving and loading the settings of a vessel class in a body's atmosphere.
#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <filesystem>
#include <functional>
#include <ostream>
#include <string>

#include "module/Galeboard.h"
#include "settings/SettingsFile.h"
#include "tests/settings/SettingsFixture.h"

namespace {

using ghost::Handle;
using namespace settings_test;

struct SectionCase {
  const char* className;
  const char* body;
  const char* section;
};

// Cases print as their description, not as raw bytes.
void PrintTo(const SectionCase& c, std::ostream* os) { *os << c.section; }

class SectionNames : public SettingsTest, public ::testing::WithParamInterface<SectionCase> {};

TEST_P(SectionNames, AreTheClassNameFollowedByTheBodyName) {
  const SectionCase& c = GetParam();
  ghost::Body& body = std::string(c.body) == "Mars" ? mars : earth;
  ghost::Vessel& v = AddVessel(c.className, &body);
  Set(kGlider1MarsSettings);
  module->SaveSettings(v.iface.get());
  std::string expected = kGlider1MarsExample;
  expected.replace(1, std::string("Glider1Mars").size(), c.section);
  EXPECT_EQ(FileText(), expected);

  Set(kOdd);
  Load(v);
  EXPECT_EQ(Current(), kGlider1MarsSettings);
}

INSTANTIATE_TEST_SUITE_P(Cases, SectionNames,
                         ::testing::Values(SectionCase{"Glider1", "Mars", "Glider1Mars"},
                                           SectionCase{"Glider1", "Earth", "Glider1Earth"},
                                           SectionCase{"", "Mars", "Mars"}),
                         [](const auto& param) { return Named(param.param.section); });

TEST_F(SettingsTest, SaveWritesTheTenKeysAsTheExampleShows) {
  ghost::Vessel& v = AddVessel("Glider1", &mars);
  Set(kGlider1MarsSettings);
  module->SaveSettings(v.iface.get());
  EXPECT_EQ(FileText(), kGlider1MarsExample);
}

TEST_F(SettingsTest, SaveReplacesItsKeysAndKeepsEverythingElse) {
  SetFileText("; hand-written\r\n[ShuttleAEarth]\r\nWNDlvl=9\r\n[Glider1Mars]\r\nWNDlvl=8\r\nMine=42\r\n");
  ghost::Vessel& v = AddVessel("Glider1", &mars);
  Set(kGlider1MarsSettings);
  module->SaveSettings(v.iface.get());
  std::string text = FileText();
  EXPECT_EQ(text.substr(0, text.find("[Glider1Mars]")), "; hand-written\r\n[ShuttleAEarth]\r\nWNDlvl=9\r\n");
  EXPECT_NE(text.find("WNDlvl=3\r\nMine=42\r\nWindOn=1\r\n"), std::string::npos) << text;
  Set(kOdd);
  Load(v);
  EXPECT_EQ(Current(), kGlider1MarsSettings);
}

TEST_F(SettingsTest, SectionOfOtherLetterCaseIsNotLoaded) {
  SetFileText(
      "[glider1mars]\r\nWindOn=1\r\nDisRest=1\r\nWNDlvl=3\r\nTURlvl=2\r\nSHRlvl=0\r\nSHRt=10\r\nSHRt_stpI=0\r\n"
      "FUSoo=1\r\nFUScol=0\r\nFUSsize=5\r\n");
  ghost::Vessel& v = AddVessel("Glider1", &mars);
  CreateOverlay();
  Set(kOdd);
  Load(v);
  EXPECT_EQ(Current(), kOdd);
  EXPECT_EQ(Labels().x1, 0.0) << "the overlay was laid out again";
}

TEST_F(SettingsTest, SectionWithOnlyShrtGivesEveryOtherKeyItsDefault) {
  SetFileText("[Glider1Mars]\r\nSHRt=25\r\n");
  ghost::Vessel& v = AddVessel("Glider1", &mars);
  Set(kOdd);
  Load(v);
  EXPECT_EQ(Current(), (Settings{false, 0, 0, 0, 0, 25, 0, 0, 0, 5}));
}

TEST_F(SettingsTest, LoadLaysTheOverlayOutWithTheLoadedColourAndSize) {
  SetFileText("[Glider1Mars]\r\nFUScol=2\r\nFUSsize=10\r\n");
  ghost::Vessel& v = AddVessel("Glider1", &mars);
  CreateOverlay();
  Load(v);
  EXPECT_DOUBLE_EQ(Labels().x1, 0.5125);
  EXPECT_DOUBLE_EQ(Labels().size, 1.0);
  EXPECT_EQ(Labels().colour.x, 1.0);
  EXPECT_EQ(Labels().colour.y, 0.1);
}

struct ClampCase {
  const char* stored;  // the section's one line
  std::function<int32_t(const Settings&)> field;
  int32_t loaded;
};

void PrintTo(const ClampCase& c, std::ostream* os) { *os << c.stored; }

class Clamping : public SettingsTest, public ::testing::WithParamInterface<ClampCase> {};

TEST_P(Clamping, BringsStoredValuesIntoRange) {
  SetFileText(std::string("[Glider1Mars]\r\n") + GetParam().stored + "\r\n");
  ghost::Vessel& v = AddVessel("Glider1", &mars);
  Set(kOdd);
  Load(v);
  EXPECT_EQ(GetParam().field(Current()), GetParam().loaded) << GetParam().stored;
}

int32_t WindOnOf(const Settings& s) { return s.WindOn ? 1 : 0; }
int32_t DisRestOf(const Settings& s) { return s.DisRest; }
int32_t WndOf(const Settings& s) { return s.WNDlvl; }
int32_t TurOf(const Settings& s) { return s.TURlvl; }
int32_t ShrOf(const Settings& s) { return s.SHRlvl; }
int32_t ShrtOf(const Settings& s) { return s.SHRt; }
int32_t StepOf(const Settings& s) { return s.SHRt_stpI; }
int32_t FusOnOf(const Settings& s) { return s.FUSoo; }
int32_t ColOf(const Settings& s) { return s.FUScol; }
int32_t SizeOf(const Settings& s) { return s.FUSsize; }

INSTANTIATE_TEST_SUITE_P(Table, Clamping,
                         ::testing::Values(ClampCase{"WNDlvl=-3", WndOf, 0}, ClampCase{"WNDlvl=25", WndOf, 10},
                                           ClampCase{"WNDlvl=10", WndOf, 10}, ClampCase{"TURlvl=-1", TurOf, 0},
                                           ClampCase{"TURlvl=11", TurOf, 10}, ClampCase{"SHRlvl=-5", ShrOf, 0},
                                           ClampCase{"SHRlvl=99", ShrOf, 10}, ClampCase{"SHRt=2500", ShrtOf, 0},
                                           ClampCase{"SHRt=-1", ShrtOf, 0}, ClampCase{"SHRt=1999", ShrtOf, 1999},
                                           ClampCase{"SHRt=2000", ShrtOf, 0}, ClampCase{"SHRt_stpI=7", StepOf, 2},
                                           ClampCase{"SHRt_stpI=-1", StepOf, 0}, ClampCase{"FUScol=9", ColOf, 3},
                                           ClampCase{"FUScol=-2", ColOf, 0}, ClampCase{"FUSsize=0", SizeOf, 1},
                                           ClampCase{"FUSsize=50", SizeOf, 10}, ClampCase{"DisRest=5", DisRestOf, 1},
                                           ClampCase{"DisRest=-1", DisRestOf, 1}, ClampCase{"DisRest=0", DisRestOf, 0},
                                           ClampCase{"FUSoo=-1", FusOnOf, 1}, ClampCase{"WindOn=2", WindOnOf, 1},
                                           ClampCase{"WindOn=0", WindOnOf, 0},
                                           // What the platform makes of other texts, then the same range.
                                           ClampCase{"WNDlvl=0x5", WndOf, 5}, ClampCase{"WNDlvl=4 gusts", WndOf, 4},
                                           ClampCase{"WNDlvl=lots", WndOf, 0}, ClampCase{"WNDlvl=4294967295", WndOf, 0},
                                           ClampCase{"SHRt=99999999999", ShrtOf, 0}, ClampCase{"FUSsize=", SizeOf, 5}),
                         [](const auto& param) { return Named(param.param.stored); });

TEST_F(SettingsTest, SectionAtTheEndOfALongFileIsFound) {
  std::string text;
  for (int i = 0; i < 60; ++i) text += "[OtherVesselClass" + std::to_string(i) + "Earth]\r\nWNDlvl=1\r\n";
  text += "[Glider1Mars]\r\nWNDlvl=4\r\n";
  SetFileText(text);
  ghost::Vessel& v = AddVessel("Glider1", &mars);
  Load(v);
  EXPECT_EQ(WindState.WNDlvl, 4);
}

// Lists whose length lies on either side of every size the doubling tries:
// the last name is found whole; and a longer name that a cut list ends
// with, the same as the own up to the cut, is not taken for it.
TEST_F(SettingsTest, SectionIsFoundWhateverTheListLengthAroundEachDoubling) {
  ghost::Vessel& v = AddVessel("Glider1", &mars);
  for (const std::string last : {"Glider1Mars", "Glider1MarsX"}) {
    const bool own = last == "Glider1Mars";
    for (size_t boundary : {128u, 256u, 512u}) {
      for (size_t length = boundary - 4; length <= boundary + 2; ++length) {
        // Filler names of 9 bytes with their NUL, one of the bytes left, then the last.
        size_t rest = length - 1 - (last.size() + 1);
        std::string text;
        while (rest > 20) {
          text += "[Filler" + std::to_string(10 + rest % 80) + "]\r\n";
          rest -= 9;
        }
        text += "[" + std::string(rest - 1, 'F') + "]\r\n[" + last + "]\r\nWNDlvl=6\r\n";
        // A file of its own each time: Windows keeps a read file in a cache
        // that a quick rewrite by other means may not refresh.
        std::string path = (folder / ("Galeboard" + std::to_string(length) + last + ".cfg")).string();
        testing_support::WriteFile(path, text);
        std::snprintf(settingsPath, sizeof settingsPath, "%s", path.c_str());
        SCOPED_TRACE("list of " + std::to_string(length) + " bytes ending with " + last);
        EXPECT_EQ(::SettingsFile().FindSection("Glider1Mars"), own ? SectionMatch::Exact : SectionMatch::None);
        WindState.WNDlvl = 2;
        Load(v);
        EXPECT_EQ(WindState.WNDlvl, own ? 6 : 2);
      }
    }
  }
}

TEST_F(SettingsTest, NoFileHasNoSectionAndLoadsNothing) {
  EXPECT_EQ(::SettingsFile().FindSection("Glider1Mars"), SectionMatch::None);
  ghost::Vessel& v = AddVessel("Glider1", &mars);
  Set(kOdd);
  Load(v);
  EXPECT_EQ(Current(), kOdd);
  EXPECT_FALSE(std::filesystem::exists(CfgPath()));
}

struct LetterCaseCase {
  const char* what;
  std::string className;
  std::string file;
};

void PrintTo(const LetterCaseCase& c, std::ostream* os) { *os << c.what; }

class SectionOfOtherLetterCase : public SettingsTest, public ::testing::WithParamInterface<LetterCaseCase> {};

// The profile functions would write into, and read from, the first section
// whose name differs only in letter case: another class's. The save leaves
// it alone, and the load reads nothing.
TEST_P(SectionOfOtherLetterCase, IsNeitherWrittenNorRead) {
  const LetterCaseCase& c = GetParam();
  SetFileText(c.file);
  ghost::Vessel& v = AddVessel(c.className, &earth);
  Set(kOdd);
  module->SaveSettings(v.iface.get());
  EXPECT_EQ(FileText(), c.file);
  Set(kGlider1MarsSettings);
  Load(v);
  EXPECT_EQ(Current(), kGlider1MarsSettings);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SectionOfOtherLetterCase,
    ::testing::Values(LetterCaseCase{"another class only", "GLIDER1", "[Glider1Earth]\r\nWNDlvl=3\r\n"},
                      LetterCaseCase{"another class before the own section", "GLIDER1",
                                     "[glider1earth]\r\nWNDlvl=3\r\n[GLIDER1Earth]\r\nWNDlvl=4\r\n"},
                      LetterCaseCase{"letters beyond ASCII", "Glid\xC9r1", "[Glid\xE9r1Earth]\r\nWNDlvl=3\r\n"}),
    [](const auto& param) { return Named(param.param.what); });

TEST_F(SettingsTest, OwnSectionBeforeOneOfOtherLetterCaseIsSavedAndLoaded) {
  const std::string other = "[GLIDER1Earth]\r\nWNDlvl=4\r\n";
  SetFileText("[Glider1Earth]\r\nWNDlvl=3\r\n" + other);
  ghost::Vessel& v = AddVessel("Glider1", &earth);
  Set(kOdd);
  module->SaveSettings(v.iface.get());
  Set(kGlider1MarsSettings);
  Load(v);
  EXPECT_EQ(Current(), kOdd);
  const std::string text = FileText();
  EXPECT_EQ(text.substr(text.size() - other.size()), other);
}

TEST_F(SettingsTest, FirstStartWithoutFileKeepsDefaultsAndTheFirstFocusChangeWritesOneSection) {
  ghost::Vessel& a = AddVessel("Glider1", &mars);
  ghost::Vessel& b = AddVessel("ShuttleA", &mars);
  host.SetFocus(&a);
  EXPECT_EQ(Current(), (Settings{false, 1, 0, 0, 0, 10, 0, 1, 0, 5}));
  host.SetFocus(&b);
  EXPECT_EQ(FileText(),
            "[Glider1Mars]\r\nWindOn=0\r\nDisRest=1\r\nWNDlvl=0\r\nTURlvl=0\r\nSHRlvl=0\r\nSHRt=10\r\nSHRt_stpI=0\r\n"
            "FUSoo=1\r\nFUScol=0\r\nFUSsize=5\r\n");
}

TEST_F(SettingsTest, FocusFromSpaceIntoAnAtmosphereSavesNothingAndLoadsTheNewSection) {
  SetFileText("[Glider1Mars]\r\nWNDlvl=4\r\n");
  ghost::Vessel& inSpace = AddVessel("ShuttleA", &mars, kInSpace);
  ghost::Vessel& low = AddVessel("Glider1", &mars);
  host.SetFocus(&inSpace);
  host.SetFocus(&low);
  EXPECT_EQ(FileText(), "[Glider1Mars]\r\nWNDlvl=4\r\n");
  EXPECT_EQ(WindState.WNDlvl, 4);
  EXPECT_EQ(module->vessel, low.iface.get());
}

TEST_F(SettingsTest, FocusIntoSpaceSavesTheOldAndKeepsTheSettings) {
  SetFileText("[ShuttleAEarth]\r\nWNDlvl=1\r\n");
  ghost::Vessel& low = AddVessel("Glider1", &mars);
  ghost::Vessel& inSpace = AddVessel("ShuttleA", &earth, kInSpace);
  host.SetFocus(&low);
  Set(kOdd);
  host.SetFocus(&inSpace);
  EXPECT_EQ(Current(), kOdd);
  EXPECT_EQ(module->vessel, inSpace.iface.get());
  Set(kGlider1MarsSettings);
  Load(low);
  EXPECT_EQ(Current(), kOdd) << "the old vessel's section holds what was in effect";
}

TEST_F(SettingsTest, SettingsOfAVesselWithoutSectionCarryOverAndAreSavedUnderIt) {
  SetFileText("[Glider1Mars]\r\nWNDlvl=4\r\nFUScol=1\r\n");
  ghost::Vessel& glider = AddVessel("Glider1", &mars);
  ghost::Vessel& shuttle = AddVessel("ShuttleA", &mars);
  ghost::Vessel& third = AddVessel("Dragonfly", &mars);
  host.SetFocus(&glider);
  host.SetFocus(&shuttle);
  host.SetFocus(&third);
  Set(kOdd);
  Load(shuttle);
  EXPECT_EQ(WindState.WNDlvl, 4);
  EXPECT_EQ(module->FUScol, 1);
}

TEST_F(SettingsTest, FocusChangeAtSessionStartSavesNothing) {
  ghost::Vessel& v = AddVessel("Glider1", &mars);
  world.focus = &v;
  host.StartSimulation();
  EXPECT_EQ(module->vessel, v.iface.get());
  EXPECT_FALSE(std::filesystem::exists(CfgPath()));
}

TEST_F(SettingsTest, PageStoreStatusSavesForThePagesVessel) {
  ghost::Vessel& focus = AddVessel("Glider1", &mars);
  ghost::Vessel& other = AddVessel("ShuttleA", &earth);
  host.SetFocus(&focus);
  Set(kGlider1MarsSettings);
  Galeboard page(256, 256, other.iface.get());
  page.StoreStatus();
  std::string expected = kGlider1MarsExample;
  expected.replace(1, 11, "ShuttleAEarth");
  EXPECT_EQ(FileText(), expected);
}

TEST_F(SettingsTest, NullVesselsSaveAndLoadNothing) {
  Set(kOdd);
  module->SaveSettings(nullptr);
  module->vessel = nullptr;
  module->LoadSettings();
  Galeboard page(256, 256, nullptr);
  page.StoreStatus();
  EXPECT_EQ(Current(), kOdd);
  EXPECT_FALSE(std::filesystem::exists(CfgPath()));
}

TEST_F(SettingsTest, UnknownModulePathSavesAndLoadsNothing) {
  settingsPath[0] = '\0';
  ghost::Vessel& v = AddVessel("Glider1", &mars);
  Set(kOdd);
  module->SaveSettings(v.iface.get());
  Load(v);
  EXPECT_EQ(Current(), kOdd);
  EXPECT_TRUE(std::filesystem::is_empty(folder.path()));
  EXPECT_FALSE(std::filesystem::exists("Glider1Mars"));
}

struct UnsafeCase {
  const char* what;
  std::string className;
};

void PrintTo(const UnsafeCase& c, std::ostream* os) { *os << c.what; }

class UnsafeSectionName : public SettingsTest, public ::testing::WithParamInterface<UnsafeCase> {};

// Names that cannot stand as one section line, or would read back as
// another: nothing saved, nothing loaded, every other section intact.
TEST_P(UnsafeSectionName, SavesAndLoadsNothing) {
  const std::string others = "[GliderMars]\r\nWNDlvl=3\r\n[Other]\r\nk=1\r\n";
  const std::string own = "[" + GetParam().className + "Mars]\r\nWNDlvl=9\r\n";
  SetFileText(others + own);
  ghost::Vessel& v = AddVessel(GetParam().className, &mars);
  Set(kOdd);
  module->SaveSettings(v.iface.get());
  EXPECT_EQ(FileText(), others + own) << GetParam().what;
  Load(v);
  EXPECT_EQ(Current(), kOdd) << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(Cases, UnsafeSectionName,
                         ::testing::Values(UnsafeCase{"closing bracket", "Glider]"},
                                           UnsafeCase{"CR LF", "Glider\r\n[Other"}, UnsafeCase{"LF", "Glider\nX"},
                                           UnsafeCase{"tab", "Glider\t"}, UnsafeCase{"leading blank", " Glider"},
                                           UnsafeCase{"10000 characters", std::string(10000, 'G')}),
                         [](const auto& param) { return Named(param.param.what); });

TEST_F(SettingsTest, BodyNameWithTrailingBlankIsNotWrittenIntoAnotherSection) {
  SetFileText("[GliderMars]\r\nWNDlvl=3\r\n");
  ghost::Body& odd = world.AddBody("Mars ", mars.radius);
  odd.atmosphere = ghost::MarsAtmosphere();
  ghost::Vessel& v = AddVessel("Glider", &odd);
  Set(kOdd);
  module->SaveSettings(v.iface.get());
  EXPECT_EQ(FileText(), "[GliderMars]\r\nWNDlvl=3\r\n");
}

TEST_F(SettingsTest, LongButSafeNamesAreKept) {
  ghost::Vessel& v = AddVessel(std::string(1000, 'G'), &mars);
  Set(kGlider1MarsSettings);
  module->SaveSettings(v.iface.get());
  Set(kOdd);
  Load(v);
  EXPECT_EQ(Current(), kGlider1MarsSettings);
}

}  // namespace
