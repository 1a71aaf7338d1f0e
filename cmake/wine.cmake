# The Wine loader that runs a Windows build's programs, as CMake's emulator:
# plain ctest in the build folder then runs every test program there. The
# toolchain file sets GALEBOARD_WINE_NAMES first, the loaders best first.
# Building needs no Wine; running the tests does. Debian keeps its loaders in
# /usr/lib/wine (wine from wine32, wine64 from wine64), looked at before the
# PATH, whose wine there is a script that picks one of the two by what is
# installed; other installations put the loaders on the PATH.
find_program(GALEBOARD_WINE NAMES ${GALEBOARD_WINE_NAMES} HINTS /usr/lib/wine
             DOC "The Wine loader that runs this build's programs")
if(GALEBOARD_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${GALEBOARD_WINE})
endif()
