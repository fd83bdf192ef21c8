# The tests of the version (cmake/Version.cmake) and of the answers every program gives
# to --help and --version. The programs are every executable of the build that is not a
# test, a benchmark or a fuzz target, collected once all fragments are read, so a new
# program is checked without being listed here.
if(WIN32 OR NOT HV_BUILD_TESTS)
  return()
endif()

add_test(NAME version_script
         COMMAND bash ${CMAKE_SOURCE_DIR}/tests/test_version_script.sh ${CMAKE_COMMAND}
                 ${CMAKE_SOURCE_DIR}/cmake/WriteVersion.cmake)
set_tests_properties(version_script PROPERTIES LABELS version)

function(hv_version_finish)
  get_property(targets DIRECTORY ${CMAKE_SOURCE_DIR} PROPERTY BUILDSYSTEM_TARGETS)
  set(programs "")
  foreach(target ${targets})
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "EXECUTABLE" AND NOT target MATCHES "^(test_|fuzz_)|_benchmark$")
      list(APPEND programs "${target}=$<TARGET_FILE:${target}>")
    endif()
  endforeach()
  add_test(NAME program_options
           COMMAND bash ${CMAKE_SOURCE_DIR}/tests/test_program_options.sh ${PROJECT_VERSION} ${CMAKE_SOURCE_DIR}
                   ${programs})
  set_tests_properties(program_options PROPERTIES LABELS version)
endfunction()
cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL hv_version_finish)
