// Helpers shared by the tests.
#pragma once

#include <filesystem>
#include <string>

namespace testing_support {

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
