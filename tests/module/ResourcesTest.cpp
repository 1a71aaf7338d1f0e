// The string table the simulator's launcher reads from Galeboard.dll to list
// the module: read back from the loaded library as the launcher does.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "host/Host.h"
#include "resources/resource.h"
#include "tests/support/TestSupport.h"

namespace {

struct StringCase {
  UINT id;
  const char* text;
};

class StringTable : public ::testing::TestWithParam<StringCase> {
 protected:
  ghost::World world_;
  ghost::Host host_{world_};
};

// The escapes of the resource script must come out as CR LF, and nothing may
// be cut or added: the launcher shows the text as it is.
TEST_P(StringTable, TextComesBackExactlyWithItsLineBreaks) {
  ghost::ModuleLibrary lib(testing_support::ModulePath().string());
  ASSERT_TRUE(lib.loaded()) << lib.error();

  char buffer[512] = {};
  int n = LoadStringA(lib.instance(), GetParam().id, buffer, static_cast<int>(sizeof buffer));
  ASSERT_GT(n, 0) << "no string " << GetParam().id << ", error " << GetLastError();
  EXPECT_EQ(std::string(buffer, static_cast<size_t>(n)), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    ModuleList, StringTable,
    ::testing::Values(StringCase{IDS_DESCRIPTION,
                                 "Galeboard v1.1.0:\r\n\r\nSimulates the effects of the wind on the focused ship."},
                      StringCase{IDS_CATEGORY, "MFD modes"}));

TEST(StringTableIds, AreTheOnesTheLauncherAsksFor) {
  EXPECT_EQ(IDS_DESCRIPTION, 1000);
  EXPECT_EQ(IDS_CATEGORY, 1001);
}

}  // namespace
