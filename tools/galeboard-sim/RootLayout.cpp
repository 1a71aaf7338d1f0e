#include "tools/galeboard-sim/RootLayout.h"

#include <unistd.h>

#include <system_error>

namespace sim {

namespace fs = std::filesystem;

RootLayout LayoutOf(const fs::path& root) {
  RootLayout l;
  l.root = fs::absolute(root).lexically_normal();
  l.pluginDir = l.root / "Modules" / "Plugin";
  l.module = l.pluginDir / "Galeboard.dll";
  l.settings = l.pluginDir / "Galeboard.cfg";
  return l;
}

bool InstallModule(const fs::path& built, const RootLayout& layout, std::string* error) {
  std::error_code ec;
  if (!fs::is_regular_file(built, ec)) {
    *error = "no module at " + built.string();
    return false;
  }
  fs::create_directories(layout.pluginDir, ec);
  if (ec) {
    *error = "cannot create " + layout.pluginDir.string() + ": " + ec.message();
    return false;
  }
  const fs::path partial = layout.pluginDir / ("Galeboard.dll.partial-" + std::to_string(getpid()));
  fs::copy_file(built, partial, fs::copy_options::overwrite_existing, ec);
  if (!ec) fs::rename(partial, layout.module, ec);
  if (ec) {
    std::error_code ignored;
    fs::remove(partial, ignored);
    *error = "cannot install the module into " + layout.pluginDir.string() + ": " + ec.message();
    return false;
  }
  return true;
}

}  // namespace sim
