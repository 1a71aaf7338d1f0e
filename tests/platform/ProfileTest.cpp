// The private-profile functions against a table of cases that Windows' own
// functions pass too (the Windows build runs this file against kernel32, in
// CI under Wine). Wine's kernel32 rewrites a whole file in its own layout
// (blank lines dropped, lines trimmed), so file contents are compared line by
// line, trimmed, without blank lines; the exact bytes that this platform
// layer keeps are tested apart. Where the outcomes differ (a full disk), the
// case says how.
#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <filesystem>
#include <ostream>
#include <string>

#include "platform/Platform.h"
#include "tests/support/FullDisk.h"
#include "tests/support/TestSupport.h"

namespace {

using testing_support::ReadFile;
using testing_support::ScratchFolder;
using testing_support::WriteFile;

constexpr int kDefault = 777;
constexpr UINT kDefaultRead = 777u;

// The non-blank lines of a file, trimmed, joined by "\n".
std::string Lines(const std::string& content) {
  std::string out;
  size_t i = 0;
  while (i <= content.size()) {
    size_t j = content.find_first_of("\r\n", i);
    if (j == std::string::npos) j = content.size();
    std::string line = content.substr(i, j - i);
    size_t b = line.find_first_not_of(" \t");
    if (b != std::string::npos) {
      size_t e = line.find_last_not_of(" \t");
      if (!out.empty()) out += "\n";
      out += line.substr(b, e - b + 1);
    }
    if (j < content.size() && content[j] == '\r' && j + 1 < content.size() && content[j + 1] == '\n') ++j;
    i = j + 1;
  }
  return out;
}

struct IntCase {
  const char* what;
  const char* file;  // null: no file
  const char* section;
  const char* key;
  UINT expected;
};

// Cases print as their description, not as raw bytes.
void PrintTo(const IntCase& c, std::ostream* os) { *os << c.what; }

class ProfileInt : public ::testing::TestWithParam<IntCase> {};

TEST_P(ProfileInt, ReadsAsWindows) {
  const IntCase& c = GetParam();
  ScratchFolder folder;
  std::string path = (folder / "test.ini").string();
  if (c.file) WriteFile(path, c.file);
  EXPECT_EQ(GetPrivateProfileIntA(c.section, c.key, kDefault, path.c_str()), c.expected) << c.what;
}

std::string CaseName(const char* what) {
  std::string n;
  for (const char* p = what; *p; ++p) n += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
  return n;
}

// clang-format off
const IntCase kIntCases[] = {
    {"decimal", "[S]\r\nk=12\r\n", "S", "k", 12u},
    {"leading blanks and tabs skipped", "[S]\r\nk= \t 12\r\n", "S", "k", 12u},
    {"plus sign", "[S]\r\nk=+5\r\n", "S", "k", 5u},
    {"minus sign wraps to unsigned", "[S]\r\nk=-5\r\n", "S", "k", static_cast<UINT>(-5)},
    {"reading stops at trailing garbage", "[S]\r\nk=12abc\r\n", "S", "k", 12u},
    {"stops at a space", "[S]\r\nk=12 34\r\n", "S", "k", 12u},
    {"stops at an exponent", "[S]\r\nk=1e3\r\n", "S", "k", 1u},
    {"stops before a trailing comment", "[S]\r\nk=6 ; six\r\n", "S", "k", 6u},
    {"no digits give 0", "[S]\r\nk=abc\r\n", "S", "k", 0u},
    {"space after the sign gives 0", "[S]\r\nk=- 5\r\n", "S", "k", 0u},
    {"two signs give 0", "[S]\r\nk=+-5\r\n", "S", "k", 0u},
    {"hex with 0x", "[S]\r\nk=0x1f\r\n", "S", "k", 31u},
    {"hex with 0X is not hex", "[S]\r\nk=0X1f\r\n", "S", "k", 0u},
    {"negative hex", "[S]\r\nk=-0x10\r\n", "S", "k", static_cast<UINT>(-16)},
    {"0x alone gives 0", "[S]\r\nk=0x\r\n", "S", "k", 0u},
    {"octal with 0o", "[S]\r\nk=0o17\r\n", "S", "k", 15u},
    {"leading zero is still decimal", "[S]\r\nk=010\r\n", "S", "k", 10u},
    {"binary with 0b", "[S]\r\nk=0b101\r\n", "S", "k", 5u},
    {"binary stops at a 2", "[S]\r\nk=0b2\r\n", "S", "k", 0u},
    {"largest signed value", "[S]\r\nk=2147483647\r\n", "S", "k", 2147483647u},
    {"one past it wraps to the smallest", "[S]\r\nk=2147483648\r\n", "S", "k", 2147483648u},
    {"largest unsigned value", "[S]\r\nk=4294967295\r\n", "S", "k", 4294967295u},
    {"overflow wraps modulo 2^32", "[S]\r\nk=4294967296\r\n", "S", "k", 0u},
    {"long overflow wraps", "[S]\r\nk=99999999999\r\n", "S", "k", 1215752191u},
    {"negative overflow wraps", "[S]\r\nk=-2147483649\r\n", "S", "k", 2147483647u},
    {"hex overflow wraps", "[S]\r\nk=0xFFFFFFFF1\r\n", "S", "k", static_cast<UINT>(-15)},
    {"only 29 characters count", "[S]\r\nk=000000000000000000000000000042\r\n", "S", "k", 4u},
    {"29 characters all count", "[S]\r\nk=00000000000000000000000000042\r\n", "S", "k", 42u},
    {"double quotes dropped", "[S]\r\nk=\"42\"\r\n", "S", "k", 42u},
    {"single quotes dropped", "[S]\r\nk='42'\r\n", "S", "k", 42u},
    {"unmatched quotes kept", "[S]\r\nk=\"42'\r\n", "S", "k", 0u},
    {"empty quotes read as missing", "[S]\r\nk=\"\"\r\n", "S", "k", kDefaultRead},
    {"empty value reads as missing", "[S]\r\nk=\r\n", "S", "k", kDefaultRead},
    {"blank value reads as missing", "[S]\r\nk=   \r\n", "S", "k", kDefaultRead},
    {"key without equals reads as missing", "[S]\r\nk\r\n", "S", "k", kDefaultRead},
    {"spaces around key and value", "[S]\r\n  key  =  33  \r\n", "S", "key", 33u},
    {"section and key of other letter case", "[Sec]\r\nKey=5\r\n", "sEC", "kEY", 5u},
    {"requested names are trimmed", "[A]\r\nkey=5\r\n", " A ", " key ", 5u},
    {"header trimmed inside brackets", "[ T ]\r\nx=1\r\n", "T", "x", 1u},
    {"header with leading spaces", "  [V]\r\nz=3\r\n", "V", "z", 3u},
    {"text after the header ignored", "[A] junk\r\nk=2\r\n", "A", "k", 2u},
    {"LF line endings", "[A]\nk=8\n[B]\nj=9", "B", "j", 9u},
    {"CR line endings", "[A]\rk=8\r[B]\rj=9\r", "B", "j", 9u},
    {"the first of two same sections", "[A]\r\nk=1\r\n[B]\r\nk=2\r\n[a]\r\nk=3\r\nj=9\r\n", "A", "k", 1u},
    {"keys of a later same section unseen", "[A]\r\nk=1\r\n[B]\r\nk=2\r\n[a]\r\nk=3\r\nj=9\r\n", "A", "j", kDefaultRead},
    {"the first of two same keys", "[A]\r\nk=1\r\nk=2\r\n", "A", "k", 1u},
    {"keys before every header belong to section \"\"", "k=5\r\n[A]\r\nk=6\r\n", "", "k", 5u},
    {"a header without ] is a line of the section before", "[A]\r\nk=1\r\n[W\r\nw=4\r\n", "A", "w", 4u},
    {"a header without ] is no section", "[A]\r\nk=1\r\n[W\r\nw=4\r\n", "W", "w", kDefaultRead},
    {"missing file", nullptr, "S", "k", kDefaultRead},
    {"empty file", "", "S", "k", kDefaultRead},
    {"missing section", "[S]\r\nk=1\r\n", "T", "k", kDefaultRead},
    {"missing key", "[S]\r\nk=1\r\n", "S", "j", kDefaultRead},
    {"a key of another section", "[S]\r\nk=1\r\n[T]\r\nj=2\r\n", "S", "j", kDefaultRead},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Cases, ProfileInt, ::testing::ValuesIn(kIntCases),
                         [](const auto& param) { return CaseName(param.param.what); });

struct WriteCase {
  const char* what;
  const char* before;  // null: no file
  const char* section;
  const char* key;
  const char* value;
  BOOL result;
  const char* after;  // the file's lines, trimmed, without blank lines
};

void PrintTo(const WriteCase& c, std::ostream* os) { *os << c.what; }

class ProfileWrite : public ::testing::TestWithParam<WriteCase> {};

TEST_P(ProfileWrite, ChangesOnlyWhatItMust) {
  const WriteCase& c = GetParam();
  ScratchFolder folder;
  std::string path = (folder / "test.ini").string();
  if (c.before) WriteFile(path, c.before);
  EXPECT_EQ(WritePrivateProfileStringA(c.section, c.key, c.value, path.c_str()) != 0, c.result != 0) << c.what;
  EXPECT_EQ(Lines(ReadFile(path)), c.after) << c.what;
}

// clang-format off
const WriteCase kWriteCases[] = {
    {"creates the file", nullptr, "Sec", "Key", "1", TRUE, "[Sec]\nKey=1"},
    {"creates a section in an empty file", "", "Sec", "Key", "1", TRUE, "[Sec]\nKey=1"},
    {"creates a section in a blank file", "\r\n\r\n", "A", "k", "2", TRUE, "[A]\nk=2"},
    {"new key at the end of its section", "[Sec]\r\nKey=1\r\n[B]\r\nj=2\r\n", "Sec", "Two", "2", TRUE,
     "[Sec]\nKey=1\nTwo=2\n[B]\nj=2"},
    {"new section at the end of the file", "[Sec]\r\nKey=1\r\n", "New", "K", "3", TRUE, "[Sec]\nKey=1\n[New]\nK=3"},
    {"new section after a last line without line end", "[Sec]\r\nKey=1", "New", "K", "3", TRUE,
     "[Sec]\nKey=1\n[New]\nK=3"},
    {"section and key matched whatever their case, spelling kept", "[GLIDER]\r\nWINDON=0\r\nx=1\r\n", "glider",
     "WindOn", "1", TRUE, "[GLIDER]\nWINDON=1\nx=1"},
    {"value replaced where it stands", "[A]\r\ny=0\r\n  k  =  5  \r\nz=1\r\n", "A", "k", "6", TRUE,
     "[A]\ny=0\nk=6\nz=1"},
    {"negative value", "[A]\r\nk=1\r\n", "A", "k", "-3", TRUE, "[A]\nk=-3"},
    {"new key after the section's comment", "[A]\r\nk=1\r\n; note\r\n\r\n[B]\r\nj=2\r\n", "A", "m", "7", TRUE,
     "[A]\nk=1\n; note\nm=7\n[B]\nj=2"},
    {"new key in a section of only a header", "[A]\r\n[B]\r\nk=1\r\n", "A", "k", "2", TRUE, "[A]\nk=2\n[B]\nk=1"},
    {"comments and other sections kept in order",
     "; top\r\n[A]\r\n;c1\r\nk=1\r\n#c2\r\n\r\n[B]\r\n  ; indented\r\nj=2\r\n[C]\r\nc=3\r\n", "B", "j", "3", TRUE,
     "; top\n[A]\n;c1\nk=1\n#c2\n[B]\n; indented\nj=3\n[C]\nc=3"},
    {"LF file", "[A]\nk=1\n\n[B]\nj=2\n", "B", "j", "3", TRUE, "[A]\nk=1\n[B]\nj=3"},
    {"the first of two same sections", "[A]\r\nk=1\r\n[B]\r\nk=2\r\n[a]\r\nk=3\r\n", "A", "k", "5", TRUE,
     "[A]\nk=5\n[B]\nk=2\n[a]\nk=3"},
    {"the first of two same keys", "[A]\r\nk=1\r\nk=2\r\n", "A", "k", "5", TRUE, "[A]\nk=5\nk=2"},
    {"keys before the first header stay", "k=0\r\n[A]\r\nk=1\r\n", "A", "k", "2", TRUE, "k=0\n[A]\nk=2"},
    {"the same value again", "[A]\r\nk=1\r\n", "a", "K", "1", TRUE, "[A]\nk=1"},
    {"a null value deletes the key", "[A]\r\nk=1\r\nj=2\r\n", "A", "k", nullptr, TRUE, "[A]\nj=2"},
    {"a null key deletes the section", "[A]\r\nk=1\r\n[B]\r\nj=2\r\n", "A", nullptr, nullptr, TRUE, "[B]\nj=2"},
    {"deleting a missing key", "[A]\r\nk=1\r\n", "A", "zz", nullptr, TRUE, "[A]\nk=1"},
    {"deleting in a missing section", "[A]\r\nk=1\r\n", "B", "k", nullptr, TRUE, "[A]\nk=1"},
    {"a null section writes nothing", "[A]\r\nk=1\r\n", nullptr, "k", "1", FALSE, "[A]\nk=1"},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Cases, ProfileWrite, ::testing::ValuesIn(kWriteCases),
                         [](const auto& param) { return CaseName(param.param.what); });

TEST(ProfileWriteFailure, MissingFolderGivesFalseAndNoFile) {
  ScratchFolder folder;
  std::string path = (folder / "absent" / "test.ini").string();
  EXPECT_EQ(WritePrivateProfileStringA("A", "k", "1", path.c_str()), FALSE);
  EXPECT_FALSE(std::filesystem::exists(path));
}

TEST(ProfileWriteFailure, FolderInTheFilesPlaceGivesFalseAndStays) {
  ScratchFolder folder;
  std::string path = (folder / "test.ini").string();
  std::filesystem::create_directory(path);
  WriteFile(folder / "test.ini" / "inside", "x");
  EXPECT_EQ(WritePrivateProfileStringA("A", "k", "2", path.c_str()), FALSE);
  EXPECT_TRUE(std::filesystem::is_directory(path));
  EXPECT_EQ(ReadFile(folder / "test.ini" / "inside"), "x");
  EXPECT_EQ(GetPrivateProfileIntA("A", "k", 7, path.c_str()), 7u);
}

// Windows refuses to write a file with its read-only attribute, whoever asks;
// taking the write permissions away sets it. Off Windows the rename over the
// file would need only the folder's permission, so ours look at the file's.
// (Wine keeps the attribute in the Linux permission bits, which do not bind
// root: scripts/test.sh runs the Windows tests as an ordinary user.)
TEST(ProfileWriteFailure, ReadOnlyFileGivesFalseAndStaysAsItWas) {
  ScratchFolder folder;
  std::string path = (folder / "test.ini").string();
  const std::string before = "[A]\r\nk=1\r\n";
  WriteFile(path, before);
  namespace fs = std::filesystem;
  fs::permissions(path, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
  EXPECT_EQ(WritePrivateProfileStringA("A", "k", "2", path.c_str()), FALSE);
  EXPECT_EQ(WritePrivateProfileStringA("B", "j", "3", path.c_str()), FALSE);
  EXPECT_EQ(GetPrivateProfileIntA("A", "k", -1, path.c_str()), 1u);
  fs::permissions(path, fs::perms::owner_write, fs::perm_options::add);
  EXPECT_EQ(ReadFile(path), before);
}

// A write that does not fit on the disk. Ours write the file beside itself and
// rename it over the old one only when it is whole: the write fails and the
// old file stays. Windows' own (kernel32 under Wine) empty the file and write
// it in place without checking the writes: they report success and leave the
// file cut where the disk filled, every section after that point gone. So on
// Windows the module's saves write into a copy of the file and check it
// before it takes the file's place (settings/WindowsSave.cpp); elsewhere they
// rely on the old file staying, as ours promise.
TEST(FullDiskProfile, OursFailAndKeepTheOldFileWindowsOwnCutIt) {
  ScratchFolder folder;
  std::string path = (folder / "test.ini").string();
  const std::string before = "[A]\r\nk=1\r\n[B]\r\nj=2\r\n";  // 20 bytes
  const std::string value(60, '2');
  const std::string whole = "[A]\r\nk=" + value + "\r\n[B]\r\nj=2\r\n";  // 79 bytes
  WriteFile(path, before);
  BOOL result;
  {
    testing_support::FullDisk full;
    result = WritePrivateProfileStringA("A", "k", value.c_str(), path.c_str());
  }
  if (testing_support::kSystemProfileFunctions) {
    EXPECT_NE(result, FALSE);
    EXPECT_EQ(ReadFile(path), whole.substr(0, testing_support::kFullDiskBytes));
  } else {
    EXPECT_EQ(result, FALSE);
    EXPECT_EQ(ReadFile(path), before);
  }
  int temporary = 0;
  for (const auto& e : std::filesystem::directory_iterator(folder.path())) temporary += e.path().extension() == ".tmp";
  EXPECT_EQ(temporary, 0) << "a temporary file was left behind";
}

TEST(ProfileRoundTrip, WrittenValuesReadBackInAnyCase) {
  ScratchFolder folder;
  std::string path = (folder / "test.ini").string();
  const int values[] = {0, 1, -1, 2147483647, -2147483647 - 1, 1999};
  for (int v : values) {
    std::string text = std::to_string(v);
    ASSERT_NE(WritePrivateProfileStringA("Glider1Mars", "SHRt", text.c_str(), path.c_str()), FALSE);
    EXPECT_EQ(static_cast<int>(GetPrivateProfileIntA("GLIDER1MARS", "shrt", kDefault, path.c_str())), v);
  }
  EXPECT_EQ(Lines(ReadFile(path)), "[Glider1Mars]\nSHRt=1999");
}

struct NamesCase {
  const char* what;
  const char* file;  // null: no file
  DWORD size;
  DWORD count;
  std::string prefix;  // what the buffer starts with
};

void PrintTo(const NamesCase& c, std::ostream* os) { *os << c.what; }

class ProfileSectionNames : public ::testing::TestWithParam<NamesCase> {};

TEST_P(ProfileSectionNames, ListsInFileOrderAndCutsToTheBuffer) {
  const NamesCase& c = GetParam();
  ScratchFolder folder;
  std::string path = (folder / "test.ini").string();
  if (c.file) WriteFile(path, c.file);
  std::string buffer(c.size + 8, '#');
  EXPECT_EQ(GetPrivateProfileSectionNamesA(buffer.data(), c.size, path.c_str()), c.count) << c.what;
  EXPECT_EQ(buffer.substr(0, c.prefix.size()), c.prefix) << c.what;
  EXPECT_EQ(buffer.substr(c.size, 8), std::string(8, '#')) << c.what << ": wrote past the buffer";
}

const char kThree[] = "[AB]\r\nk=1\r\n[CDE]\r\nk=2\r\n[F]\r\n";
using namespace std::string_literals;

// clang-format off
const NamesCase kNamesCases[] = {
    {"whole list with room to spare", kThree, 64, 9, "AB\0CDE\0F\0\0"s},
    {"whole list with one byte to spare", kThree, 11, 9, "AB\0CDE\0F\0\0"s},
    {"a list that fills the buffer exactly counts as cut", kThree, 10, 8, "AB\0CDE\0F\0"s},
    {"cut after a name", kThree, 9, 7, "AB\0CDE\0\0"s},
    {"cut inside a name", kThree, 6, 4, "AB\0C\0"s},
    {"cut before the second name", kThree, 5, 3, "AB\0\0"s},
    {"cut inside the first name", kThree, 3, 1, "A\0"s},
    {"room for nothing", kThree, 2, 0, "\0"s},
    {"room for one NUL", kThree, 1, 0, "\0"s},
    {"missing file", nullptr, 16, 0, "\0"s},
    {"empty file", "", 16, 0, "\0"s},
    {"keys before any header are no section", "k=5\r\n[A]\r\nk=6\r\n", 16, 2, "A\0\0"s},
    {"empty and blank headers not listed", "[]\r\nk=1\r\n[ ]\r\n[A]\r\n", 16, 2, "A\0\0"s},
    {"headers trimmed", "[ T ]\r\n  [V]\r\n[U]  \r\n", 16, 6, "T\0V\0U\0\0"s},
    {"same names listed each time", "[A]\r\n[B]\r\n[a]\r\n[A]\r\n", 16, 8, "A\0B\0a\0A\0\0"s},
    {"a header without ] is none", "[A]\r\n[W\r\nw=4\r\n[B]\r\n", 16, 4, "A\0B\0\0"s},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Cases, ProfileSectionNames, ::testing::ValuesIn(kNamesCases),
                         [](const auto& param) { return CaseName(param.param.what); });

TEST(ProfileSectionNamesLong, ListBeyond128BytesGivesSizeLessTwoThenFitsWhenDoubled) {
  ScratchFolder folder;
  std::string path = (folder / "test.ini").string();
  std::string file, list;
  for (int i = 0; i < 20; ++i) {
    std::string name = "Section" + std::to_string(100 + i);
    file += "[" + name + "]\r\nk=" + std::to_string(i) + "\r\n";
    list += name + '\0';
  }
  WriteFile(path, file);
  std::string small(128, '#');
  EXPECT_EQ(GetPrivateProfileSectionNamesA(small.data(), 128, path.c_str()), 126u);
  EXPECT_EQ(small.substr(0, 126), list.substr(0, 126));
  EXPECT_EQ(small[126], '\0');
  std::string big(256, '#');
  EXPECT_EQ(GetPrivateProfileSectionNamesA(big.data(), 256, path.c_str()), list.size());
  EXPECT_EQ(big.substr(0, list.size() + 1), list + '\0');
}

}  // namespace
