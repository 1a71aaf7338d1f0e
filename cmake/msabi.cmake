# What the two Microsoft-ABI toolchain files share: Galeboard.dll for the
# simulator itself, which is built with Microsoft's compiler and loads only
# modules of Microsoft's C++ ABI. Debian's clang compiles for the
# *-pc-windows-msvc triple and lld-link links; the C library is msvcrt.dll,
# declared by Wine's Microsoft-compatible headers; the C++ library is libc++,
# its headers alone (no compiled part is needed with these settings). The
# little a C++ runtime must add lives in runtime/, and the import libraries of
# msvcrt.dll, KERNEL32.dll and the simulator's orbiter.exe are made there with
# llvm-dlltool.
# Packages: clang-14, lld-14, llvm-14, libc++-14-dev, libwine-dev.
# Set GALEBOARD_MSABI_TRIPLE, CMAKE_SYSTEM_PROCESSOR and GALEBOARD_WINE_NAMES
# (see wine.cmake) before including this.
set(CMAKE_SYSTEM_NAME Windows)

set(GALEBOARD_MSABI ON CACHE BOOL "Microsoft-ABI build of the module for the simulator itself" FORCE)

set(CMAKE_C_COMPILER clang-14)
set(CMAKE_CXX_COMPILER clang++-14)
set(CMAKE_C_COMPILER_TARGET ${GALEBOARD_MSABI_TRIPLE})
set(CMAKE_CXX_COMPILER_TARGET ${GALEBOARD_MSABI_TRIPLE})
set(CMAKE_RC_COMPILER llvm-rc-14)
set(CMAKE_AR llvm-ar-14)
set(GALEBOARD_DLLTOOL llvm-dlltool-14)

set(libcxx_include /usr/lib/llvm-14/include/c++/v1)
set(wine_include /usr/include/wine/wine)
if(NOT EXISTS ${libcxx_include}/vector)
  message(FATAL_ERROR "libc++'s headers are missing: apt-get install libc++-14-dev")
endif()
if(NOT EXISTS ${wine_include}/msvcrt/stdio.h OR NOT EXISTS ${wine_include}/windows/windows.h)
  message(FATAL_ERROR "Wine's Microsoft-compatible headers are missing: apt-get install libwine-dev")
endif()

# libc++ first (its C headers wrap the C library's), then the runtime's
# additions to Wine's math.h, then Wine's C library and Windows headers; none
# of the host's own.
set(msabi_includes "-nostdlibinc -isystem ${libcxx_include} -isystem ${CMAKE_CURRENT_LIST_DIR}/../runtime/include \
-isystem ${wine_include}/msvcrt -isystem ${wine_include}/windows")
# The C library's functions are plain externals, resolved by the import
# libraries; so the runtime can define the few it provides itself.
set(msabi_defines "-D_ACRTIMP=")
# winnt.h defines some Interlocked functions inline that clang knows as
# built-ins for this target; they get other names (nothing here uses them).
set(msabi_builtins _InterlockedCompareExchange128)
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86")
  list(APPEND msabi_builtins _InterlockedAnd64 _InterlockedCompareExchangePointer _InterlockedDecrement64
       _InterlockedExchangeAdd64 _InterlockedExchangePointer _InterlockedIncrement64 _InterlockedOr64
       _InterlockedXor64)
endif()
foreach(name ${msabi_builtins})
  string(APPEND msabi_defines " -D${name}=wine${name}")
endforeach()
# libc++ from its headers alone: no vcruntime, no extern templates (so that
# std::string and std::vector are made here), no threads; no exceptions, and
# function-local statics without locks, as the module runs on the simulator's
# one simulation thread.
set(msabi_libcxx "-D_LIBCPP_NO_VCRUNTIME -D_LIBCPP_DISABLE_EXTERN_TEMPLATE -D_LIBCPP_HAS_NO_THREADS \
-D_LIBCPP_DISABLE_VISIBILITY_ANNOTATIONS -fno-exceptions -fno-threadsafe-statics -fno-delayed-template-parsing")
set(msabi_cpu "")
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86")
  # Doubles in SSE2 registers, as in the other builds, so that the wind model
  # computes the same last bits.
  set(msabi_cpu "-msse2 -mfpmath=sse")
endif()
set(CMAKE_C_FLAGS_INIT "${msabi_includes} ${msabi_defines} ${msabi_cpu}")
set(CMAKE_CXX_FLAGS_INIT "${msabi_includes} ${msabi_defines} ${msabi_libcxx} ${msabi_cpu}")

# Linked by lld-link with nothing implied: no default libraries, neither the
# platform's list nor those named inside objects; the runtime and the import
# libraries are named where they are used. Unreferenced code is dropped.
set(CMAKE_C_STANDARD_LIBRARIES "" CACHE STRING "" FORCE)
set(CMAKE_CXX_STANDARD_LIBRARIES "" CACHE STRING "" FORCE)
set(CMAKE_MSVC_RUNTIME_LIBRARY "")
foreach(kind EXE SHARED MODULE)
  set(CMAKE_${kind}_LINKER_FLAGS_INIT "-Wno-unused-command-line-argument -Xlinker /nodefaultlib -Xlinker /opt:ref")
endforeach()

# The compiler checks compile only: no executable links without our runtime.
set(CMAKE_TRY_COMPILE_TARGET_TYPE STATIC_LIBRARY)

include(${CMAKE_CURRENT_LIST_DIR}/wine.cmake)
