// The settings file's path, built from the library's own path.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <system_error>

#include "host/Atmospheres.h"
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

// Everything under a folder, as paths relative to it.
std::set<std::string> Tree(const std::filesystem::path& root) {
  std::set<std::string> names;
  for (const auto& e : std::filesystem::recursive_directory_iterator(root))
    names.insert(std::filesystem::relative(e.path(), root).string());
  return names;
}

struct LongPathCase {
  const char* what;
  size_t pathLength;  // characters of the library's full path
};

void PrintTo(const LongPathCase& c, std::ostream* os) { *os << c.what; }

class LongLibraryPath : public ::testing::TestWithParam<LongPathCase> {
 protected:
  ghost::World world_;
  ghost::Host host_{world_};
  testing_support::ScratchFolder folder_;
};

// The platform gives at most 259 characters and a terminator; a longer path
// comes back cut, and its last three characters are not the extension.
TEST_P(LongLibraryPath, ThatThePlatformCutIsNoPathAndNothingIsWritten) {
  const std::string name = "Galeboard.dll";
  const size_t folderLength = GetParam().pathLength - folder_.path().string().size() - 2 - name.size();
  ASSERT_LT(folderLength, 250u);
  const std::filesystem::path lib = folder_ / std::string(folderLength, 'F') / name;
  ASSERT_EQ(lib.string().size(), GetParam().pathLength);
  std::error_code ec;
  std::filesystem::create_directory(lib.parent_path(), ec);
  if (!ec) std::filesystem::copy_file(testing_support::ModulePath(), lib, ec);
  std::unique_ptr<ghost::ModuleLibrary> opened;
  if (!ec) opened = std::make_unique<ghost::ModuleLibrary>(lib.string());
#ifdef _WIN32
  // Without long-path support Windows can neither make such a path nor load
  // a library from one: the platform never gives the module a cut path.
  if (ec || !opened->loaded()) GTEST_SKIP() << "this Windows takes no path this long";
#endif
  ASSERT_FALSE(ec) << ec.message();
  ASSERT_TRUE(opened->loaded()) << opened->error();
  const std::set<std::string> before = Tree(folder_.path());

  InitModule(opened->instance());
  EXPECT_STREQ(settingsPath, "");

  ghost::Vessel& v = world_.AddVessel("V", "Glider1", &ghost::AddEarth(world_));
  v.altitude = 1000.0;
  moduleInstance->SaveSettings(v.iface.get());
  EXPECT_EQ(Tree(folder_.path()), before);
}

INSTANTIATE_TEST_SUITE_P(Cases, LongLibraryPath,
                         ::testing::Values(LongPathCase{"cut_in_the_file_name", 262},
                                           LongPathCase{"cut_in_the_folder_name", 280},
                                           LongPathCase{"one_character_too_long", 260}),
                         [](const auto& param) { return std::string(param.param.what); });

}  // namespace
