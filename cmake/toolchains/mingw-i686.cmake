# Windows, 32-bit x86 with mingw-w64.
set(VELDRASK_MINGW_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
