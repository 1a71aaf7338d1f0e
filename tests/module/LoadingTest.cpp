// The module as the simulator sees it: a library loaded by path.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <vector>

#include "host/Atmospheres.h"
#include "host/Host.h"
#include "tests/support/TestSupport.h"

namespace {

class LoadedModule : public ::testing::Test {
 protected:
  void SetUp() override {
    earth_ = &world_.AddBody("Earth", 6.371e6);
    glider_ = &world_.AddVessel("GL-01", "Glider1", earth_);
    std::string error;
    lib_ = host_.LoadModule(testing_support::ModulePath().string(), &error);
    ASSERT_NE(lib_, nullptr) << error;
  }

  ghost::World world_;
  ghost::Body* earth_ = nullptr;
  ghost::Vessel* glider_ = nullptr;
  ghost::Host host_{world_};
  ghost::ModuleLibrary* lib_ = nullptr;
};

TEST_F(LoadedModule, ExportsTheFourEntryPoints) {
  EXPECT_NE(lib_->initModule, nullptr);
  EXPECT_NE(lib_->exitModule, nullptr);
  EXPECT_NE(lib_->getModuleVersion, nullptr);
  EXPECT_NE(lib_->moduleDate, nullptr);
}

TEST_F(LoadedModule, AttachCodeAnnouncesTheLibraryToTheHost) {
  ASSERT_EQ(host_.initLibCalls().size(), 1u);
  EXPECT_EQ(host_.initLibCalls()[0], lib_->instance());
}

TEST_F(LoadedModule, RegistersOneModuleObjectAndTheGaleboardMode) {
  EXPECT_EQ(host_.modules().size(), 1u);
  ASSERT_EQ(host_.modes().size(), 1u);
  EXPECT_EQ(host_.modes()[0].name, "Galeboard");
  EXPECT_EQ(host_.modes()[0].key, 17u);
  EXPECT_EQ(host_.modes()[0].context, nullptr);
}

TEST_F(LoadedModule, UnloadingRunsExitModuleWhichUnregistersTheMode) {
  host_.UnloadModules();
  EXPECT_TRUE(host_.modes().empty());
  EXPECT_TRUE(host_.modules().empty());
}

TEST_F(LoadedModule, VersionIsTheHostDateOfItsInterfaceAskedOnce) {
  EXPECT_EQ(host_.date2IntCalls(), 0);
  EXPECT_EQ(lib_->getModuleVersion(), 100830);
  EXPECT_EQ(lib_->getModuleVersion(), 100830);
  EXPECT_EQ(host_.date2IntCalls(), 1);
}

TEST_F(LoadedModule, ModuleDateIsTheBuildDate) { EXPECT_STREQ(lib_->moduleDate(), "Oct 11 2015"); }

TEST_F(LoadedModule, OnlyTheOpenedMessageMakesAPage) {
  auto msgproc = host_.modes()[0].msgproc;
  MFDMODEOPENSPEC open{256, 256, nullptr};
  for (UINT msg : {0u, 1u, 2u, 3u, 5u, 0xFFFFFFFFu}) {
    SCOPED_TRACE(msg);
    EXPECT_EQ(msgproc(msg, 0, reinterpret_cast<WPARAM>(&open), reinterpret_cast<LPARAM>(glider_->iface.get())), 0);
  }
  auto result = msgproc(OAPI_MSG_MFD_OPENEDEX, 0, reinterpret_cast<WPARAM>(&open),
                        reinterpret_cast<LPARAM>(glider_->iface.get()));
  ASSERT_NE(result, 0);
  delete reinterpret_cast<MFD*>(result);
}

TEST_F(LoadedModule, TwoDisplaysGetTwoPagesThatShowTheSameSettings) {
  int a = host_.OpenDisplay(ghost::DisplaySpec{}, glider_);
  int b = host_.OpenDisplay(ghost::DisplaySpec{}, glider_);
  ASSERT_GE(a, 0);
  ASSERT_GE(b, 0);
  EXPECT_NE(host_.display(a).page, host_.display(b).page);
  // An edit on either page shows on the other: one set of settings, not a
  // copy for each page.
  EXPECT_TRUE(host_.Key(a, OAPI_KEY_W));
  EXPECT_TRUE(host_.Key(b, OAPI_KEY_E));
  EXPECT_TRUE(host_.Key(b, OAPI_KEY_W));
  for (int d : {a, b}) {
    SCOPED_TRACE(d == a ? "first page" : "second page");
    std::vector<ghost::TextCall> calls = host_.Draw(d);
    std::string text;
    for (const ghost::TextCall& c : calls) text += c.text + "|";
    EXPECT_NE(text.find("Status: |enabled|"), std::string::npos) << text;
    EXPECT_NE(text.find("Global wind:| 2|"), std::string::npos) << text;
  }
}

TEST_F(LoadedModule, PageKeepsTheDisplaySize) {
  int d = host_.OpenDisplay(ghost::DisplaySpec{300, 200, 8, 13}, glider_);
  ASSERT_GE(d, 0);
  std::vector<ghost::TextCall> calls = host_.Draw(d);
  ASSERT_FALSE(calls.empty());
  // The title "Galeboard", 9 characters of 8 pixels, centred on 300 pixels.
  EXPECT_EQ(calls[0].text, "Galeboard");
  EXPECT_EQ(calls[0].x, 150 - 36);
}

// The forces of a short flight in which the pilot switches the wind on from
// the page, with the system's clocks set from seed before the module is
// loaded; none where the clocks cannot be set.
std::vector<VECTOR3> ForcesWithClocksFrom(uint64_t seed) {
  testing_support::ScratchFolder folder;
  std::filesystem::copy_file(testing_support::ModulePath(), folder / "Galeboard.dll");
  ghost::World world;
  ghost::Vessel& glider = world.AddVessel("GL-01", "Glider1", &ghost::AddEarth(world));
  glider.altitude = 800.0;
  ghost::Host host{world};
  if (!host.SetClocks(ghost::ClocksFromSeed(seed))) return {};
  if (!host.LoadModule((folder / "Galeboard.dll").string())) {
    ADD_FAILURE() << "the module did not load";
    return {};
  }
  host.StartSimulation();
  int page = host.OpenDisplay(ghost::DisplaySpec{}, &glider);
  for (DWORD key : {OAPI_KEY_E, OAPI_KEY_W, OAPI_KEY_W, OAPI_KEY_W, OAPI_KEY_S, OAPI_KEY_S, OAPI_KEY_X})
    host.Key(page, key);
  std::vector<VECTOR3> forces;
  for (int i = 0; i < 50; ++i) {
    host.Step(0.1);
    for (const ghost::AppliedForce& f : glider.forces) forces.push_back(f.F);
  }
  return forces;
}

bool SameForces(const std::vector<VECTOR3>& a, const std::vector<VECTOR3>& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (a[i].x != b[i].x || a[i].y != b[i].y || a[i].z != b[i].z) return false;
  return true;
}

TEST(ClocksOfTheHost, SeedTheLoadedModuleSoThatOneSeedFliesTheSameWind) {
  const std::vector<VECTOR3> first = ForcesWithClocksFrom(7);
  if (first.empty()) GTEST_SKIP() << "the system's own clocks cannot be set";
  ASSERT_EQ(first.size(), 50u) << "one force a step";
  EXPECT_TRUE(SameForces(ForcesWithClocksFrom(7), first)) << "the same clocks, another wind";
  EXPECT_FALSE(SameForces(ForcesWithClocksFrom(8), first)) << "other clocks, the same wind";
}

}  // namespace
