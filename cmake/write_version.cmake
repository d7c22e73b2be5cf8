# Writes OUTPUT: the version and the commit of the source tree, at every build, touching the
# file only when they changed. Run as: cmake -DSOURCE_DIR=... -DOUTPUT=... -DVERSION=... -P
set(commit "unknown")
find_package(Git QUIET)
if(GIT_FOUND)
  execute_process(COMMAND ${GIT_EXECUTABLE} -C ${SOURCE_DIR} rev-parse --short=12 HEAD
                  OUTPUT_VARIABLE head OUTPUT_STRIP_TRAILING_WHITESPACE
                  RESULT_VARIABLE failed ERROR_QUIET)
  if(NOT failed AND head)
    set(commit ${head})
    execute_process(COMMAND ${GIT_EXECUTABLE} -C ${SOURCE_DIR} status --porcelain
                            --untracked-files=no
                    OUTPUT_VARIABLE changes ERROR_QUIET)
    if(changes)
      string(APPEND commit "-modified")
    endif()
  endif()
endif()
file(CONFIGURE OUTPUT ${OUTPUT} CONTENT
"// Written at build time by cmake/write_version.cmake.
#include \"version.h\"

namespace veldrask::host {
const char* const kToolVersion = \"${VERSION}\";
const char* const kToolCommit = \"${commit}\";
}  // namespace veldrask::host
")
