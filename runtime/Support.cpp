// What compiled C++ of Microsoft's ABI expects of its runtime beyond the C
// library and the allocation functions.
#include <stdlib.h>
#include <string.h>

#include <typeinfo>

// Referenced by every object that uses floating point; the value is unused.
extern "C" int _fltused = 0;

// A pure virtual function called through a vtable: the object is broken.
extern "C" int __cdecl _purecall() { abort(); }

// The vtable of std::type_info, which every type's record in the RTTI points
// at. Nothing calls through it: the records are constant data, never
// destroyed.
extern "C" const void* const galeboardTypeInfoVtable[1] __asm__("??_7type_info@@6B@") = {nullptr};

// Each image has its own record of a type, so types compare by decorated
// name, as Microsoft's runtime compares them.
int std::type_info::__compare(const type_info& other) const noexcept {
  if (this == &other) return 0;
  return strcmp(__data.__decorated_name + 1, other.__data.__decorated_name + 1);
}
