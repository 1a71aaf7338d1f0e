// The settings file's path, built from the library's own path.
#include <gtest/gtest.h>

#include <filesystem>

#include "host/Host.h"
#include "module/Module.h"
#include "tests/support/TestSupport.h"

namespace {

DLLCLBK void InitModule(HINSTANCE);

struct PathCase {
  const char* libraryName;
  const char* settingsName;
};

class SettingsPath : public ::testing::TestWithParam<PathCase> {
 protected:
  ghost::World world_;
  ghost::Host host_{world_};
  testing_support::ScratchFolder folder_;
};

TEST_P(SettingsPath, LosesExactlyThreeCharactersForCfg) {
  std::filesystem::path lib = folder_ / GetParam().libraryName;
  std::filesystem::copy_file(testing_support::ModulePath(), lib);
  // Opened only, not initialised: the code under test is this program's copy.
  ghost::ModuleLibrary opened(lib.string());
  ASSERT_TRUE(opened.loaded()) << opened.error();

  InitModule(opened.instance());

  EXPECT_EQ(std::filesystem::path(settingsPath), folder_ / GetParam().settingsName);
  EXPECT_NE(moduleInstance, nullptr);
}

INSTANTIATE_TEST_SUITE_P(LibraryNames, SettingsPath,
                         ::testing::Values(PathCase{"Galeboard.dll", "Galeboard.cfg"},
                                           PathCase{"Galeboard.plugin", "Galeboard.plucfg"},
                                           PathCase{"Galeboard.so", "Galeboardcfg"}));

TEST(SettingsPathRefused, NoLibraryPathLeavesItEmptyButStillRegisters) {
  ghost::World world;
  ghost::Host host(world);
  int notALibrary = 0;
  InitModule(reinterpret_cast<HINSTANCE>(&notALibrary));
  EXPECT_STREQ(settingsPath, "");
  EXPECT_EQ(host.modules().size(), 1u);
  ASSERT_EQ(host.modes().size(), 1u);
  EXPECT_EQ(host.modes()[0].name, "Galeboard");
}

}  // namespace
