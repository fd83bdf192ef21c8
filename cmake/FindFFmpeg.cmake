# FFmpeg's libraries through pkg-config; defines FFmpeg::<component> for each component
# asked for (avformat, avcodec, avutil, swscale, swresample, ...).
find_package(PkgConfig REQUIRED)
set(_ffmpeg_required "")
foreach(_component ${FFmpeg_FIND_COMPONENTS})
  pkg_check_modules(FFmpeg_${_component} QUIET IMPORTED_TARGET lib${_component})
  list(APPEND _ffmpeg_required FFmpeg_${_component}_FOUND)
  if(FFmpeg_${_component}_FOUND AND NOT TARGET FFmpeg::${_component})
    add_library(FFmpeg::${_component} ALIAS PkgConfig::FFmpeg_${_component})
  endif()
endforeach()
include(FindPackageHandleStandardArgs)
find_package_handle_standard_args(FFmpeg REQUIRED_VARS ${_ffmpeg_required})
