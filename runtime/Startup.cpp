// The image's C++ initialisers and its own atexit list. The list must be the
// image's: a DLL that handed its destructors to msvcrt.dll's atexit would have
// them run at process exit, after the DLL is unloaded.
#include "runtime/Startup.h"

#include <stdlib.h>

namespace {

typedef void(__cdecl* Initialiser)(void);

// The compiler puts a pointer to each initialiser into a .CRT$XCU section; the
// linker orders the .CRT$XC* sections by name, so these two bracket them all.
__attribute__((section(".CRT$XCA"), used)) const Initialiser initialisersBegin = nullptr;
__attribute__((section(".CRT$XCZ"), used)) const Initialiser initialisersEnd = nullptr;

struct ExitFunction {
  void(__cdecl* function)(void);
  ExitFunction* next;
};
ExitFunction* exitFunctions = nullptr;  // newest first

}  // namespace

extern "C" void GaleboardRunInitialisers(void) {
  // The linker may pad between the sections with zeros.
  for (const Initialiser* p = &initialisersBegin + 1; p < &initialisersEnd; ++p)
    if (*p) (*p)();
}

extern "C" void GaleboardRunExitFunctions(void) {
  while (ExitFunction* e = exitFunctions) {
    exitFunctions = e->next;
    e->function();
    free(e);
  }
}

extern "C" int __cdecl atexit(void(__cdecl* function)(void)) {
  auto* e = static_cast<ExitFunction*>(malloc(sizeof(ExitFunction)));
  if (!e) return -1;
  e->function = function;
  e->next = exitFunctions;
  exitFunctions = e;
  return 0;
}
