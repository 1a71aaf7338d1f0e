# Cross build for 64-bit Windows with Debian's MinGW-w64
# (g++-mingw-w64-x86-64), the architecture of the simulator's 64-bit release.
# Its tests run under 64-bit Wine on any x86-64 Linux, including kernels that
# cannot run 32-bit programs.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(GALEBOARD_MINGW_TRIPLE x86_64-w64-mingw32)
# The 64-bit loader by name: Debian's wine starts the 32-bit one whenever
# wine32 is installed, and has no wine64 on the PATH. Wine 9 and later have
# one loader, wine, for both.
set(GALEBOARD_WINE_NAMES wine64 wine)

include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
