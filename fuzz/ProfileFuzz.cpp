// The profile functions on arbitrary file bytes, names and values: no crash;
// what a write stored reads back; no other section changes; a refused write
// leaves the file as it was.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace {

void Check(bool ok, const char* what) {
  if (!ok) {
    std::fprintf(stderr, "profile invariant broken: %s\n", what);
    std::abort();
  }
}

// Splits the input at its first three 0xFF bytes: file, section, key, value.
std::vector<std::string> Fields(const uint8_t* data, size_t size) {
  std::vector<std::string> f(1);
  for (size_t i = 0; i < size; ++i) {
    if (data[i] == 0xFF && f.size() < 4)
      f.emplace_back();
    else
      f.back().push_back(static_cast<char>(data[i]));
  }
  f.resize(4);
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

// Names are matched with the blanks at their ends cut off, letter case aside.
std::string Trimmed(const std::string& s) {
  auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\r' || c == '\n'; };
  size_t b = 0, e = s.size();
  while (b < e && blank(s[b])) ++b;
  while (e > b && blank(s[e - 1])) --e;
  return s.substr(b, e - b);
}

bool SameIgnoringCase(const std::string& x, const std::string& y) {
  const std::string a = Trimmed(x), b = Trimmed(y);
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(a[i]), d = static_cast<unsigned char>(b[i]);
    if (c >= 'A' && c <= 'Z') c = static_cast<unsigned char>(c - 'A' + 'a');
    if (d >= 'A' && d <= 'Z') d = static_cast<unsigned char>(d - 'A' + 'a');
    if (c != d) return false;
  }
  return true;
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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = "/tmp/galeboard-profile-fuzz-" + std::to_string(getpid()) + ".ini";
  std::vector<std::string> f = Fields(data, size);
  const std::string &content = f[0], &section = f[1], &key = f[2], &value = f[3];
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
  }

  std::vector<std::string> before = SectionNames(path);
  const int kUnset = -123456789;
  std::vector<int> othersBefore;
  for (const std::string& s : before)
    othersBefore.push_back(static_cast<int>(GetPrivateProfileIntA(s.c_str(), key.c_str(), kUnset, path.c_str())));

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

  // The same key in every other section reads as before.
  for (size_t i = 0; i < before.size(); ++i) {
    if (SameIgnoringCase(before[i], section)) continue;
    // Only the first of two same-named sections is ever read.
    bool duplicate = false;
    for (size_t j = 0; j < i; ++j) duplicate = duplicate || SameIgnoringCase(before[j], before[i]);
    if (duplicate) continue;
    Check(static_cast<int>(GetPrivateProfileIntA(before[i].c_str(), key.c_str(), kUnset, path.c_str())) ==
              othersBefore[i],
          "a write changed another section");
  }
  return 0;
}
