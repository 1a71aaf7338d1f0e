# Galeboard.dll for the 32-bit simulator (2016 and 2024 releases): Microsoft's
# C++ ABI for i686, built with Debian's clang and lld-link. See msabi.cmake.
set(GALEBOARD_MSABI_TRIPLE i686-pc-windows-msvc)
set(CMAKE_SYSTEM_PROCESSOR x86)
# The stand-in simulator flies where the machine runs 32-bit programs, under
# the 32-bit loader, found as mingw-i686.cmake finds it.
set(GALEBOARD_WINE_NAMES wine)
include(${CMAKE_CURRENT_LIST_DIR}/msabi.cmake)
