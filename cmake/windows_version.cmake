# The version of the Windows binaries and their packages, from the project's one version:
# major, minor and patch (0 when the project's version has two numbers), then a build number
# that a release build may raise (-DVELDRASK_BUILD_NUMBER=...; 0 for a developer's build).
# The version resources (src/win32/version_info.rc.h) get the four numbers as definitions.
set(VELDRASK_BUILD_NUMBER 0 CACHE STRING "Fourth number of the Windows file versions (0-65535)")
if(NOT VELDRASK_BUILD_NUMBER MATCHES "^[0-9]+$" OR VELDRASK_BUILD_NUMBER GREATER 65535)
  message(FATAL_ERROR "VELDRASK_BUILD_NUMBER must be a number from 0 to 65535, not "
                      "'${VELDRASK_BUILD_NUMBER}'")
endif()
set(patch 0)
if(NOT "${PROJECT_VERSION_PATCH}" STREQUAL "")
  set(patch ${PROJECT_VERSION_PATCH})
endif()
set(VELDRASK_WINDOWS_VERSION
    ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${patch}.${VELDRASK_BUILD_NUMBER})
add_compile_definitions(
  $<$<COMPILE_LANGUAGE:RC>:VELDRASK_VERSION_MAJOR=${PROJECT_VERSION_MAJOR}>
  $<$<COMPILE_LANGUAGE:RC>:VELDRASK_VERSION_MINOR=${PROJECT_VERSION_MINOR}>
  $<$<COMPILE_LANGUAGE:RC>:VELDRASK_VERSION_PATCH=${patch}>
  $<$<COMPILE_LANGUAGE:RC>:VELDRASK_VERSION_BUILD=${VELDRASK_BUILD_NUMBER}>)
unset(patch)
if(WIN32)
  enable_language(RC)
endif()
