# Cross-compiling for 64-bit Windows with Debian's mingw-w64 (POSIX-threads flavour,
# so std::thread and std::mutex work) and running what was built under wine64.
#
# HV_WIN64_PREFIX (cache variable or environment) names the prefix holding the
# cross-built dependencies; it is searched before the mingw sysroot. Libraries are
# looked for only there and in the sysroot, programs only on the build machine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(HV_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${HV_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${HV_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${HV_MINGW_TRIPLET}-windres)
set(CMAKE_AR ${HV_MINGW_TRIPLET}-ar CACHE FILEPATH "")
set(CMAKE_RANLIB ${HV_MINGW_TRIPLET}-ranlib CACHE FILEPATH "")

if(NOT HV_WIN64_PREFIX AND DEFINED ENV{HV_WIN64_PREFIX})
  set(HV_WIN64_PREFIX $ENV{HV_WIN64_PREFIX})
endif()
# try_compile projects read this file again: hand the prefix on to them.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES HV_WIN64_PREFIX)

set(CMAKE_FIND_ROOT_PATH /usr/${HV_MINGW_TRIPLET})
if(HV_WIN64_PREFIX)
  list(PREPEND CMAKE_FIND_ROOT_PATH ${HV_WIN64_PREFIX})
endif()
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Static libraries first: the program is one .exe with no DLLs beside it.
set(ZLIB_USE_STATIC_LIBS ON)

# Programs built here (the tests, the track compiler) run under wine64, in the
# project's Wine prefix.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../../scripts/windows/wine.sh)
