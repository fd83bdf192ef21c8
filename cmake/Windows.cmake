# What the Windows build finds, in place of the Linux build's dependency list.
#
# Cross-compiled with cmake/toolchains/mingw-w64.cmake against the prefix that
# scripts/windows/build-deps.sh fills (HV_WIN64_PREFIX). Win32, WGL and WinMM take
# the place of SDL2, GTK 3, X11 and EGL; the program links statically, so
# halvane.exe needs no DLL beside it. Tests run under wine64 (the toolchain's
# CMAKE_CROSSCOMPILING_EMULATOR). The content tools are the build machine's: the
# sync tracks are compiled by the cross-built synctrack under Wine.
if(NOT HV_WIN64_PREFIX)
  message(FATAL_ERROR "The Windows build needs HV_WIN64_PREFIX (scripts/windows/build-deps.sh prints it)")
endif()
set(HV_BUILD_BENCHMARKS OFF)
set(ENV{PKG_CONFIG_LIBDIR} "${HV_WIN64_PREFIX}/lib/pkgconfig:/usr/x86_64-w64-mingw32/lib/pkgconfig")
set(ENV{PKG_CONFIG_PATH} "")
list(PREPEND CMAKE_PREFIX_PATH ${HV_WIN64_PREFIX})

set(GLEW_USE_STATIC_LIBS ON)
set(ZLIB_USE_STATIC_LIBS ON)
find_package(OpenGL REQUIRED)
find_package(GLEW REQUIRED)
find_package(glm REQUIRED)
find_package(assimp REQUIRED)
find_package(ZLIB REQUIRED)
find_package(PNG REQUIRED)
find_package(MPG123 REQUIRED)
# Static libmpg123 resolves file paths with the shell's path helpers.
set_property(TARGET PkgConfig::MPG123 APPEND PROPERTY INTERFACE_LINK_LIBRARIES shlwapi)
# Static Assimp names its archive reader (minizip, from pkg-config) without a path.
link_directories(${HV_WIN64_PREFIX}/lib)

# GLEW is the static archive: its users must not look for a DLL's import stubs.
set_property(TARGET GLEW::GLEW APPEND PROPERTY INTERFACE_COMPILE_DEFINITIONS GLEW_STATIC)

# The components name the GL library as GLVND's target; on Windows it is opengl32.
if(NOT TARGET OpenGL::OpenGL)
  add_library(OpenGL::OpenGL ALIAS OpenGL::GL)
endif()

# One standalone .exe: the C and C++ runtimes and winpthreads go inside it.
add_link_options(-static -static-libgcc -static-libstdc++)
# Windows headers: no min/max macros, the lean set, and Windows 7 as the oldest target.
add_compile_definitions(NOMINMAX WIN32_LEAN_AND_MEAN _WIN32_WINNT=0x0601)
