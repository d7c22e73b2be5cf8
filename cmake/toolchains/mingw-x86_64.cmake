# Windows, x86-64 with mingw-w64.
set(VELDRASK_MINGW_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
