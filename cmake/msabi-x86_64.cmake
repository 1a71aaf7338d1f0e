# Galeboard.dll for the 64-bit simulator (2024 release): Microsoft's C++ ABI
# for x86_64, built with Debian's clang and lld-link. See msabi.cmake. The
# stand-in simulator built beside it runs under 64-bit Wine.
set(GALEBOARD_MSABI_TRIPLE x86_64-pc-windows-msvc)
set(CMAKE_SYSTEM_PROCESSOR AMD64)
include(${CMAKE_CURRENT_LIST_DIR}/msabi.cmake)

# Building needs no Wine; flying the stand-in does.
find_program(GALEBOARD_WINE64 wine64 PATHS /usr/lib/wine NO_DEFAULT_PATH)
find_program(GALEBOARD_WINE64 wine64)
if(GALEBOARD_WINE64)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${GALEBOARD_WINE64})
endif()
