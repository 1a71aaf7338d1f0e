// The settings file's list of section names over a counting fake of the
// platform's profile functions, linked in their place: a list that does not
// fit comes back with the count size - 2, and only the calls the file makes
// show whether it then asks again with twice the room.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "module/Module.h"
#include "platform/Platform.h"
#include "settings/SettingsFile.h"

char settingsPath[kSettingsPathSize];

namespace {

// The file's list: section names ended by a NUL each, without the NUL that
// ends the list.
std::string namesList;
std::vector<DWORD> sizesAsked;  // nSize of each call, in order
std::string pathAsked;

}  // namespace

// As the platform documents it: the list and a second NUL when both fit,
// giving the list's length; otherwise cut to nSize - 2 characters and two
// NULs, giving nSize - 2.
DWORD GetPrivateProfileSectionNamesA(char* lpszReturnBuffer, DWORD nSize, const char* lpFileName) {
  sizesAsked.push_back(nSize);
  pathAsked = lpFileName;
  if (namesList.size() + 1 <= nSize) {
    std::memcpy(lpszReturnBuffer, namesList.data(), namesList.size());
    lpszReturnBuffer[namesList.size()] = '\0';
    return static_cast<DWORD>(namesList.size());
  }
  std::memcpy(lpszReturnBuffer, namesList.data(), nSize - 2);
  lpszReturnBuffer[nSize - 2] = lpszReturnBuffer[nSize - 1] = '\0';
  return nSize - 2;
}

// The file object also reads and writes keys; nothing here does.
UINT GetPrivateProfileIntA(const char*, const char*, int nDefault, const char*) {
  ADD_FAILURE() << "no key is read";
  return static_cast<UINT>(nDefault);
}

BOOL WritePrivateProfileStringA(const char*, const char*, const char*, const char*) {
  ADD_FAILURE() << "no key is written";
  return FALSE;
}

namespace {

// A list of exactly length characters: up to three names of nine with their
// NUL, then one name taking what is left.
std::string ListOf(size_t length) {
  std::string list;
  for (int n = 0; n < 3 && length - list.size() > 18; ++n) list += "Section" + std::to_string(n) + '\0';
  list.append(length - list.size() - 1, 'S');
  list.push_back('\0');
  return list;
}

class SectionNamesList : public ::testing::Test {
 protected:
  void SetUp() override {
    std::strcpy(settingsPath, "/settings/Galeboard.cfg");
    sizesAsked.clear();
  }
  void TearDown() override { settingsPath[0] = '\0'; }
};

TEST_F(SectionNamesList, IsAskedForAgainAtEachDoublingWhileTheCountIsTheSizeLessTwo) {
  struct Case {
    const char* what;
    size_t length;  // characters of the list, without its final NUL
    std::vector<DWORD> sizes;
  };
  const Case kCases[] = {
      {"a short list fits the first 128", 40, {128}},
      {"127 and the final NUL fill 128 exactly", 127, {128}},
      {"126 reads as cut (size - 2): once more with 256", 126, {128, 256}},
      {"128 is cut at 128, fits 256", 128, {128, 256}},
      {"300 fits only 512", 300, {128, 256, 512}},
      {"510 reads as cut at 512: 1024", 510, {128, 256, 512, 1024}},
      {"5000 fits 8192", 5000, {128, 256, 512, 1024, 2048, 4096, 8192}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    namesList = ListOf(c.length);
    ASSERT_EQ(namesList.size(), c.length);
    sizesAsked.clear();

    std::unique_ptr<char[]> names = SettingsFile().GetSectionNames();

    EXPECT_EQ(sizesAsked, c.sizes);
    EXPECT_EQ(pathAsked, "/settings/Galeboard.cfg");
    ASSERT_TRUE(names);
    EXPECT_EQ(std::string(names.get(), c.length + 1), namesList + '\0') << "the whole list, ended by a second NUL";
    EXPECT_EQ(names[c.length], '\0');
  }
}

TEST_F(SectionNamesList, ThatNeverFitsStopsAt64MebibytesAndGivesAnEmptyList) {
  // Larger than any buffer the file asks with: a file of this many section
  // names is no settings file of ours.
  namesList = ListOf((size_t{1} << 26) + 10);
  std::unique_ptr<char[]> names = SettingsFile().GetSectionNames();
  const std::vector<DWORD> kSizes = {128,     256,     512,     1024,     2048,     4096,    8192,
                                     16384,   32768,   65536,   131072,   262144,   524288,  1048576,
                                     2097152, 4194304, 8388608, 16777216, 33554432, 67108864};
  EXPECT_EQ(sizesAsked, kSizes);
  ASSERT_TRUE(names);
  EXPECT_EQ(names[0], '\0');
  namesList.clear();
}

TEST_F(SectionNamesList, WithoutASettingsPathIsEmptyAndNothingIsAsked) {
  settingsPath[0] = '\0';
  namesList = ListOf(40);
  std::unique_ptr<char[]> names = SettingsFile().GetSectionNames();
  EXPECT_TRUE(sizesAsked.empty());
  ASSERT_TRUE(names);
  EXPECT_EQ(names[0], '\0');
  EXPECT_EQ(names[1], '\0');
}

}  // namespace
