# Tests of the Windows cross builds. GoogleTest is built from the source Debian ships
# (libgtest-dev), since no mingw build of it is packaged, and the test programs run under Wine
# through scripts/wine-run.sh with private prefixes in the build folder: the x86_64 ones in a
# win64 prefix, the i686 ones in a win32 prefix through the 32-bit loader.

set(VELDRASK_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources for cross builds")
if(NOT EXISTS ${VELDRASK_GTEST_SOURCE}/CMakeLists.txt)
  message(FATAL_ERROR "No GoogleTest sources at ${VELDRASK_GTEST_SOURCE} (libgtest-dev)")
endif()
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
# Its CMake files define the GTest:: aliases the tests link.
add_subdirectory(${VELDRASK_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)

if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(VELDRASK_WINE_ARCH win64)
else()
  set(VELDRASK_WINE_ARCH win32)
endif()
# The start of every command that reaches Wine, directly or through a script: the scripts and
# the programs they start inherit the architecture.
set(VELDRASK_WINE_ENV env VELDRASK_WINE_ARCH=${VELDRASK_WINE_ARCH})
set(VELDRASK_WINE_PREFIX ${CMAKE_BINARY_DIR}/wine-prefix)
set(CMAKE_CROSSCOMPILING_EMULATOR ${VELDRASK_WINE_ENV} ${CMAKE_SOURCE_DIR}/scripts/wine-run.sh
    ${VELDRASK_WINE_PREFIX})
set(VELDRASK_RUN_WINDOWS_TESTS ON)
