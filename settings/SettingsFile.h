// The settings file, one short-lived object per save or load: every read and
// write goes straight to the file through the platform's profile functions.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

// What a file holds for a section name, as the profile functions see it:
// they take a name that differs only in letter case for the same name.
enum class SectionMatch {
  None,       // no section that they would take for it
  Exact,      // the first that they would take has exactly this name
  OtherCase,  // the first that they would take differs from it in letter case
  Unknown,    // the names could not be listed: no memory for them
};

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
  // Looks for the section name among the names of the file's sections, in
  // file order, from the first; None for a missing or empty file.
  SectionMatch FindSection(const std::string& name) const;

 private:
  std::string path;                    // empty: the module's path is unknown, no file
  std::optional<std::string> section;  // none until SetSection
};
