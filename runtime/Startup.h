// Start and end of an image (the DLL, or a program) built without Microsoft's
// C runtime library.
#pragma once

#ifdef __cplusplus
extern "C" {
#endif

// Runs the image's C++ initialisers, in the order the linker laid them out.
void GaleboardRunInitialisers(void);
// Runs what the image registered with atexit, newest first, and forgets it.
void GaleboardRunExitFunctions(void);

#ifdef __cplusplus
}
#endif
