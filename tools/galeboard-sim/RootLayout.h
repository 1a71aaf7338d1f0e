// The simulator's own folder layout: a root folder with the plug-in modules in
// Modules/Plugin. The module is installed there and loaded from there, so that
// its settings file (named after the library, beside it) lands in the root and
// a later run with the same root finds it.
#pragma once

#include <filesystem>
#include <string>

namespace sim {

struct RootLayout {
  std::filesystem::path root;       // the simulator's root folder
  std::filesystem::path pluginDir;  // root/Modules/Plugin
  std::filesystem::path module;     // root/Modules/Plugin/Galeboard.dll
  std::filesystem::path settings;   // root/Modules/Plugin/Galeboard.cfg, where the module keeps its settings
};

RootLayout LayoutOf(const std::filesystem::path& root);

// Installs the built module into the root. It is first loaded from where it
// was built and looked at as the host would (a library with InitModule), and
// only a good one is copied in: beside the old copy under a name of its own,
// then renamed over it, so that a run still using the old one keeps it and a
// failure leaves the root as it was. Settings files already in the root
// stay. Returns false with the reason in error.
bool InstallModule(const std::filesystem::path& built, const RootLayout& layout, std::string* error);

// A folder of its own under the system's temporary folder, removed with
// everything in it when the object goes.
class TemporaryFolder {
 public:
  TemporaryFolder() = default;
  ~TemporaryFolder();
  TemporaryFolder(const TemporaryFolder&) = delete;
  TemporaryFolder& operator=(const TemporaryFolder&) = delete;

  // Makes the folder; false with the reason in error.
  bool Make(std::string* error);
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

}  // namespace sim
