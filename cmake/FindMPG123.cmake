# libmpg123 through pkg-config; defines the imported target MPG123::MPG123.
find_package(PkgConfig REQUIRED)
pkg_check_modules(MPG123 QUIET IMPORTED_TARGET libmpg123)
include(FindPackageHandleStandardArgs)
find_package_handle_standard_args(MPG123 REQUIRED_VARS MPG123_LIBRARIES VERSION_VAR MPG123_VERSION)
if(MPG123_FOUND AND NOT TARGET MPG123::MPG123)
  add_library(MPG123::MPG123 ALIAS PkgConfig::MPG123)
endif()
