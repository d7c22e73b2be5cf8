# The control as a library another C++ program embeds: the core, the POSIX backend and the
# headless user interface, installed with their headers and a CMake package, so that
#   find_package(veldrask CONFIG REQUIRED)
#   target_link_libraries(app PRIVATE veldrask::control veldrask::posix veldrask::headless)
# builds against the installed tree. Headers go under include/veldrask/<folder>/ as in src/;
# a consumer writes #include <veldrask/control/uploader_control.h>, and the headers' own
# includes ("platform/platform.h") resolve through include/veldrask, the package's second
# include folder.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(veldrask_library_targets
  veldrask_base veldrask_platform veldrask_common veldrask_http veldrask_core
  veldrask_headless veldrask_posix)
set_target_properties(veldrask_base PROPERTIES EXPORT_NAME base)
set_target_properties(veldrask_platform PROPERTIES EXPORT_NAME platform)
set_target_properties(veldrask_common PROPERTIES EXPORT_NAME common)
set_target_properties(veldrask_http PROPERTIES EXPORT_NAME http)
set_target_properties(veldrask_core PROPERTIES EXPORT_NAME control)
set_target_properties(veldrask_headless PROPERTIES EXPORT_NAME headless)
set_target_properties(veldrask_posix PROPERTIES EXPORT_NAME posix)
# The headers need C++20 in the consumer too.
target_compile_features(veldrask_base PUBLIC cxx_std_20)
# Libraries built with the sanitizers need their run-time libraries in whatever links them.
if(VELDRASK_SANITIZE)
  target_link_options(veldrask_base INTERFACE
                      $<INSTALL_INTERFACE:-fsanitize=address,undefined>)
endif()

set(veldrask_include_dir ${CMAKE_INSTALL_INCLUDEDIR}/veldrask)
set(veldrask_cmake_dir ${CMAKE_INSTALL_LIBDIR}/cmake/veldrask)

install(TARGETS ${veldrask_library_targets} EXPORT veldraskTargets
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT development
  INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR} ${veldrask_include_dir})
foreach(folder base platform common control transfer queue upload download http headless posix)
  install(DIRECTORY ${CMAKE_SOURCE_DIR}/src/${folder}/ DESTINATION ${veldrask_include_dir}/${folder}
          COMPONENT development FILES_MATCHING PATTERN "*.h")
endforeach()

install(EXPORT veldraskTargets NAMESPACE veldrask:: DESTINATION ${veldrask_cmake_dir}
        COMPONENT development)
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/veldraskConfig.cmake.in
  ${CMAKE_BINARY_DIR}/veldraskConfig.cmake INSTALL_DESTINATION ${veldrask_cmake_dir})
write_basic_package_version_file(${CMAKE_BINARY_DIR}/veldraskConfigVersion.cmake
  VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_BINARY_DIR}/veldraskConfig.cmake
              ${CMAKE_BINARY_DIR}/veldraskConfigVersion.cmake
        DESTINATION ${veldrask_cmake_dir} COMPONENT development)
