// A plug-in library opened by path, the way the simulator opens one.
#pragma once

#include <string>

#include "Orbitersdk.h"

namespace ghost {

class OAPIFUNC ModuleLibrary {
 public:
  typedef void (*InitModuleFunc)(HINSTANCE);
  typedef void (*ExitModuleFunc)(HINSTANCE);
  typedef int (*GetModuleVersionFunc)();
  typedef const char* (*ModuleDateFunc)();

  // Opens the library; error() tells why when it could not.
  explicit ModuleLibrary(const std::string& path);
  ~ModuleLibrary();
  ModuleLibrary(const ModuleLibrary&) = delete;
  ModuleLibrary& operator=(const ModuleLibrary&) = delete;

  bool loaded() const { return handle_ != nullptr; }
  const std::string& error() const { return error_; }
  const std::string& path() const { return path_; }
  HINSTANCE instance() const { return instance_; }
  // An exported function by name, or null.
  void* Find(const char* name) const;
  // Unloads the library; its detach code runs now.
  void Close();

  InitModuleFunc initModule = nullptr;
  ExitModuleFunc exitModule = nullptr;
  GetModuleVersionFunc getModuleVersion = nullptr;
  ModuleDateFunc moduleDate = nullptr;

 private:
  std::string path_;
  std::string error_;
  void* handle_ = nullptr;
  HINSTANCE instance_ = nullptr;
};

}  // namespace ghost
