// The settings file's search of the section names over a counting fake of
// the platform's profile functions, linked in their place: a list that does
// not fit comes back with the count size - 2, and only the calls the file
// makes show whether it then asks again with twice the room.
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

// The name sought is absent, or the list's last: the list is asked for again
// with twice the room while the count is the size less two and the name has
// not stood whole before the count.
TEST_F(SectionNamesList, IsAskedForAgainAtEachDoublingWhileTheCountIsTheSizeLessTwo) {
  struct Case {
    const char* what;
    size_t length;                   // characters of the list, without its final NUL
    std::vector<DWORD> sizesAbsent;  // asked for a name the list lacks
    std::vector<DWORD> sizesLast;    // asked for the list's last name
  };
  // The last name's NUL is the list's last character: whole in a buffer
  // whose count passes it.
  const Case kCases[] = {
      {"a short list fits the first 128", 40, {128}, {128}},
      {"127 and the final NUL fill 128 exactly", 127, {128}, {128}},
      {"126 reads as cut (size - 2): once more with 256, but the last name is whole", 126, {128, 256}, {128}},
      {"128 is cut at 128 inside the last name, fits 256", 128, {128, 256}, {128, 256}},
      {"300 fits only 512", 300, {128, 256, 512}, {128, 256, 512}},
      {"510 reads as cut at 512: 1024, but the last name is whole at 512", 510, {128, 256, 512, 1024}, {128, 256, 512}},
      {"5000 fits 8192", 5000, {128, 256, 512, 1024, 2048, 4096, 8192}, {128, 256, 512, 1024, 2048, 4096, 8192}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    namesList = ListOf(c.length);
    ASSERT_EQ(namesList.size(), c.length);
    const std::string last = namesList.substr(namesList.rfind('\0', c.length - 2) + 1, std::string::npos);

    sizesAsked.clear();
    EXPECT_EQ(SettingsFile().FindSection("Absent"), SectionMatch::None);
    EXPECT_EQ(sizesAsked, c.sizesAbsent);
    EXPECT_EQ(pathAsked, "/settings/Galeboard.cfg");

    sizesAsked.clear();
    EXPECT_EQ(SettingsFile().FindSection(last.substr(0, last.size() - 1)), SectionMatch::Exact);
    EXPECT_EQ(sizesAsked, c.sizesLast);
  }
}

// A file of millions of long section names: the list passes 64 MiB, and the
// vessel's section is found wherever it stands, the first name at once.
TEST_F(SectionNamesList, BeyondSixtyFourMebibytesIsReadOnToTheName) {
  namesList = ListOf((size_t{1} << 26) + 10);
  EXPECT_EQ(SettingsFile().FindSection("Section0"), SectionMatch::Exact);
  EXPECT_EQ(sizesAsked, std::vector<DWORD>{128});

  sizesAsked.clear();
  const std::string last(namesList.size() - 1 - namesList.rfind('\0', namesList.size() - 2) - 1, 'S');
  EXPECT_EQ(SettingsFile().FindSection(last), SectionMatch::Exact);
  const std::vector<DWORD> kSizes = {128,     256,     512,     1024,     2048,     4096,     8192,
                                     16384,   32768,   65536,   131072,   262144,   524288,   1048576,
                                     2097152, 4194304, 8388608, 16777216, 33554432, 67108864, 134217728};
  EXPECT_EQ(sizesAsked, kSizes);
  namesList.clear();
}

TEST_F(SectionNamesList, WithoutASettingsPathHasNoSectionAndNothingIsAsked) {
  settingsPath[0] = '\0';
  namesList = ListOf(40);
  EXPECT_EQ(SettingsFile().FindSection("Section0"), SectionMatch::None);
  EXPECT_TRUE(sizesAsked.empty());
}

}  // namespace
