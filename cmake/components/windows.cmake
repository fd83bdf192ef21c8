# The Windows package and the Windows program's tests (the Windows build only).
#
# package_zip packs halvane-VERSION-win64.zip: halvane.exe with data/, shaders/ and the
# compiled sync tracks, in one folder of the same name ready to unpack and run. The program's tests
# run it under wine64 on a virtual X server and drive it with xdotool, as a user
# would (tests/windows/test_program.sh); test_windows_standalone checks that the
# .exe imports nothing but Windows' own DLLs.
if(NOT WIN32)
  return()
endif()

# The name carries the version the build wrote, read when the zip is packed.
add_custom_target(package_zip
  COMMAND ${CMAKE_COMMAND} -DRUN_DIR=${CMAKE_BINARY_DIR}/run -DSTAGE_DIR=${CMAKE_BINARY_DIR}/package
          -DOUT_DIR=${CMAKE_BINARY_DIR} -DVERSION_FILE=${CMAKE_BINARY_DIR}/version/version.txt
          -DFALLBACK_VERSION=${HV_VERSION} -P ${CMAKE_SOURCE_DIR}/cmake/windows/PackageZip.cmake
  DEPENDS halvane content
  COMMENT "Packing ${CMAKE_BINARY_DIR}/halvane-VERSION-win64.zip")

if(NOT HV_BUILD_TESTS)
  return()
endif()

hv_add_test(test_windows_audio SOURCES tests/windows/test_audio_winmm.cpp LIBS hv_audio)

add_executable(test_windows_dialog_lists tests/windows/DialogLists.cpp)
target_link_libraries(test_windows_dialog_lists PRIVATE user32)

find_program(HV_MINGW_OBJDUMP NAMES ${HV_MINGW_TRIPLET}-objdump REQUIRED)
add_test(NAME test_windows_standalone
         COMMAND bash ${CMAKE_SOURCE_DIR}/tests/windows/test_standalone.sh ${HV_MINGW_OBJDUMP} $<TARGET_FILE:halvane>)
set_tests_properties(test_windows_standalone PROPERTIES LABELS windows)

foreach(scenario dialog-cancel escape music-ends gl-error)
  add_test(NAME test_windows_program_${scenario}
           COMMAND timeout -k 5 400 xvfb-run -a -s "-screen 0 640x400x24"
                   bash ${CMAKE_SOURCE_DIR}/tests/windows/test_program.sh ${CMAKE_CROSSCOMPILING_EMULATOR}
                   ${CMAKE_BINARY_DIR}/run $<TARGET_FILE:test_windows_dialog_lists> ${scenario}
                   ${CMAKE_BINARY_DIR}/program-tests/${scenario})
  # One virtual X server at a time: concurrent xvfb-run -a can pick the same display.
  set_tests_properties(test_windows_program_${scenario} PROPERTIES LABELS "windows;xvfb" TIMEOUT 420
                       RESOURCE_LOCK xvfb)
endforeach()

# The Windows program answers --help and --version as every program does (under Wine).
add_test(NAME test_windows_program_options
         COMMAND ${CMAKE_COMMAND} -E env EMULATOR=${CMAKE_CROSSCOMPILING_EMULATOR}
                 bash ${CMAKE_SOURCE_DIR}/tests/test_program_options.sh ${PROJECT_VERSION} ${CMAKE_SOURCE_DIR}
                 halvane=$<TARGET_FILE:halvane>)
set_tests_properties(test_windows_program_options PROPERTIES LABELS windows)
