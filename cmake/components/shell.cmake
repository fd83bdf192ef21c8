# Application shell: setup dialog, presentation window and GL context, the driver
# with its frame step and message loop, the scene interface and the `halvane` program.
add_library(hv_shell_lists STATIC
  source/cpp/DisplaySettings.cpp
  source/cpp/DisplayModeTable.cpp
  source/cpp/AbstractScene.cpp)
target_link_libraries(hv_shell_lists PUBLIC hv_base glm::glm GLEW::GLEW)

add_library(hv_shell STATIC
  source/cpp/Demo.cpp
  source/cpp/PresentationDriver.cpp
  source/scenes/PlaceholderScene.cpp
  source/scenes/FilmScene.cpp)
target_link_libraries(hv_shell PUBLIC hv_scene hv_shell_lists hv_base hv_audio hv_sync hv_framebuffers hv_textures
                                      GLEW::GLEW OpenGL::OpenGL glm::glm)

add_executable(halvane source/cpp/main.cpp)
target_link_libraries(halvane PRIVATE hv_shell hv_version)
set_target_properties(halvane PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/run)

hv_add_test(test_shell_lists SOURCES tests/test_shell_lists.cpp LIBS hv_shell_lists)

if(WIN32)
  # The Win32 and WGL layer; a GUI program with the dialog template and icon.
  target_sources(hv_shell PRIVATE
    source/platform/win32/Window.cpp
    source/platform/win32/ExitGuard.cpp
    source/platform/win32/WindowGlLoader.cpp
    source/platform/win32/PixelFormat.cpp
    source/platform/win32/GlProbe.cpp
    source/platform/win32/HiddenWindow.cpp
    source/platform/win32/SetupDialog.cpp)
  target_link_libraries(hv_shell PUBLIC gdi32 user32)
  target_sources(halvane PRIVATE source/platform/win32/Halvane.rc)
  # The version resource includes the header the build writes; a new version rebuilds it.
  target_include_directories(halvane PRIVATE ${HV_VERSION_DIR})
  set_source_files_properties(source/platform/win32/Halvane.rc PROPERTIES
                              OBJECT_DEPENDS ${HV_VERSION_DIR}/HalvaneVersion.h)
  set_target_properties(halvane PROPERTIES WIN32_EXECUTABLE ON)
  return()
endif()

find_package(X11 REQUIRED)
target_sources(hv_shell PRIVATE
  source/platform/linux/WindowGlLoader.cpp
  source/platform/linux/Window.cpp
  source/platform/linux/ExitGuard.cpp
  source/platform/linux/X11DisplayModes.cpp
  source/platform/linux/GlProbe.cpp
  source/platform/linux/SetupDialog.cpp)
target_link_libraries(hv_shell PUBLIC GTK3::GTK3 SDL2::SDL2 X11::X11 X11::Xrandr)

# The whole program on a virtual X server: dialog, window, and every way it ends.
if(HV_BUILD_TESTS)
  add_executable(test_shell_wm_delete tests/test_shell_wm_delete.c)
  target_link_libraries(test_shell_wm_delete PRIVATE X11::X11)
  foreach(scenario cancel escape close music-ends no-display no-music music-truncated model-truncated
                   shader-broken shader-missing shader-unlinkable no-credits no-texture no-branch-texture)
    add_test(NAME shell_program_${scenario}
             COMMAND timeout -k 5 60 xvfb-run -a -s "-screen 0 640x400x24"
                     bash ${CMAKE_SOURCE_DIR}/tests/test_shell_program.sh
                     $<TARGET_FILE:halvane> $<TARGET_FILE:test_shell_wm_delete> ${CMAKE_BINARY_DIR}/run ${scenario})
    # One virtual X server at a time: concurrent xvfb-run -a can pick the same display.
    set_tests_properties(shell_program_${scenario} PROPERTIES LABELS "xvfb;shell" TIMEOUT 90 RESOURCE_LOCK xvfb)
  endforeach()
endif()

# Where the programs find the film's files when they are not told (a scratch prefix).
if(HV_BUILD_TESTS AND TARGET halvane-frames AND TARGET halvane-capture)
  add_test(NAME data_directory
           COMMAND timeout -k 5 100 bash ${CMAKE_SOURCE_DIR}/tests/test_data_dir.sh $<TARGET_FILE:halvane>
                   $<TARGET_FILE:halvane-frames> $<TARGET_FILE:halvane-capture> ${CMAKE_BINARY_DIR}/run)
  set_tests_properties(data_directory PROPERTIES LABELS shell TIMEOUT 120)
endif()

# Every way out after a fullscreen switch gives the desktop its mode back: a real X server
# with switchable modes (X.Org's dummy driver) on a display of its own, never two at once.
if(HV_BUILD_TESTS)
  foreach(scenario escape close music-ends sigterm sigint sighup abort fatal-loading fatal-frame)
    add_test(NAME desktop_mode_${scenario}
             COMMAND timeout -k 5 100 bash ${CMAKE_SOURCE_DIR}/tests/test_desktop_mode.sh
                     $<TARGET_FILE:halvane> $<TARGET_FILE:test_shell_wm_delete> ${CMAKE_BINARY_DIR}/run
                     ${CMAKE_SOURCE_DIR}/tests/support/xorg-dummy.conf ${scenario})
    set_tests_properties(desktop_mode_${scenario} PROPERTIES LABELS "xorg;shell" TIMEOUT 120
                         RESOURCE_LOCK xvfb SKIP_RETURN_CODE 77)
  endforeach()
endif()

hv_add_test(test_shell_driver SOURCES tests/test_shell_driver.cpp LIBS hv_shell hv_gltest)
hv_add_test(test_shell_placeholder SOURCES tests/test_shell_placeholder.cpp LIBS hv_shell hv_gltest)
hv_add_test(test_shell_window SOURCES tests/test_shell_window.cpp LIBS hv_shell)
