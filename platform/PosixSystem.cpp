// Off-Windows versions of the system functions of the module; the clocks are
// in PosixClocks.cpp, the profile functions in PosixProfile.cpp.
#include <dlfcn.h>
#include <unistd.h>

#include <cstring>

#include "platform/Platform.h"

DWORD GetModuleFileNameA(HINSTANCE hModule, char* lpFilename, DWORD nSize) {
  if (!lpFilename || nSize == 0) return 0;
  char exe[4096];
  const char* path = nullptr;
  if (!hModule) {
    ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
    if (n < 0) return 0;
    exe[n] = '\0';
    path = exe;
  } else {
    Dl_info info;
    if (!dladdr(reinterpret_cast<void*>(hModule), &info) || info.dli_fbase != reinterpret_cast<void*>(hModule) ||
        !info.dli_fname)
      return 0;
    path = info.dli_fname;
  }
  size_t len = std::strlen(path);
  if (len >= nSize) {
    // As Windows since Vista: cut, terminate, and report the buffer size.
    std::memcpy(lpFilename, path, nSize - 1);
    lpFilename[nSize - 1] = '\0';
    return nSize;
  }
  std::memcpy(lpFilename, path, len + 1);
  return static_cast<DWORD>(len);
}
