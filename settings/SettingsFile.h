// The settings file, one short-lived object per save or load: every read and
// write goes to the file through the platform's profile functions, on
// Windows a save's writes through a copy of it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// What a file holds for a section name, as the profile functions see it:
// they take a name that differs only in letter case for the same name.
enum class SectionMatch {
  None,       // no section that they would take for it
  Exact,      // the first that they would take has exactly this name
  OtherCase,  // the first that they would take differs from it in letter case
  Unknown,    // the names could not be listed: no memory for them
};

// Whether the profile functions may take two names, of sections or of keys,
// for one. They compare letter case aside, Windows' own by the letters of its
// code page: any two bytes beyond ASCII count as possibly the same letter.
bool SameProfileName(std::string_view a, std::string_view b);

class SettingsFile {
 public:
  // Copies settingsPath; no section yet.
  SettingsFile();
  // A save begun and not ended leaves the file as it was.
  ~SettingsFile();
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

  // A save of the current section: BeginSave, its writes, EndSave; false
  // from BeginSave, and nothing may be written. Off Windows every write of
  // the platform's functions is whole or not made at all, and the writes go
  // to the file. Windows' own write the file anew in place and do not check
  // their writes, so there the writes go to a copy of the file, which takes
  // the file's place at EndSave only when it holds them and every other
  // section as before (WindowsSave.cpp).
  bool BeginSave();
  void EndSave();

 private:
  std::string path;                    // empty: the module's path is unknown, no file
  std::optional<std::string> section;  // none until SetSection
  // Windows, during a save: the copy that the writes go to, whether the
  // file was there to copy, each key with the text written, and whether a
  // write failed. The copy is empty otherwise.
  std::string copy;
  [[maybe_unused]] bool fileExisted = false;  // read on Windows only
  std::vector<std::pair<std::string, std::string>> written;
  bool writeFailed = false;
};
