# halvane-author: the film with a transport, live reload and an overlay, for its authors.
add_library(hv_author STATIC tools/author/Transport.cpp tools/author/BunchPath.cpp tools/author/MotionSnapshots.cpp
                             tools/author/Options.cpp)
target_include_directories(hv_author PUBLIC ${CMAKE_SOURCE_DIR}/tools/author)
target_link_libraries(hv_author PUBLIC hv_tree hv_synctrack hv_sync Threads::Threads)

add_executable(halvane-author tools/author/main.cpp tools/author/AuthorSession.cpp tools/author/FileWatcher.cpp
                              tools/author/LiveTimeline.cpp tools/author/Overlay.cpp)
target_link_libraries(halvane-author PRIVATE hv_author hv_shell hv_scene hv_arttext)
