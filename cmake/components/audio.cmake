# Audio output and the music clock: BASS-style calls over libmpg123 and SDL audio.
add_library(hv_audio STATIC
  source/platform/Mp3Decoder.cpp
  source/platform/AudioOutput.cpp
  source/platform/Bass.cpp
  source/cpp/Music.cpp)
target_link_libraries(hv_audio PUBLIC hv_base MPG123::MPG123 Threads::Threads)
if(WIN32)
  # The sound device through WinMM.
  target_sources(hv_audio PRIVATE source/platform/win32/AudioDevice.cpp)
  target_link_libraries(hv_audio PUBLIC winmm)
  return()
endif()
target_sources(hv_audio PRIVATE source/platform/linux/AudioDevice.cpp)
target_link_libraries(hv_audio PUBLIC SDL2::SDL2)

hv_add_test(test_audio SOURCES tests/test_audio.cpp tests/test_audio_music.cpp tests/test_audio_support.cpp
            LIBS hv_audio)
