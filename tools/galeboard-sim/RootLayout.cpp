#include "tools/galeboard-sim/RootLayout.h"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <system_error>

#include "host/ModuleLibrary.h"

namespace sim {

namespace fs = std::filesystem;

RootLayout LayoutOf(const fs::path& root) {
  RootLayout l;
  std::error_code ec;
  const fs::path absolute = fs::absolute(root, ec);
  l.root = (ec ? root : absolute).lexically_normal();
  l.pluginDir = l.root / "Modules" / "Plugin";
  l.module = l.pluginDir / "Galeboard.dll";
  l.settings = l.pluginDir / "Galeboard.cfg";
  return l;
}

namespace {

// The module opened as the host opens one, and closed again.
bool Loadable(const fs::path& module, std::string* error) {
  ghost::ModuleLibrary library(module.string());
  if (!library.loaded()) {
    *error = "cannot load " + module.string() + ": " + library.error();
    return false;
  }
  if (!library.initModule) {
    *error = "cannot load " + module.string() + ": no InitModule export";
    return false;
  }
  return true;
}

}  // namespace

bool InstallModule(const fs::path& built, const RootLayout& layout, std::string* error) {
  std::error_code ec;
  if (!fs::is_regular_file(built, ec)) {
    *error = "no module at " + built.string();
    return false;
  }
  if (!Loadable(built, error)) return false;
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

TemporaryFolder::~TemporaryFolder() {
  std::error_code ignored;
  if (!path_.empty()) fs::remove_all(path_, ignored);
}

bool TemporaryFolder::Make(std::string* error) {
  const char* tmp = std::getenv("TMPDIR");
  std::string pattern = (fs::path(tmp && *tmp ? tmp : "/tmp") / "galeboard-sim-XXXXXX").string();
  if (!mkdtemp(pattern.data())) {
    *error = "cannot make a folder " + pattern + ": " + std::strerror(errno);
    return false;
  }
  path_ = pattern;
  return true;
}

}  // namespace sim
