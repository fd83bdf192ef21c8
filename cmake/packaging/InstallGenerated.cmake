# Run at install time (cmake_install.cmake, and so by CPack): installs the compiled sync
# tracks and the files that carry the version. Expects HV_RUN_DIR, HV_VERSION_FILE,
# HV_CONFIGURED_VERSION, HV_PACKAGING_DIR and HV_STAGE_DIR.
include(${CMAKE_CURRENT_LIST_DIR}/ReadVersion.cmake)
hv_read_version(version deb_upstream deb_revision "${HV_VERSION_FILE}" "${HV_CONFIGURED_VERSION}")

file(GLOB tracks ${HV_RUN_DIR}/sync_*.track)
if(NOT tracks)
  message(FATAL_ERROR "No compiled sync tracks in ${HV_RUN_DIR}: build the content target first")
endif()
file(INSTALL DESTINATION "${CMAKE_INSTALL_PREFIX}/share/halvane" TYPE FILE FILES ${tracks})

# gzip -n: no name or time stamp, so the same input packs the same.
function(hv_gzip_configured source output)
  configure_file(${source} ${output} @ONLY)
  execute_process(COMMAND gzip -9nf ${output} RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "gzip failed on ${output}")
  endif()
endfunction()

file(REMOVE_RECURSE ${HV_STAGE_DIR})
file(MAKE_DIRECTORY ${HV_STAGE_DIR})
set(HV_VERSION "${version}")
if(deb_revision)
  set(HV_DEB_VERSION "${deb_upstream}-${deb_revision}")
else()
  set(HV_DEB_VERSION "${deb_upstream}")
endif()
hv_gzip_configured(${HV_PACKAGING_DIR}/halvane.6 ${HV_STAGE_DIR}/halvane.6)
hv_gzip_configured(${HV_PACKAGING_DIR}/halvane-frames.1 ${HV_STAGE_DIR}/halvane-frames.1)
hv_gzip_configured(${HV_PACKAGING_DIR}/halvane-capture.1 ${HV_STAGE_DIR}/halvane-capture.1)
# A version without a Debian revision is a native package, whose changelog is changelog.gz;
# a "-dirty" one has a revision, and Debian then names it changelog.Debian.gz.
set(changelog changelog)
if(deb_revision)
  set(changelog changelog.Debian)
endif()
hv_gzip_configured(${HV_PACKAGING_DIR}/changelog.Debian.in ${HV_STAGE_DIR}/${changelog})
file(INSTALL DESTINATION "${CMAKE_INSTALL_PREFIX}/share/man/man6" TYPE FILE FILES ${HV_STAGE_DIR}/halvane.6.gz)
file(INSTALL DESTINATION "${CMAKE_INSTALL_PREFIX}/share/man/man1" TYPE FILE
     FILES ${HV_STAGE_DIR}/halvane-frames.1.gz ${HV_STAGE_DIR}/halvane-capture.1.gz)
file(INSTALL DESTINATION "${CMAKE_INSTALL_PREFIX}/share/doc/halvane" TYPE FILE FILES ${HV_STAGE_DIR}/${changelog}.gz)
