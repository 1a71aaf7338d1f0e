// The few operating-system functions the module calls. On Windows they are the
// system's own; elsewhere this layer supplies them under the same names, with
// the same signatures and behaviour.
#pragma once

#include <cstdint>

#ifdef _WIN32
#include <time.h>
#include <windows.h>
#else
// The Windows types these functions use. The SDK's headers declare the same
// off Windows; where a source includes both, the compiler checks that they
// agree.
typedef uint32_t DWORD;
typedef uint32_t UINT;
typedef int BOOL;
typedef struct HINSTANCE__* HINSTANCE;
typedef int64_t __time64_t;

#ifndef FALSE
#define FALSE 0
#endif
#ifndef TRUE
#define TRUE 1
#endif

// Full path of the library mapped at hModule (the main program for null).
// The result is cut to fit nSize characters with the terminator; returns the
// number of characters copied, nSize when the path was cut, 0 on failure.
DWORD GetModuleFileNameA(HINSTANCE hModule, char* lpFilename, DWORD nSize);
// The clocks (these two and ReadTimeStampCounter below) are the machine's
// until a host sets them (SystemClocks.h).
// Milliseconds since system start, wrapping at 2^32.
DWORD GetTickCount();
// Calendar time in seconds since 1970.
__time64_t _time64(__time64_t* destTime);

// Private-profile (INI) files, read and written as Windows does: section and
// key names match without regard to letter case; a missing file, section or
// key reads as the default. A write changes only the line of its key (or adds
// one at the end of the section, or a section at the end of the file) and
// replaces the file atomically, so that a failed write leaves it as it was.
// Off Windows, what is not a regular file (a FIFO, a device) reads as a file
// that cannot be read and is never replaced, and the writes of other
// processes to the same file wait for each other.

// The names of all sections in file order, each ended by a NUL and the list
// by a second NUL. Returns the characters copied without the last NUL; a list
// that does not fit is cut and gives nSize - 2.
DWORD GetPrivateProfileSectionNamesA(char* lpszReturnBuffer, DWORD nSize, const char* lpFileName);
// The integer value of a key (decimal, or with the prefixes 0x, 0o, 0b; a
// sign; reading stops at the first other character; wraps modulo 2^32).
UINT GetPrivateProfileIntA(const char* lpAppName, const char* lpKeyName, int nDefault, const char* lpFileName);
// Sets a key's value; a null lpString deletes the key, a null lpKeyName the
// section. Returns FALSE when the file could not be written (it is then
// unchanged) or a text holds a line break.
BOOL WritePrivateProfileStringA(const char* lpAppName, const char* lpKeyName, const char* lpString,
                                const char* lpFileName);
#endif

// The processor's time-stamp counter; off Windows, as the system's clocks a
// host may set.
uint64_t ReadTimeStampCounter();
