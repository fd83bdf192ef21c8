# The film as a video file: offscreen frames and the music encoded into one MP4 with
# FFmpeg's libraries (H.264 through x264, AAC).
if(WIN32)  # a tool for the build machine, not part of the Windows build
  return()
endif()
find_package(FFmpeg REQUIRED COMPONENTS avformat avcodec avutil swscale swresample)

add_executable(halvane-capture
  tools/capture/main.cpp
  tools/capture/AvError.cpp
  tools/capture/CaptureOptions.cpp
  tools/capture/CaptureRun.cpp
  tools/capture/FilmCapture.cpp
  tools/capture/FrameMusic.cpp
  tools/capture/FrameQueue.cpp
  tools/capture/JoinCommand.cpp
  tools/capture/JoinOptions.cpp
  tools/capture/JoinPart.cpp
  tools/capture/Mp4Writer.cpp
  tools/capture/MusicLoader.cpp
  tools/capture/OutputFile.cpp
  tools/capture/Progress.cpp
  tools/capture/Readback.cpp
  tools/capture/SpanJoin.cpp
  tools/capture/SpanTag.cpp
  tools/capture/WriterSettings.cpp)
target_link_libraries(halvane-capture PRIVATE hv_film_renderer FFmpeg::avformat FFmpeg::avcodec FFmpeg::avutil
                                              FFmpeg::swscale FFmpeg::swresample Threads::Threads hv_version)

if(HV_BUILD_TESTS)
  add_library(hv_media_decoder STATIC tests/support/MediaDecoder.cpp)
  target_include_directories(hv_media_decoder PUBLIC ${CMAKE_SOURCE_DIR}/tests/support)
  target_link_libraries(hv_media_decoder PUBLIC FFmpeg::avformat FFmpeg::avcodec FFmpeg::avutil FFmpeg::swscale)
endif()
hv_add_test(test_capture SOURCES tests/test_capture.cpp LIBS hv_media_decoder hv_audio hv_textures)
if(HV_BUILD_TESTS)
  add_dependencies(test_capture halvane-capture halvane-frames content)
endif()
hv_add_test(test_capture_tag SOURCES tests/test_capture_tag.cpp tools/capture/SpanTag.cpp)
if(HV_BUILD_TESTS)
  target_include_directories(test_capture_tag PRIVATE ${CMAKE_SOURCE_DIR}/tools/capture)
endif()
