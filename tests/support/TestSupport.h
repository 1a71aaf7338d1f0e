// Helpers shared by the tests.
#pragma once

#include <filesystem>
#include <string>

namespace testing_support {

// Whether the profile functions under test are the system's own (kernel32,
// under Wine in CI) or this project's (platform/). Where the two differ, a
// test says how, and which behaviour the module relies on.
#ifdef _WIN32
constexpr bool kSystemProfileFunctions = true;
#else
constexpr bool kSystemProfileFunctions = false;
#endif

// The folder of the running test program; Galeboard.dll is built beside it.
std::filesystem::path ProgramFolder();
std::filesystem::path ModulePath();

// A fresh, empty folder that is removed with the object.
class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

std::string ReadFile(const std::filesystem::path& p);
void WriteFile(const std::filesystem::path& p, const std::string& content);

}  // namespace testing_support
