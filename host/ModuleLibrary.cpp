#include "host/ModuleLibrary.h"

#include <cstdio>

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>

#include <filesystem>
#endif

namespace ghost {

namespace {

// The path made absolute against the current folder, as the simulator names
// its plug-ins; as given when that fails.
std::string AbsolutePath(const std::string& path) {
#ifdef _WIN32
  char full[MAX_PATH];
  const DWORD n = GetFullPathNameA(path.c_str(), MAX_PATH, full, nullptr);
  return n > 0 && n < MAX_PATH ? std::string(full, n) : path;
#else
  return std::filesystem::absolute(path).string();
#endif
}

}  // namespace

ModuleLibrary::ModuleLibrary(const std::string& path) : path_(AbsolutePath(path)) {
#ifdef _WIN32
  HMODULE h = LoadLibraryA(path_.c_str());
  if (!h) {
    char reason[64];
    std::snprintf(reason, sizeof reason, "LoadLibraryA failed with error %lu", GetLastError());
    error_ = reason;
    return;
  }
  handle_ = reinterpret_cast<void*>(h);
  instance_ = h;
#else
  handle_ = dlopen(path_.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle_) {
    const char* e = dlerror();
    error_ = e ? e : "dlopen failed";
    return;
  }
  // The instance handle is the library's load address, as on Windows.
  void* anySymbol = dlsym(handle_, "InitModule");
  Dl_info info;
  if (anySymbol && dladdr(anySymbol, &info)) instance_ = static_cast<HINSTANCE>(info.dli_fbase);
#endif
  initModule = reinterpret_cast<InitModuleFunc>(Find("InitModule"));
  exitModule = reinterpret_cast<ExitModuleFunc>(Find("ExitModule"));
  getModuleVersion = reinterpret_cast<GetModuleVersionFunc>(Find("GetModuleVersion"));
  moduleDate = reinterpret_cast<ModuleDateFunc>(Find("ModuleDate"));
}

ModuleLibrary::~ModuleLibrary() { Close(); }

void* ModuleLibrary::Find(const char* name) const {
  if (!handle_) return nullptr;
#ifdef _WIN32
  return reinterpret_cast<void*>(GetProcAddress(reinterpret_cast<HMODULE>(handle_), name));
#else
  return dlsym(handle_, name);
#endif
}

void ModuleLibrary::Close() {
  if (!handle_) return;
#ifdef _WIN32
  FreeLibrary(reinterpret_cast<HMODULE>(handle_));
#else
  dlclose(handle_);
#endif
  handle_ = nullptr;
  initModule = nullptr;
  exitModule = nullptr;
  getModuleVersion = nullptr;
  moduleDate = nullptr;
}

}  // namespace ghost
