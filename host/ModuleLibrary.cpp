#include "host/ModuleLibrary.h"

#include <filesystem>

#ifndef _WIN32
#include <dlfcn.h>
#endif

namespace ghost {

ModuleLibrary::ModuleLibrary(const std::string& path) : path_(std::filesystem::absolute(path).string()) {
#ifdef _WIN32
  HMODULE h = LoadLibraryA(path_.c_str());
  if (!h) {
    error_ = "LoadLibraryA failed with error " + std::to_string(GetLastError());
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
