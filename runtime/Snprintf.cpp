// snprintf and vsnprintf as C99 defines them, on msvcrt.dll. The Universal C
// runtime's headers (Wine's, as used here) route every formatting into a
// string through __stdio_common_vsprintf, which msvcrt.dll lacks; it is made
// here over msvcrt.dll's _vsnprintf and _vscprintf. Not including <stdio.h>:
// it defines _vsnprintf inline over this very function.
#include <corecrt_stdio_config.h>
#include <stdarg.h>
#include <stddef.h>

extern "C" {
int __cdecl _vsnprintf(char* buffer, size_t size, const char* format, va_list args);
int __cdecl _vscprintf(const char* format, va_list args);
}

extern "C" int __cdecl __stdio_common_vsprintf(unsigned long long options, char* buffer, size_t size,
                                               const char* format, void* /*locale*/, va_list args) {
  // _vsnprintf's own result: -1 when the text was cut, and then unterminated.
  if (!(options & _CRT_INTERNAL_PRINTF_STANDARD_SNPRINTF_BEHAVIOR)) return _vsnprintf(buffer, size, format, args);
  // C99: the length of the whole text; as much as fits is written, always
  // terminated.
  va_list counting;
  va_copy(counting, args);
  const int needed = _vscprintf(format, counting);
  va_end(counting);
  if (needed < 0 || !buffer || size == 0) return needed;
  _vsnprintf(buffer, size, format, args);
  buffer[static_cast<size_t>(needed) < size ? static_cast<size_t>(needed) : size - 1] = '\0';
  return needed;
}
