#include "settings/SettingsFile.h"

#include <cstdio>
#include <new>

#include "module/Module.h"
#include "platform/Platform.h"

namespace {

constexpr DWORD kFirstNamesSize = 128;
// A list of names beyond this is no settings file of ours: it loads nothing
// rather than exhausting the host's memory.
constexpr DWORD kMaxNamesSize = DWORD{1} << 26;

std::unique_ptr<char[]> EmptyList() {
  std::unique_ptr<char[]> list(new (std::nothrow) char[2]);
  if (list) list[0] = list[1] = '\0';
  return list;
}

}  // namespace

SettingsFile::SettingsFile() : path(settingsPath) {}

void SettingsFile::SetSection(const char* name) { section = name ? std::optional<std::string>(name) : std::nullopt; }

void SettingsFile::WriteInt(const char* key, int32_t value) {
  // An empty path would be a bare file name, which Windows looks for in its
  // own folder.
  if (path.empty() || !section) return;
  char text[16];
  std::snprintf(text, sizeof text, "%d", static_cast<int>(value));
  WritePrivateProfileStringA(section->c_str(), key, text, path.c_str());
}

int32_t SettingsFile::ReadInt(const char* key, int32_t def) const {
  if (path.empty() || !section) return def;
  return static_cast<int32_t>(GetPrivateProfileIntA(section->c_str(), key, def, path.c_str()));
}

std::unique_ptr<char[]> SettingsFile::GetSectionNames() const {
  if (path.empty()) return EmptyList();
  // A list that does not fit comes back cut, with the count size - 2: try
  // again with twice the room.
  for (DWORD size = kFirstNamesSize; size <= kMaxNamesSize; size *= 2) {
    std::unique_ptr<char[]> buffer(new (std::nothrow) char[size]);
    if (!buffer) break;
    DWORD count = GetPrivateProfileSectionNamesA(buffer.get(), size, path.c_str());
    if (count != size - 2) {
      // Ended inside the buffer whatever the platform left after the list.
      buffer[size - 1] = '\0';
      if (count < size - 1) buffer[count] = '\0';
      return buffer;
    }
  }
  return EmptyList();
}
