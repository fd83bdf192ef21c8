# cmake -DSOURCE_DIR=... -P test_package_version.cmake
# The Debian form of the programs' version: a dirty tree shows in the package's version
# (the revision "dirty"), a clean one is a native version, and no version stops packaging.
include(${SOURCE_DIR}/cmake/packaging/ReadVersion.cmake)
if(READ_NOTHING)  # the child run below
  hv_read_version(got upstream revision "" "")
  return()
endif()

function(expect version upstream revision)
  hv_read_version(got got_upstream got_revision "" "${version}")
  if(NOT got STREQUAL version OR NOT got_upstream STREQUAL upstream OR NOT got_revision STREQUAL revision)
    message(FATAL_ERROR "${version}: got '${got}' '${got_upstream}' '${got_revision}', "
                        "expected '${upstream}' '${revision}'")
  endif()
endfunction()
expect("1.0.0+gabc1234" "1.0.0+gabc1234" "")
expect("1.0.0+gabc1234-dirty" "1.0.0+gabc1234" "dirty")
expect("1.0.0+unknown" "1.0.0+unknown" "")

# The version the build wrote wins over the one found at configure time.
set(file ${CMAKE_CURRENT_BINARY_DIR}/test_package_version.txt)
file(WRITE ${file} "1.0.0+gdef5678-dirty\n")
hv_read_version(got upstream revision ${file} "1.0.0+gabc1234")
file(REMOVE ${file})
if(NOT got STREQUAL "1.0.0+gdef5678-dirty" OR NOT revision STREQUAL "dirty")
  message(FATAL_ERROR "the written version was not read: '${got}'")
endif()

# Nothing to go by: the package is refused, not named after an empty version.
execute_process(COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${SOURCE_DIR} -DREAD_NOTHING=1
                        -P ${CMAKE_CURRENT_LIST_FILE} RESULT_VARIABLE status OUTPUT_QUIET ERROR_QUIET)
if(status EQUAL 0)
  message(FATAL_ERROR "an empty version was accepted")
endif()
message(STATUS "package versions: ok")
