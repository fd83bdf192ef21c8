# The version every program prints (--version), the Windows version resource holds and
# every captured video carries. The release number is PROJECT_VERSION alone; the rest
# (the commit, -dirty) is worked out again on every build by WriteVersion.cmake, so a
# commit made after configuring shows in the next build. HV_VERSION is the same at
# configure time, for what needs it then (package names).
include(${CMAKE_CURRENT_LIST_DIR}/VersionOf.cmake)
hv_version_of(HV_VERSION "${PROJECT_VERSION}" "${CMAKE_SOURCE_DIR}")
message(STATUS "Halvane ${HV_VERSION}")

set(HV_VERSION_DIR ${CMAKE_BINARY_DIR}/version)
file(MAKE_DIRECTORY ${HV_VERSION_DIR})
add_custom_target(hv_version_header
  COMMAND ${CMAKE_COMMAND} -DBASE=${PROJECT_VERSION} -DSOURCE_DIR=${CMAKE_SOURCE_DIR} -DOUTPUT_DIR=${HV_VERSION_DIR}
          -P ${CMAKE_CURRENT_LIST_DIR}/WriteVersion.cmake
  BYPRODUCTS ${HV_VERSION_DIR}/HalvaneVersion.h ${HV_VERSION_DIR}/version.txt
  COMMENT "Working out the version"
  VERBATIM)

# hv_version: the version string and the --help/--version answer every program gives.
add_library(hv_version STATIC source/cpp/Version.cpp source/cpp/StandardOptions.cpp)
target_include_directories(hv_version PRIVATE ${HV_VERSION_DIR})
add_dependencies(hv_version hv_version_header)
