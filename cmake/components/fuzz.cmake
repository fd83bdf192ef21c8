# Fuzz checks for every loader of content the film reads (track files, PNG images, the
# timeline text, the COLLADA model); the regression test that replays the inputs they
# once failed on; and, with clang and -DHV_FUZZ=ON, one libFuzzer target per check.
# The fuzz build is a tree of its own (scripts/fuzz.sh): every library in it is
# instrumented for coverage, AddressSanitizer and UndefinedBehaviorSanitizer.
if(WIN32)  # the fuzz checks and their regression test run in the Linux build
  return()
endif()
option(HV_FUZZ "Build the libFuzzer targets (needs clang)" OFF)

if(HV_FUZZ)
  if(NOT CMAKE_C_COMPILER_ID MATCHES "Clang" OR NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(WARNING "HV_FUZZ needs clang (CC=clang CXX=clang++): the fuzz targets are not built")
    set(HV_FUZZ OFF)
  else()
    # Compiler flags apply to every target of the directory, including the libraries
    # other fragments define, which is what coverage feedback needs.
    set(_hv_fuzz_flags "-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer")
    string(APPEND CMAKE_C_FLAGS " ${_hv_fuzz_flags}")
    string(APPEND CMAKE_CXX_FLAGS " ${_hv_fuzz_flags}")
    string(APPEND CMAKE_EXE_LINKER_FLAGS " -fsanitize=address,undefined")
  endif()
endif()

add_library(hv_fuzzchecks STATIC fuzz/TrackCheck.cpp fuzz/PngCheck.cpp fuzz/TimelineCheck.cpp
            fuzz/ModelCheck.cpp fuzz/GlStubs.cpp fuzz/ScratchFile.cpp)
target_include_directories(hv_fuzzchecks PUBLIC ${CMAKE_SOURCE_DIR}/fuzz)
target_link_libraries(hv_fuzzchecks PUBLIC hv_sync hv_synctrack hv_textures hv_scenegraph)

hv_add_test(test_fuzz_inputs SOURCES tests/test_fuzz_inputs.cpp LIBS hv_fuzzchecks)

if(HV_FUZZ)
  foreach(_kind track png timeline model)
    string(SUBSTRING ${_kind} 0 1 _first)
    string(TOUPPER ${_first} _first)
    string(SUBSTRING ${_kind} 1 -1 _rest)
    set(_check "check${_first}${_rest}File")
    if(_kind STREQUAL "timeline")
      set(_check "checkTimelineText")
    endif()
    add_executable(fuzz_${_kind} fuzz/FuzzEntry.cpp)
    target_compile_definitions(fuzz_${_kind} PRIVATE HV_FUZZ_CHECK=${_check} HV_FUZZ_NAME="fuzz_${_kind}")
    target_link_libraries(fuzz_${_kind} PRIVATE hv_fuzzchecks)
    target_link_options(fuzz_${_kind} PRIVATE -fsanitize=fuzzer)
  endforeach()

  # Seeds: the warehouse cut down to one box per material.
  add_executable(fuzz_model_seed fuzz/ModelSeed.cpp tools/warehousegen/MeshBuilder.cpp
                 tools/warehousegen/Warehouse.cpp tools/warehousegen/ColladaWriter.cpp)
  target_include_directories(fuzz_model_seed PRIVATE ${CMAKE_SOURCE_DIR}/tools/warehousegen)
  target_link_libraries(fuzz_model_seed PRIVATE glm::glm)

  add_custom_target(fuzzers DEPENDS fuzz_track fuzz_png fuzz_timeline fuzz_model fuzz_model_seed synctrack)
endif()
