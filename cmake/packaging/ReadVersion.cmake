# hv_read_version(OUT DEB_UPSTREAM DEB_REVISION VERSION_FILE FALLBACK): the version the
# build wrote (VERSION_FILE, rewritten on every build), else FALLBACK (the one found at
# configure time), and its Debian form. "1.0.0+gabc1234" stays as it is;
# "1.0.0+gabc1234-dirty" is upstream "1.0.0+gabc1234" with the Debian revision "dirty",
# so the changes not committed show in the package's version and its file name.
function(hv_read_version out deb_upstream deb_revision version_file fallback)
  set(version "${fallback}")
  if(version_file AND EXISTS "${version_file}")
    file(STRINGS "${version_file}" version LIMIT_COUNT 1)
  endif()
  if(NOT version MATCHES "^[0-9]")
    message(FATAL_ERROR "No version to package (read '${version}'); build the tree first")
  endif()
  string(REGEX REPLACE "-.*" "" upstream "${version}")
  set(revision "")
  if(version MATCHES "-(.+)$")
    set(revision "${CMAKE_MATCH_1}")
  endif()
  set(${out} "${version}" PARENT_SCOPE)
  set(${deb_upstream} "${upstream}" PARENT_SCOPE)
  set(${deb_revision} "${revision}" PARENT_SCOPE)
endfunction()
