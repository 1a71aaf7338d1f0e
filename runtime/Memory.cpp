// The C++ allocation functions over msvcrt.dll's malloc and free. Without
// exceptions a plain new that finds no memory cannot throw, so it stops the
// process rather than return what its caller would use unchecked.
#include <stdlib.h>

#include <new>

const std::nothrow_t std::nothrow{};

void* operator new(size_t size) {
  if (void* p = malloc(size ? size : 1)) return p;
  abort();
}
void* operator new[](size_t size) { return operator new(size); }
void* operator new(size_t size, const std::nothrow_t&) noexcept { return malloc(size ? size : 1); }
void* operator new[](size_t size, const std::nothrow_t&) noexcept { return malloc(size ? size : 1); }

void operator delete(void* p) noexcept { free(p); }
void operator delete[](void* p) noexcept { free(p); }
void operator delete(void* p, size_t) noexcept { free(p); }
void operator delete[](void* p, size_t) noexcept { free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { free(p); }
