# Cross build for 32-bit Windows with Debian's MinGW-w64 (g++-mingw-w64-i686).
# The tests run under Wine: CMake's emulator is wine, so plain ctest in the
# build folder runs every test program there.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)

set(GALEBOARD_MINGW_TRIPLE i686-w64-mingw32)
# The posix thread model: the win32 one of GCC 12 has no std::thread or
# std::mutex. Its winpthread is linked statically below, like the runtime.
set(CMAKE_C_COMPILER ${GALEBOARD_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${GALEBOARD_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${GALEBOARD_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${GALEBOARD_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Doubles in SSE2 registers, not the x87 unit, whose 80-bit intermediates
# round differently: the arithmetic then matches the native x86-64 build bit
# for bit. (This compiler realigns the stack for SSE by default, since callers
# on Windows keep it aligned to 4 bytes only.)
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")

# libgcc, libstdc++ and winpthread go into every binary, so that Galeboard.dll
# needs only the system's DLLs and the host's.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static")

# Building needs no Wine; running the tests does.
find_program(GALEBOARD_WINE wine)
if(GALEBOARD_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${GALEBOARD_WINE})
endif()
