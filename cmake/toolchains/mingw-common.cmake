# Cross build for Windows with mingw-w64, for the processor that the including toolchain file
# names in VELDRASK_MINGW_PROCESSOR (i686 or x86_64). The posix thread model gives std::thread
# and std::mutex; everything the C++ runtime needs is linked statically, so the programs and
# the control DLL import only system DLLs.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${VELDRASK_MINGW_PROCESSOR})
set(mingw_triplet ${VELDRASK_MINGW_PROCESSOR}-w64-mingw32)

set(CMAKE_C_COMPILER ${mingw_triplet}-gcc-posix)
set(CMAKE_CXX_COMPILER ${mingw_triplet}-g++-posix)
set(CMAKE_RC_COMPILER ${mingw_triplet}-windres)
set(VELDRASK_WIDL widl)

set(CMAKE_FIND_ROOT_PATH /usr/${mingw_triplet})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The build machine's pkg-config libraries (GIO, libxml2) are not for this target.
set(ENV{PKG_CONFIG_LIBDIR} /usr/${mingw_triplet}/lib/pkgconfig)
set(ENV{PKG_CONFIG_PATH} "")

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
