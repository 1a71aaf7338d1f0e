// What this platform layer keeps beyond the outcomes Windows shares: the
// other lines of a file byte for byte, and the old file whenever a write
// fails. (The failures that Windows' own functions meet too, a folder in the
// file's place, a read-only file, a full disk, are in ProfileTest.cpp.)
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <ostream>
#include <random>
#include <string>
#include <thread>

#include "platform/Platform.h"
#include "tests/support/TestSupport.h"

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kAddressSanitizer = true;
#elif defined(__has_feature)
constexpr bool kAddressSanitizer = __has_feature(address_sanitizer);
#else
constexpr bool kAddressSanitizer = false;
#endif

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

// Temporary files of writes in the folder: left over.
int TemporaryFiles(const ScratchFolder& folder) {
  int n = 0;
  for (const auto& e : std::filesystem::directory_iterator(folder.path()))
    if (e.path().extension() == ".tmp") ++n;
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
  EXPECT_EQ(TemporaryFiles(folder), 0);
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
// What temporary file the killed write leaves, the next write removes.
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
    std::fflush(nullptr);  // no child writes the output held so far again
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
    leftovers += TemporaryFiles(folder);
    EXPECT_NE(WritePrivateProfileStringA("A", "k", "0", path.c_str()), FALSE);
    EXPECT_EQ(TemporaryFiles(folder), 0) << "round " << round << ": left by the killed writer, kept by the next";
  }
  EXPECT_EQ(GetPrivateProfileIntA("Pad", "p0", -1, path.c_str()), 0u);
  std::printf("temporary files left by %d killed writers: %d\n", kRounds, leftovers);
}

// The name a write of the process pid gives its temporary file.
std::string TemporaryName(const std::string& path, pid_t pid, int n) {
  return path + "." + std::to_string(pid) + "-" + std::to_string(n) + ".tmp";
}

TEST(ProfileReplace, RemovesTemporaryFilesOfWritersThatAreGoneAndNoOthers) {
  ScratchFolder folder;
  std::string path = (folder / "test.ini").string();
  WriteFile(path, "[A]\r\nk=1\r\n");
  // A process that is gone, and one that lives and might be writing.
  std::fflush(nullptr);
  pid_t gone = fork();
  ASSERT_GE(gone, 0);
  if (gone == 0) _exit(0);
  waitpid(gone, nullptr, 0);
  std::fflush(nullptr);
  pid_t alive = fork();
  ASSERT_GE(alive, 0);
  if (alive == 0) {
    alarm(20);
    pause();
    _exit(0);
  }
  const std::string goneTemp = TemporaryName(path, gone, 0);
  const std::string goneTemp2 = TemporaryName(path, gone, 37);
  const std::string aliveTemp = TemporaryName(path, alive, 0);
  // Not the temporary files of this settings file.
  const std::string otherFile = TemporaryName((folder / "other.ini").string(), gone, 0);
  const std::string notANumber = path + ".x" + std::to_string(gone) + "-0.tmp";
  for (const std::string& p : {goneTemp, goneTemp2, aliveTemp, otherFile, notANumber}) WriteFile(p, "partial");

  EXPECT_NE(WritePrivateProfileStringA("A", "k", "2", path.c_str()), FALSE);
  kill(alive, SIGKILL);
  waitpid(alive, nullptr, 0);
  EXPECT_FALSE(std::filesystem::exists(goneTemp));
  EXPECT_FALSE(std::filesystem::exists(goneTemp2));
  EXPECT_TRUE(std::filesystem::exists(aliveTemp));
  EXPECT_TRUE(std::filesystem::exists(otherFile));
  EXPECT_TRUE(std::filesystem::exists(notANumber));
}

