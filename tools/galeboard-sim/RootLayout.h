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

// Creates the folders and copies the built module in, replacing an older copy
// in one rename, so that a run still using the old one keeps it. Settings
// files already in the root stay. Returns false with the reason in error.
bool InstallModule(const std::filesystem::path& built, const RootLayout& layout, std::string* error);

}  // namespace sim
