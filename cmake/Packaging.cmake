# What a viewer installs on Linux, and CPack's two packages of it: the Debian package
# (halvane_VERSION_amd64.deb, into /usr) and the portable archive
# (halvane-VERSION-linux-x86_64.tar.gz, bin/ and share/halvane/ in one folder).
#
# Everything installed belongs to the component "film": the film and the two tools a
# viewer can use on it (halvane-frames, halvane-capture), the film's files, the menu
# entry, its icons, the manual pages and Debian's copyright and changelog. Tests,
# benchmarks, halvane-author and the content tools are never installed: the author
# mode and the generators work on a source checkout (the timeline source, the art
# scripts), which an installed copy does not have.
#
# The version is worked out again when CPack runs (cmake/packaging/CPackOptions.cmake.in),
# so a commit made after configuring names the package it goes into.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(HV_PACKAGING_DIR ${CMAKE_SOURCE_DIR}/packaging/linux)

foreach(program halvane halvane-frames halvane-capture)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION bin COMPONENT film)
  endif()
endforeach()

install(DIRECTORY ${CMAKE_SOURCE_DIR}/data ${CMAKE_SOURCE_DIR}/shaders DESTINATION share/halvane COMPONENT film)
install(FILES ${HV_PACKAGING_DIR}/halvane.desktop DESTINATION share/applications COMPONENT film)
foreach(size 16x16 32x32 48x48)
  install(FILES ${HV_PACKAGING_DIR}/icons/${size}.png DESTINATION share/icons/hicolor/${size}/apps
          RENAME halvane.png COMPONENT film)
endforeach()
install(FILES ${HV_PACKAGING_DIR}/copyright DESTINATION share/doc/halvane COMPONENT film)

# The compiled tracks (named by the timeline), and the files that carry the version:
# the manual pages and the changelog, gzipped as Debian wants them.
install(CODE "
  set(HV_RUN_DIR \"${CMAKE_BINARY_DIR}/run\")
  set(HV_VERSION_FILE \"${CMAKE_BINARY_DIR}/version/version.txt\")
  set(HV_CONFIGURED_VERSION \"${HV_VERSION}\")
  set(HV_PACKAGING_DIR \"${HV_PACKAGING_DIR}\")
  set(HV_STAGE_DIR \"${CMAKE_BINARY_DIR}/packaging\")
  include(\"${CMAKE_SOURCE_DIR}/cmake/packaging/InstallGenerated.cmake\")"
  COMPONENT film)

set(CPACK_PACKAGE_NAME halvane)
set(CPACK_PACKAGE_VENDOR "The Halvane authors")
set(CPACK_PACKAGE_CONTACT "Halvane maintainers <maintainers@users.noreply.c-seed-4edc3367.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "real-time audio-visual film")
# CPack puts the summary first; this is the long description after it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Halvane plays Tavrik - Quenlo, a film rendered live with OpenGL 4.3 in time
with its own music: a warehouse lit by one moving light with a cube-map
shadow, a bunch of branches swaying in a simulated wind, bloom, film grain
and credits. A setup dialog chooses the resolution, multisampling, vertical
sync and fullscreen.
.
halvane-frames renders frames of the film to PNG files without a window, and
halvane-capture records the film with its music as an MP4 video.")
set(CPACK_GENERATOR "DEB;TGZ")
set(CPACK_COMPONENTS_ALL film)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# What dpkg-shlibdeps cannot see: SDL opens libGL.so.1 at run time for the window's
# context, and Mesa's drivers (llvmpipe where there is no GPU) are loaded by the GL and
# EGL libraries; neither is a dependency of the libraries we link.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libgl1, libgl1-mesa-dri")
# Not "games": Debian puts games in /usr/games; a film sits with video.
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_VERBATIM_VARIABLES ON)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/packages)
configure_file(${CMAKE_SOURCE_DIR}/cmake/packaging/CPackOptions.cmake.in
               ${CMAKE_BINARY_DIR}/HalvaneCPackOptions.cmake @ONLY)
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_BINARY_DIR}/HalvaneCPackOptions.cmake)
include(CPack)

if(HV_BUILD_TESTS)
  add_test(NAME package_version
           COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${CMAKE_SOURCE_DIR} -P ${CMAKE_SOURCE_DIR}/tests/test_package_version.cmake)
  set_tests_properties(package_version PROPERTIES LABELS packaging)
endif()
