# The package a pilot unzips into the simulator's folder, made by cpack in a
# Microsoft-ABI build (scripts/package.sh makes both):
# Galeboard-<version>-x86.zip or -x64.zip, holding Modules/Plugin/Galeboard.dll
# and the pilot's manual, Doc/Galeboard.html. Nothing else of the build goes
# in: not the stand-in simulator, not the import library.
install(FILES $<TARGET_FILE:Galeboard> DESTINATION Modules/Plugin)
install(FILES ${PROJECT_SOURCE_DIR}/docs/Galeboard.html DESTINATION Doc)

if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86")
  set(package_arch x86)
else()
  set(package_arch x64)
endif()
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME Galeboard)
set(CPACK_PACKAGE_VENDOR Galeboard)
set(CPACK_PACKAGE_FILE_NAME Galeboard-${PROJECT_VERSION}-${package_arch})
# The zip's top is the simulator's folder.
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
include(CPack)
