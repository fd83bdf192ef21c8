# cmake -DRUN_DIR=... -DSTAGE_DIR=... -DZIP=... -P PackageZip.cmake
# Copies halvane.exe, data/, shaders/ and sync_*.track from the run directory into
# STAGE_DIR/halvane-win64 and zips that folder. Fails when a part is missing.
foreach(part halvane.exe data shaders)
  if(NOT EXISTS ${RUN_DIR}/${part})
    message(FATAL_ERROR "The package needs ${RUN_DIR}/${part}")
  endif()
endforeach()
file(GLOB tracks ${RUN_DIR}/sync_*.track)
if(NOT tracks)
  message(FATAL_ERROR "The package needs the compiled sync tracks in ${RUN_DIR}")
endif()
set(folder ${STAGE_DIR}/halvane-win64)
file(REMOVE_RECURSE ${STAGE_DIR})
file(MAKE_DIRECTORY ${folder})
file(COPY ${RUN_DIR}/halvane.exe ${RUN_DIR}/data ${RUN_DIR}/shaders ${tracks} DESTINATION ${folder})
file(REMOVE ${ZIP})
execute_process(COMMAND ${CMAKE_COMMAND} -E tar cf ${ZIP} --format=zip halvane-win64
                WORKING_DIRECTORY ${STAGE_DIR} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "Could not write ${ZIP}")
endif()
list(LENGTH tracks count)
message(STATUS "${ZIP}: halvane.exe, data/, shaders/ and ${count} sync tracks")
