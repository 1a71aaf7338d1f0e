// The attach and detach code that every module links: it announces the
// library to the host when the library is attached, and runs the library's
// ExitModule (or opcDLLExit) when it is detached.
#include "Orbitersdk.h"

#ifdef _WIN32

namespace {
typedef void (*ExitFunc)(HINSTANCE);
ExitFunc exitFunc = nullptr;
}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE hModule, DWORD reason, LPVOID /*reserved*/) {
  switch (reason) {
    case DLL_PROCESS_ATTACH:
      InitLib(hModule);
      exitFunc = reinterpret_cast<ExitFunc>(reinterpret_cast<void*>(GetProcAddress(hModule, "ExitModule")));
      if (!exitFunc)
        exitFunc = reinterpret_cast<ExitFunc>(reinterpret_cast<void*>(GetProcAddress(hModule, "opcDLLExit")));
      break;
    case DLL_PROCESS_DETACH:
      if (exitFunc) exitFunc(hModule);
      break;
  }
  return TRUE;
}

#else

#include <dlfcn.h>

// Off Windows a library's instance handle is, as on Windows, the address at
// which it is mapped.
extern "C" __attribute__((weak)) void ExitModule(HINSTANCE);
extern "C" __attribute__((weak)) void opcDLLExit(HINSTANCE);

namespace {

HINSTANCE OwnInstance() {
  Dl_info info;
  if (!dladdr(reinterpret_cast<void*>(&OwnInstance), &info)) return nullptr;
  return static_cast<HINSTANCE>(info.dli_fbase);
}

__attribute__((constructor)) void AttachLibrary() { InitLib(OwnInstance()); }

__attribute__((destructor)) void DetachLibrary() {
  if (ExitModule)
    ExitModule(OwnInstance());
  else if (opcDLLExit)
    opcDLLExit(OwnInstance());
}

}  // namespace

#endif
