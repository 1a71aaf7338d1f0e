// What this platform layer keeps beyond the outcomes Windows shares: the
// other lines of a file byte for byte, and the old file whenever a write
// fails. (The failures that Windows' own functions meet too, a folder in the
// file's place, a read-only file, a full disk, are in ProfileTest.cpp.)
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <ostream>
#include <random>
#include <string>
#include <thread>

#include "platform/Platform.h"
#include "tests/support/TestSupport.h"

namespace {

using testing_support::ReadFile;
using testing_support::ScratchFolder;
using testing_support::WriteFile;

struct ExactCase {
  const char* what;
  const char* before;
  const char* section;
  const char* key;
  const char* value;
  const char* after;
};

// Cases print as their description, not as raw bytes.
void PrintTo(const ExactCase& c, std::ostream* os) { *os << c.what; }

class ProfileExactBytes : public ::testing::TestWithParam<ExactCase> {};

TEST_P(ProfileExactBytes, EveryOtherLineStaysAsItWas) {
  const ExactCase& c = GetParam();
  ScratchFolder folder;
  std::string path = (folder / "test.ini").string();
  WriteFile(path, c.before);
  EXPECT_NE(WritePrivateProfileStringA(c.section, c.key, c.value, path.c_str()), FALSE) << c.what;
  EXPECT_EQ(ReadFile(path), c.after) << c.what;
}

// clang-format off
const ExactCase kExactCases[] = {
    {"blank lines, indentation and trailing spaces kept",
     "; settings\r\n\r\n[A]  \r\n  k = 1  \r\n\tj=2\r\n\r\n\r\n[B]\r\nx=1\r\n",
     "A", "k", "5",
     "; settings\r\n\r\n[A]  \r\nk=5\r\n\tj=2\r\n\r\n\r\n[B]\r\nx=1\r\n"},
    {"a new key goes before the blank lines that end its section",
     "[A]\r\nk=1\r\n\r\n[B]\r\nx=1\r\n", "A", "n", "2",
     "[A]\r\nk=1\r\nn=2\r\n\r\n[B]\r\nx=1\r\n"},
    {"LF file keeps LF, new lines too",
     "[A]\nk=1\n\n[B]\nx=1\n", "C", "n", "2",
     "[A]\nk=1\n\n[B]\nx=1\n[C]\nn=2\n"},
    {"a last line without line end gets one before a new section",
     "[A]\r\nk=1", "B", "n", "2",
     "[A]\r\nk=1\r\n[B]\r\nn=2\r\n"},
    {"a header with text after it is kept as it is",
     "[A] ; the first\r\nk=1\r\n", "A", "k", "2",
     "[A] ; the first\r\nk=2\r\n"},
    {"a byte-order mark is kept and the first header still found",
     "\xEF\xBB\xBF[A]\r\nk=1\r\n", "A", "k", "2",
     "\xEF\xBB\xBF[A]\r\nk=2\r\n"},
    {"a key before the first header goes after the byte-order mark, which keeps the header a header",
     "\xEF\xBB\xBF[A]\r\nk=1\r\n", "", "n", "2",
     "\xEF\xBB\xBFn=2\r\n[A]\r\nk=1\r\n"},
    {"a comment that looks like the key is left alone",
     "[A]\r\n;k=1\r\n", "A", "k", "2",
     "[A]\r\n;k=1\r\nk=2\r\n"},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Cases, ProfileExactBytes, ::testing::ValuesIn(kExactCases));

TEST(ProfileComment, IsNeverReadAsAKey) {
  ScratchFolder folder;
  std::string path = (folder / "test.ini").string();
  WriteFile(path, "[A]\r\n;k=1\r\n");
  EXPECT_EQ(GetPrivateProfileIntA("A", ";k", 7, path.c_str()), 7u);
  EXPECT_EQ(GetPrivateProfileIntA("A", "k", 7, path.c_str()), 7u);
}

// Files in the folder other than the settings file: temporary ones left over.
int OtherFiles(const ScratchFolder& folder, const std::string& keep) {
  int n = 0;
  for (const auto& e : std::filesystem::directory_iterator(folder.path()))
    if (e.path().filename() != keep) ++n;
  return n;
}

TEST(ProfileReplace, LeavesNoTemporaryFileAndKeepsTheMode) {
  ScratchFolder folder;
  std::string path = (folder / "test.ini").string();
  WriteFile(path, "[A]\r\nk=1\r\n");
  ASSERT_EQ(chmod(path.c_str(), 0640), 0);
  EXPECT_NE(WritePrivateProfileStringA("A", "k", "2", path.c_str()), FALSE);
  struct stat st;
  ASSERT_EQ(stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  EXPECT_EQ(OtherFiles(folder, "test.ini"), 0);
}

TEST(ProfileReplace, ThroughALinkChangesTheFileAndKeepsTheLink) {
  ScratchFolder folder;
  std::string real = (folder / "real.ini").string();
  std::string link = (folder / "link.ini").string();
  WriteFile(real, "[A]\r\nk=1\r\n");
  std::filesystem::create_symlink(real, link);
  EXPECT_NE(WritePrivateProfileStringA("A", "k", "2", link.c_str()), FALSE);
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(ReadFile(real), "[A]\r\nk=2\r\n");
}

struct BreakCase {
  const char* what;
  const char* section;
  const char* key;
  const char* value;
};

void PrintTo(const BreakCase& c, std::ostream* os) { *os << c.what; }

class ProfileUnwritableName : public ::testing::TestWithParam<BreakCase> {};

TEST_P(ProfileUnwritableName, IsRefusedAndTheFileKept) {
  const BreakCase& c = GetParam();
  ScratchFolder folder;
  std::string path = (folder / "test.ini").string();
  const std::string before = "[A]\r\nk=1\r\n";
  WriteFile(path, before);
  EXPECT_EQ(WritePrivateProfileStringA(c.section, c.key, c.value, path.c_str()), FALSE) << c.what;
  EXPECT_EQ(ReadFile(path), before) << c.what;
}

// Each would add a line of its own, or a line that reads back as something
// else: another section, a comment, another key.
INSTANTIATE_TEST_SUITE_P(Cases, ProfileUnwritableName,
                         ::testing::Values(BreakCase{"a line break in the section", "X\r\n[A", "k", "2"},
                                           BreakCase{"a line break in the key", "A", "k\nj", "2"},
                                           BreakCase{"a line break in the value", "A", "k", "2\r\n[B]"},
                                           BreakCase{"a lone CR in the value", "A", "k", "2\rx"},
                                           BreakCase{"a key that reads as a header", "", "[B]!", "x"},
                                           BreakCase{"a key that reads as a comment", "A", ";k", "x"},
                                           BreakCase{"a key with an equals sign", "A", "k=1", "x"}));

TEST(ProfileSectionNamesCut, EndsWithTwoNulsSoAWalkStopsInside) {
  ScratchFolder folder;
  std::string path = (folder / "test.ini").string();
  WriteFile(path, "[AB]\r\n[CDE]\r\n[F]\r\n");
  char buffer[6];
  EXPECT_EQ(GetPrivateProfileSectionNamesA(buffer, sizeof buffer, path.c_str()), 4u);
  EXPECT_EQ(buffer[4], '\0');
  EXPECT_EQ(buffer[5], '\0');
}

TEST(ProfileSectionNamesCut, NullBufferGivesZero) {
  EXPECT_EQ(GetPrivateProfileSectionNamesA(nullptr, 16, "/nonexistent.ini"), 0u);
}

// A process killed at any moment of a write leaves the file it was writing
// as it was before or as the write makes it, whole; never a mix or a stub.
TEST(ProfileReplace, WriterKilledAtRandomMomentsLeavesTheOldOrTheNewFile) {
  ScratchFolder folder;
  std::string path = (folder / "test.ini").string();
  // Megabytes of another section, so that a write takes long enough to be
  // caught in the middle.
  std::string padding = "[Pad]\r\n";
  for (int i = 0; padding.size() < (4u << 20); ++i) padding += "p" + std::to_string(i) + "=padding padding\r\n";
  auto version = [&](const char* k) { return "[A]\r\nk=" + std::string(k) + "\r\n" + padding; };
  WriteFile(path, version("0"));
  const int kRounds = 40;

  std::mt19937 random(20261210u);
  int leftovers = 0;
  for (int round = 0; round < kRounds; ++round) {
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      alarm(20);  // should the test die first
      for (unsigned i = 0;; ++i) WritePrivateProfileStringA("A", "k", i % 2 ? "1" : "2", path.c_str());
    }
    std::this_thread::sleep_for(std::chrono::microseconds(random() % 30000));
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    const std::string now = ReadFile(path);
    EXPECT_TRUE(now == version("0") || now == version("1") || now == version("2"))
        << "round " << round << ": " << now.size() << " bytes, starting " << now.substr(0, 12);
    // A write cut short may leave its temporary file: never the settings file.
    for (const auto& e : std::filesystem::directory_iterator(folder.path()))
      if (e.path().filename() != "test.ini") {
        ++leftovers;
        std::filesystem::remove(e.path());
      }
  }
  EXPECT_EQ(GetPrivateProfileIntA("Pad", "p0", -1, path.c_str()), 0u);
  std::printf("temporary files left by %d killed writers: %d\n", kRounds, leftovers);
}

}  // namespace
