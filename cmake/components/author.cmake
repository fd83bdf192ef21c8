# halvane-author: the film with a transport, live reload and an overlay, for its authors.
if(WIN32)  # a tool for the build machine, not part of the Windows build
  return()
endif()
add_library(hv_author STATIC tools/author/Transport.cpp tools/author/BunchPath.cpp tools/author/MotionSnapshots.cpp
                             tools/author/LiveTimeline.cpp
                             tools/author/Options.cpp)
target_include_directories(hv_author PUBLIC ${CMAKE_SOURCE_DIR}/tools/author)
target_link_libraries(hv_author PUBLIC hv_shell hv_tree hv_synctrack hv_sync Threads::Threads)

add_executable(halvane-author tools/author/main.cpp tools/author/AuthorSession.cpp tools/author/FileWatcher.cpp
                              tools/author/Overlay.cpp)
target_link_libraries(halvane-author PRIVATE hv_author hv_shell hv_scene hv_arttext hv_version)

# The tool on a virtual X server, driven by keys and by edits to a copy of the film.
if(HV_BUILD_TESTS)
  foreach(scenario transport seek-frame timeline shader texture bad-start)
    add_test(NAME author_${scenario}
             COMMAND timeout -k 5 400 xvfb-run -a -s "-screen 0 640x400x24"
                     bash ${CMAKE_SOURCE_DIR}/tests/test_author.sh $<TARGET_FILE:halvane-author>
                     $<TARGET_FILE:halvane-frames> ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR}/run ${scenario})
    set_tests_properties(author_${scenario} PROPERTIES LABELS "xvfb;author" TIMEOUT 420 RESOURCE_LOCK xvfb)
  endforeach()
endif()

hv_add_test(test_author SOURCES tests/test_author_motion.cpp tests/test_author_transport.cpp tests/test_author_live.cpp
            LIBS hv_author)
hv_add_benchmark(author_seek_benchmark SOURCES benchmarks/author_seek_benchmark.cpp LIBS hv_author hv_gltest)
if(TARGET author_seek_benchmark)
  target_compile_definitions(author_seek_benchmark PRIVATE HV_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
endif()
hv_add_test(test_shader_reload SOURCES tests/test_shader_reload.cpp LIBS hv_shaders hv_gltest)
