#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <fstream>
#include <sstream>
#include <system_error>

#include "tests/support/FullDisk.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/resource.h>
#include <unistd.h>
#endif

namespace testing_support {

std::filesystem::path ProgramFolder() {
#ifdef _WIN32
  char buf[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, buf, MAX_PATH);
  return std::filesystem::path(std::string(buf, n)).parent_path();
#else
  return std::filesystem::read_symlink("/proc/self/exe").parent_path();
#endif
}

std::filesystem::path ModulePath() { return ProgramFolder() / "Galeboard.dll"; }

ScratchFolder::ScratchFolder() {
  static std::atomic<unsigned> counter{0};
  auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
#ifdef _WIN32
  auto pid = GetCurrentProcessId();
#else
  auto pid = getpid();
#endif
  path_ = std::filesystem::temp_directory_path() /
          ("galeboard-test-" + std::to_string(pid) + "-" + std::to_string(stamp) + "-" + std::to_string(counter++));
  std::filesystem::create_directories(path_);
}

ScratchFolder::~ScratchFolder() {
  std::error_code ec;
  std::filesystem::permissions(path_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
  std::filesystem::remove_all(path_, ec);
}

std::string ReadFile(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void WriteFile(const std::filesystem::path& p, const std::string& content) {
  std::ofstream out(p, std::ios::binary | std::ios::trunc);
  out << content;
}

#ifdef _WIN32
FullDisk::FullDisk() {
  ScratchFolder folder;
  const std::string probe((folder / "probe").string());
  HANDLE h = CreateFileA(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  const std::string bytes(kFullDiskBytes + 1, 'x');
  DWORD written = 0;
  const bool fits = h != INVALID_HANDLE_VALUE &&
                    ::WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                    written == bytes.size();
  if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
  if (fits)
    ADD_FAILURE() << "a file of " << bytes.size()
                  << " bytes could be written: run this test under a file-size limit of " << kFullDiskBytes
                  << " bytes, as its CTest entry does";
}

FullDisk::~FullDisk() = default;
#else
FullDisk::FullDisk() {
  rlimit limit{};
  getrlimit(RLIMIT_FSIZE, &limit);
  savedLimit_ = limit.rlim_cur;
  // A write past the limit then fails with EFBIG instead of killing us.
  oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
  limit.rlim_cur = kFullDiskBytes;
  setrlimit(RLIMIT_FSIZE, &limit);
}

FullDisk::~FullDisk() {
  rlimit limit{};
  getrlimit(RLIMIT_FSIZE, &limit);
  limit.rlim_cur = savedLimit_;
  setrlimit(RLIMIT_FSIZE, &limit);
  std::signal(SIGXFSZ, oldHandler_);
}
#endif

}  // namespace testing_support
