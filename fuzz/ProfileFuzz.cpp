// The profile functions on arbitrary file bytes, names and values: no crash;
// what a write stored reads back; no other section changes; a refused write
// leaves the file as it was. Files of megabytes and lines longer than a read
// holds come from the repeat commands of LargeFiles.h.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <unordered_map>
#include <vector>

#include "fuzz/LargeFiles.h"
#include "platform/Platform.h"

namespace {

void Check(bool ok, const char* what) {
  if (!ok) {
    std::fprintf(stderr, "profile invariant broken: %s\n", what);
    std::abort();
  }
}

constexpr size_t kMaxFile = size_t{256} << 10;
constexpr size_t kMaxName = size_t{64} << 10;

// Splits the input at its first three 0xFF bytes: file, section, key, value,
// each with its repeats carried out.
std::vector<std::string> Fields(const uint8_t* data, size_t size) {
  std::vector<std::string> f(1);
  for (size_t i = 0; i < size; ++i) {
    if (data[i] == 0xFF && f.size() < 4)
      f.emplace_back();
    else
      f.back().push_back(static_cast<char>(data[i]));
  }
  f.resize(4);
  for (size_t i = 0; i < 4; ++i) f[i] = fuzz::Expanded(f[i], i == 0 ? kMaxFile : kMaxName);
  // Names and the value go to the functions as C strings.
  for (size_t i = 1; i < 4; ++i) f[i].resize(std::strlen(f[i].c_str()));
  return f;
}

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

std::vector<std::string> SectionNames(const std::string& path) {
  std::vector<char> buf(1 << 16);
  for (;;) {
    DWORD n = GetPrivateProfileSectionNamesA(buf.data(), static_cast<DWORD>(buf.size()), path.c_str());
    if (n != buf.size() - 2) break;
    buf.resize(buf.size() * 2);
  }
  std::vector<std::string> names;
  for (const char* p = buf.data(); *p; p += std::strlen(p) + 1) names.emplace_back(p);
  return names;
}

std::string Trimmed(const std::string& s) {
  auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\r' || c == '\n'; };
  size_t b = 0, e = s.size();
  while (b < e && blank(s[b])) ++b;
  while (e > b && blank(s[e - 1])) --e;
  return s.substr(b, e - b);
}

// A name as the functions match it: the blanks at its ends cut off, letter
// case aside.
std::string Folded(const std::string& s) {
  std::string f = Trimmed(s);
  for (char& c : f)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return f;
}

// The sections whose key is compared before and after the write: every one
// of a small file; the first and the last of a file of many, where each read
// goes through the whole file.
std::vector<size_t> Compared(size_t sections) {
  constexpr size_t kEnds = 32;
  std::vector<size_t> at;
  for (size_t i = 0; i < sections; ++i)
    if (i < kEnds || i + kEnds >= sections) at.push_back(i);
  return at;
}

// A name that any INI file can hold as it is: printable, no blank at either
// end, no bracket or equals sign, not a comment.
bool PlainName(const std::string& s) {
  if (s.empty() || s.size() > 64 || s.front() == ' ' || s.back() == ' ' || s.front() == ';') return false;
  for (char c : s)
    if (c < 0x21 || c > 0x7E || c == '[' || c == ']' || c == '=') return false;
  return true;
}

bool PlainInteger(const std::string& s, int* value) {
  if (s.empty() || s.size() > 9) return false;
  for (size_t i = 0; i < s.size(); ++i)
    if (!(s[i] >= '0' && s[i] <= '9') && !(i == 0 && s[i] == '-' && s.size() > 1)) return false;
  *value = std::atoi(s.c_str());
  return true;
}

// The scratch file, and what writes leave beside it, removed at the end.
struct Scratch {
  ~Scratch() {
    std::remove(path.c_str());
    std::remove((path + ".lock").c_str());
  }
  const std::string path = fuzz::ScratchPath("galeboard-profile-fuzz") + ".ini";
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const Scratch scratch;
  const std::string& path = scratch.path;
  std::vector<std::string> f = Fields(data, size);
  const std::string &content = f[0], &section = f[1], &key = f[2], &value = f[3];
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
  }

  std::vector<std::string> before = SectionNames(path);
  const std::vector<size_t> compared = Compared(before.size());
  const int kUnset = -123456789;
  std::vector<int> othersBefore;
  for (size_t i : compared)
    othersBefore.push_back(
        static_cast<int>(GetPrivateProfileIntA(before[i].c_str(), key.c_str(), kUnset, path.c_str())));

  BOOL ok = WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), path.c_str());
  if (!ok) {
    Check(Slurp(path) == content, "a refused write changed the file");
    return 0;
  }

  int expected = 0;
  if (PlainName(section) && PlainName(key) && PlainInteger(value, &expected))
    Check(static_cast<int>(GetPrivateProfileIntA(section.c_str(), key.c_str(), kUnset, path.c_str())) == expected,
          "the written value does not read back");

  std::vector<std::string> after = SectionNames(path);
  Check(after.size() >= before.size(), "a write lost a section");
  for (size_t i = 0; i < before.size(); ++i) Check(after[i] == before[i], "a write renamed or moved a section");
  Check(after.size() <= before.size() + 1, "a write added more than one section");

  // The same key in every other section reads as before. Only the first of
  // two same-named sections is ever read.
  std::unordered_map<std::string, size_t> first;
  for (size_t i = 0; i < before.size(); ++i) first.emplace(Folded(before[i]), i);
  const std::string written = Folded(section);
  for (size_t k = 0; k < compared.size(); ++k) {
    const size_t i = compared[k];
    const std::string name = Folded(before[i]);
    if (name == written || first[name] != i) continue;
    Check(static_cast<int>(GetPrivateProfileIntA(before[i].c_str(), key.c_str(), kUnset, path.c_str())) ==
              othersBefore[k],
          "a write changed another section");
  }
  return 0;
}
