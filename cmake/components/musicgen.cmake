# The music generator: synthesises and mixes the film's soundtrack into a WAV file
# (scripts/make-music.sh encodes it to data/music.mp3).
if(WIN32)
  return()
endif()
add_library(hv_musicgen STATIC
  tools/musicgen/Arrangement.cpp
  tools/musicgen/Automation.cpp
  tools/musicgen/Delay.cpp
  tools/musicgen/Drums.cpp
  tools/musicgen/Envelope.cpp
  tools/musicgen/Filter.cpp
  tools/musicgen/Instruments.cpp
  tools/musicgen/Limiter.cpp
  tools/musicgen/Mixer.cpp
  tools/musicgen/Oscillator.cpp
  tools/musicgen/Pattern.cpp
  tools/musicgen/Reverb.cpp
  tools/musicgen/Song.cpp
  tools/musicgen/Synths.cpp
  tools/musicgen/WavWriter.cpp)
target_include_directories(hv_musicgen PUBLIC ${CMAKE_SOURCE_DIR}/tools)

add_executable(musicgen tools/musicgen/main.cpp)
target_link_libraries(musicgen PRIVATE hv_musicgen hv_version)

hv_add_test(test_musicgen SOURCES tests/test_musicgen.cpp LIBS hv_musicgen)
hv_add_benchmark(musicgen_benchmark SOURCES benchmarks/musicgen_benchmark.cpp LIBS hv_musicgen)
