# GTK 3 through pkg-config; defines the imported target GTK3::GTK3.
find_package(PkgConfig REQUIRED)
pkg_check_modules(GTK3 QUIET IMPORTED_TARGET gtk+-3.0)
include(FindPackageHandleStandardArgs)
find_package_handle_standard_args(GTK3 REQUIRED_VARS GTK3_LIBRARIES VERSION_VAR GTK3_VERSION)
if(GTK3_FOUND AND NOT TARGET GTK3::GTK3)
  add_library(GTK3::GTK3 ALIAS PkgConfig::GTK3)
endif()
