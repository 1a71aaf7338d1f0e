// The entry point of a DLL built without Microsoft's C runtime library. As
// with that library: on attach the initialisers run before the DllMain of the
// module (its SDK attach code), on detach DllMain runs first and then the
// destructors.
#include <windows.h>

#include "runtime/Startup.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved);

extern "C" BOOL WINAPI _DllMainCRTStartup(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  if (reason == DLL_PROCESS_ATTACH) GaleboardRunInitialisers();
  const BOOL result = DllMain(instance, reason, reserved);
  if (reason == DLL_PROCESS_DETACH) GaleboardRunExitFunctions();
  return result;
}
