#include "settings/SettingsFile.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <string_view>

#include "module/Module.h"
#include "platform/Platform.h"

namespace {

constexpr DWORD kFirstNamesSize = 128;
// The largest list buffer that a DWORD can still count; a list of names is
// no longer than its file, so that only a file of gigabytes comes near.
constexpr DWORD kMaxNamesSize = DWORD{1} << 31;

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// The name that starts at p, up to its NUL or the end of the n bytes left.
// (memchr rather than strnlen, which not every Windows' C library has.)
std::string_view NameAt(const char* p, DWORD n) {
  const void* end = std::memchr(p, '\0', n);
  return std::string_view(p, end ? static_cast<size_t>(static_cast<const char*>(end) - p) : n);
}

}  // namespace

bool SameProfileName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (static_cast<unsigned char>(a[i]) >= 0x80 && static_cast<unsigned char>(b[i]) >= 0x80) continue;
    if (Lower(a[i]) != Lower(b[i])) return false;
  }
  return true;
}

SettingsFile::SettingsFile() : path(settingsPath) {}

#ifndef _WIN32
// The platform layer's writes are whole or not made: they go to the file.
SettingsFile::~SettingsFile() = default;
bool SettingsFile::BeginSave() { return !path.empty(); }
void SettingsFile::EndSave() {}
#endif

void SettingsFile::SetSection(const char* name) { section = name ? std::optional<std::string>(name) : std::nullopt; }

void SettingsFile::WriteInt(const char* key, int32_t value) {
  // An empty path would be a bare file name, which Windows looks for in its
  // own folder.
  if (path.empty() || !section) return;
  char text[16];
  std::snprintf(text, sizeof text, "%d", static_cast<int>(value));
  if (copy.empty()) {
    WritePrivateProfileStringA(section->c_str(), key, text, path.c_str());
    return;
  }
  // A save through a copy, which is checked at its end against what was
  // written.
  if (!WritePrivateProfileStringA(section->c_str(), key, text, copy.c_str())) writeFailed = true;
  written.emplace_back(key, text);
}

int32_t SettingsFile::ReadInt(const char* key, int32_t def) const {
  if (path.empty() || !section) return def;
  return static_cast<int32_t>(GetPrivateProfileIntA(section->c_str(), key, def, path.c_str()));
}

SectionMatch SettingsFile::FindSection(const std::string& name) const {
  if (path.empty()) return SectionMatch::None;
  // A list that does not fit comes back cut, with the count size - 2: its
  // names up to the cut are the file's first, so that the walk goes on over
  // them and only the rest needs a larger buffer. Twice the room each time
  // keeps the reading in all to about twice the list.
  for (DWORD size = kFirstNamesSize;; size *= 2) {
    std::unique_ptr<char[]> buffer(new (std::nothrow) char[size]);
    if (!buffer) return SectionMatch::Unknown;
    DWORD count = GetPrivateProfileSectionNamesA(buffer.get(), size, path.c_str());
    const bool cut = count == size - 2;
    // Nothing beyond the buffer, whatever the count says.
    if (count > size - 1) count = size - 1;
    // Only names ended before the count are whole: the last of a cut list
    // may have lost its end.
    for (DWORD at = 0; at < count;) {
      const std::string_view listed = NameAt(buffer.get() + at, count - at);
      if (at + listed.size() >= count) break;
      if (SameProfileName(listed, name)) return listed == name ? SectionMatch::Exact : SectionMatch::OtherCase;
      at += static_cast<DWORD>(listed.size()) + 1;
    }
    if (!cut) return SectionMatch::None;
    if (size >= kMaxNamesSize) return SectionMatch::Unknown;
  }
}
