# Galeboard.dll for the 64-bit simulator (2024 release): Microsoft's C++ ABI
# for x86_64, built with Debian's clang and lld-link. See msabi.cmake.
set(GALEBOARD_MSABI_TRIPLE x86_64-pc-windows-msvc)
set(CMAKE_SYSTEM_PROCESSOR AMD64)
# The stand-in simulator built beside it runs under the 64-bit loader, found
# as the 64-bit MinGW build finds it (mingw-x86_64.cmake).
set(GALEBOARD_WINE_NAMES wine64 wine)
include(${CMAKE_CURRENT_LIST_DIR}/msabi.cmake)
