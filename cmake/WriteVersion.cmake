# Run at build time (cmake -DBASE=... -DSOURCE_DIR=... -DOUTPUT_DIR=... -P WriteVersion.cmake):
# writes OUTPUT_DIR/HalvaneVersion.h (HV_VERSION_STRING, and HV_VERSION_NUMBERS for the
# Windows version resource) and OUTPUT_DIR/version.txt (for scripts), each only when its text
# changes, so a build with the same version recompiles and relinks nothing.
include(${CMAKE_CURRENT_LIST_DIR}/VersionOf.cmake)
hv_version_of(version "${BASE}" "${SOURCE_DIR}")

function(hv_write_if_changed path)
  string(CONCAT text ${ARGN})
  if(EXISTS "${path}")
    file(READ "${path}" old)
    if(old STREQUAL text)
      return()
    endif()
  endif()
  file(WRITE "${path}" "${text}")
endfunction()

# The Windows version resource also wants the release number as four numbers.
string(REPLACE "." "," numbers "${BASE}")
string(REGEX MATCHALL "," commas "${numbers}")
list(LENGTH commas count)
while(count LESS 3)
  string(APPEND numbers ",0")
  math(EXPR count "${count} + 1")
endwhile()
hv_write_if_changed("${OUTPUT_DIR}/HalvaneVersion.h"
                    "// Written by cmake/WriteVersion.cmake at build time.\n"
                    "#define HV_VERSION_STRING \"${version}\"\n"
                    "#define HV_VERSION_NUMBERS ${numbers}\n")
hv_write_if_changed("${OUTPUT_DIR}/version.txt" "${version}\n")
