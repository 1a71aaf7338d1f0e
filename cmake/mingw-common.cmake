# What both Windows cross builds share, with Debian's MinGW-w64. Included by
# mingw-i686.cmake and mingw-x86_64.cmake after they set
# GALEBOARD_MINGW_TRIPLE and GALEBOARD_WINE_NAMES (the Wine loaders that run
# their programs, best first; see wine.cmake).
set(CMAKE_SYSTEM_NAME Windows)

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

# libgcc, libstdc++ and winpthread go into every binary, so that Galeboard.dll
# needs only the system's DLLs and the host's.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static")

include(${CMAKE_CURRENT_LIST_DIR}/wine.cmake)
