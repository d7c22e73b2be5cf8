# Tests of the Windows cross builds. GoogleTest is built from the source Debian ships
# (libgtest-dev), since no mingw build of it is packaged, and the x86_64 test programs run under
# Wine through scripts/wine-run.sh with a private prefix in the build folder. The i686 programs
# cannot run on this machine; they are checked statically (scripts/check-pe-imports.sh).

set(VELDRASK_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources for cross builds")
if(NOT EXISTS ${VELDRASK_GTEST_SOURCE}/CMakeLists.txt)
  message(FATAL_ERROR "No GoogleTest sources at ${VELDRASK_GTEST_SOURCE} (libgtest-dev)")
endif()
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
# Its CMake files define the GTest:: aliases the tests link.
add_subdirectory(${VELDRASK_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)

if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
  set(VELDRASK_WINE_PREFIX ${CMAKE_BINARY_DIR}/wine-prefix)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_SOURCE_DIR}/scripts/wine-run.sh
      ${VELDRASK_WINE_PREFIX})
  set(VELDRASK_RUN_WINDOWS_TESTS ON)
else()
  set(VELDRASK_RUN_WINDOWS_TESTS OFF)
endif()