// Runs fn in a child process that an alarm ends after a few seconds, with a
// bound on its memory where the build allows one; true when fn returned true.
bool InChild(const std::function<bool()>& fn) {
  std::fflush(nullptr);
  pid_t child = fork();
  if (child < 0) return false;
  if (child == 0) {
    alarm(10);
    // A read that never ends would otherwise take the machine's memory.
    // (AddressSanitizer reserves terabytes of address space at start.)
    if (!kAddressSanitizer) {
      rlimit limit{rlim_t{2} << 30, rlim_t{2} << 30};
      setrlimit(RLIMIT_AS, &limit);
    }
    _exit(fn() ? 0 : 1);
  }
  int status = 0;
  waitpid(child, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

struct SpecialCase {
  const char* what;
  std::function<bool(const std::string& path)> make;
};

void PrintTo(const SpecialCase& c, std::ostream* os) { *os << c.what; }

class SpecialFile : public ::testing::TestWithParam<SpecialCase> {};

// A FIFO would block the open, a device be read for ever: anything but a
// regular file in the file's place reads as a file that cannot be read, at
// once, and is never replaced.
TEST_P(SpecialFile, IsAnUnreadableFileAndStaysInPlace) {
  ScratchFolder folder;
  std::string path = (folder / "test.ini").string();
  ASSERT_TRUE(GetParam().make(path));
  struct stat before;
  ASSERT_EQ(lstat(path.c_str(), &before), 0);
  EXPECT_TRUE(InChild([&] {
    char names[64];
    std::memset(names, 'x', sizeof names);
    return GetPrivateProfileIntA("A", "k", 7, path.c_str()) == 7u &&
           GetPrivateProfileSectionNamesA(names, sizeof names, path.c_str()) == 0 && names[0] == '\0' &&
           WritePrivateProfileStringA("A", "k", "2", path.c_str()) == FALSE;
  })) << "blocked, read without end, or not refused";
  struct stat after;
  ASSERT_EQ(lstat(path.c_str(), &after), 0);
  EXPECT_EQ(after.st_ino, before.st_ino);
  EXPECT_EQ(after.st_mode, before.st_mode);
  int files = 0;
  for (const auto& e : std::filesystem::directory_iterator(folder.path())) files += e.path() != path;
  EXPECT_EQ(files, 0) << "a temporary or lock file was made";
}

bool MakeFifo(const std::string& path) { return mkfifo(path.c_str(), 0600) == 0; }

bool LinkTo(const char* target, const std::string& path) { return symlink(target, path.c_str()) == 0; }

// Left bound and unlistened: an open fails at once, as on any system.
bool MakeSocket(const std::string& path) {
  int fd = socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  if (fd < 0 || path.size() >= sizeof addr.sun_path) return false;
  std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
  bool ok = bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
  close(fd);
  return ok;
}

INSTANTIATE_TEST_SUITE_P(Cases, SpecialFile,
                         ::testing::Values(SpecialCase{"fifo", MakeFifo},
                                           SpecialCase{"link_to_dev_zero",
                                                       [](const std::string& p) { return LinkTo("/dev/zero", p); }},
                                           SpecialCase{"link_to_dev_urandom",
                                                       [](const std::string& p) { return LinkTo("/dev/urandom", p); }},
                                           SpecialCase{"socket", MakeSocket}),
                         [](const auto& param) { return std::string(param.param.what); });

// Another process that holds the write lock for longer than a write waits:
// the write gives up rather than stop the simulation, and changes nothing.
TEST(ProfileLock, HeldByAnotherProcessForTooLongMakesTheWriteFail) {
  ScratchFolder folder;
  std::string path = (folder / "test.ini").string();
  const std::string before = "[A]\r\nk=1\r\n";
  WriteFile(path, before);
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  std::fflush(nullptr);
  pid_t holder = fork();
  ASSERT_GE(holder, 0);
  if (holder == 0) {
    alarm(30);
    int fd = open((path + ".lock").c_str(), O_RDWR | O_CREAT, 0666);
    if (fd < 0 || flock(fd, LOCK_EX) != 0) _exit(1);
    if (write(ready[1], "x", 1) != 1) _exit(1);
    pause();
    _exit(0);
  }
  close(ready[1]);
  char c;
  ASSERT_EQ(read(ready[0], &c, 1), 1);
  close(ready[0]);
  EXPECT_EQ(WritePrivateProfileStringA("A", "k", "2", path.c_str()), FALSE);
  kill(holder, SIGKILL);
  waitpid(holder, nullptr, 0);
  EXPECT_EQ(ReadFile(path), before);
  EXPECT_NE(WritePrivateProfileStringA("A", "k", "2", path.c_str()), FALSE) << "the lock ends with its process";
}

}  // namespace
