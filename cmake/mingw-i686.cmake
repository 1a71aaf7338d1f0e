# Cross build for 32-bit Windows with Debian's MinGW-w64 (g++-mingw-w64-i686),
# the architecture of the simulator's 32-bit releases.
set(CMAKE_SYSTEM_PROCESSOR x86)
set(GALEBOARD_MINGW_TRIPLE i686-w64-mingw32)
# Debian's wine starts the 32-bit loader whenever wine32 is installed, which
# only a kernel that runs 32-bit programs can start.
set(GALEBOARD_WINE_NAMES wine)

# Doubles in SSE2 registers, not the x87 unit, whose 80-bit intermediates
# round differently: the arithmetic then matches the native x86-64 build bit
# for bit. (This compiler realigns the stack for SSE by default, since callers
# on Windows keep it aligned to 4 bytes only.)
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")

include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
