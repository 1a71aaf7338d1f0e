# Galeboard.dll for the 64-bit simulator (2024 release): Microsoft's C++ ABI
# for x86_64, built with Debian's clang and lld-link. See msabi.cmake. The
# stand-in simulator built beside it runs under 64-bit Wine.
set(GALEBOARD_MSABI_TRIPLE x86_64-pc-windows-msvc)
set(CMAKE_SYSTEM_PROCESSOR AMD64)
include(${CMAKE_CURRENT_LIST_DIR}/msabi.cmake)

# Building needs no Wine; flying the stand-in does, under the 64-bit loader,
# found as the 64-bit MinGW build finds it (mingw-x86_64.cmake).
find_program(GALEBOARD_WINE NAMES wine64 wine HINTS /usr/lib/wine DOC "The Wine loader that runs this build's programs")
if(GALEBOARD_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${GALEBOARD_WINE})
endif()
