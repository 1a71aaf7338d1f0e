/* The entry point of a console program built without Microsoft's C runtime
   library: the initialisers, main, the destructors, then msvcrt.dll's exit,
   which flushes its streams and ends the process. */
#include <stdlib.h>

#include "runtime/Startup.h"

int main(void);

void __cdecl mainCRTStartup(void) {
  int code;
  GaleboardRunInitialisers();
  code = main();
  GaleboardRunExitFunctions();
  exit(code);
}
