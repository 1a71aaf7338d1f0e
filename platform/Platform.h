// The few operating-system functions the module calls. On Windows they are the
// system's own; elsewhere this layer supplies them under the same names, with
// the same signatures and behaviour.
#pragma once

#include <cstdint>

#include "OrbiterAPI.h"

#ifdef _WIN32
#include <time.h>
#else
typedef int64_t __time64_t;

// Full path of the library mapped at hModule (the main program for null).
// The result is cut to fit nSize characters with the terminator; returns the
// number of characters copied, nSize when the path was cut, 0 on failure.
DWORD GetModuleFileNameA(HINSTANCE hModule, char* lpFilename, DWORD nSize);
// Milliseconds since system start, wrapping at 2^32.
DWORD GetTickCount();
// Calendar time in seconds since 1970.
__time64_t _time64(__time64_t* destTime);
#endif

// The processor's time-stamp counter.
uint64_t ReadTimeStampCounter();
