// The settings file, one short-lived object per save or load: every read and
// write goes straight to the file through the platform's profile functions.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

class SettingsFile {
 public:
  // Copies settingsPath; no section yet.
  SettingsFile();
  SettingsFile(const SettingsFile&) = delete;
  SettingsFile& operator=(const SettingsFile&) = delete;

  void SetSection(const char* name);
  // Writes value in decimal as the key's value in the current section. A
  // failed write is not reported; the file then stays as it was.
  void WriteInt(const char* key, int32_t value);
  // The key's value in the current section, or def when the file, the
  // section or the key is missing.
  int32_t ReadInt(const char* key, int32_t def) const;
  // The names of all sections in file order, each ended by a NUL, the list
  // by an empty name; empty for a missing or empty file. Null only when no
  // memory is left.
  std::unique_ptr<char[]> GetSectionNames() const;

 private:
  std::string path;                    // empty: the module's path is unknown, no file
  std::optional<std::string> section;  // none until SetSection
};
