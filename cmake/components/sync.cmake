# The sync library (plain C) and the track tool.
add_library(hv_sync STATIC source/sync/data.c source/sync/track.c)
target_link_libraries(hv_sync PUBLIC hv_base m)

add_library(hv_synctrack STATIC tools/synctrack/Timeline.cpp tools/synctrack/TrackFile.cpp)
target_include_directories(hv_synctrack PUBLIC ${CMAKE_SOURCE_DIR}/tools/synctrack)

add_executable(synctrack tools/synctrack/main.cpp)
target_link_libraries(synctrack PRIVATE hv_synctrack hv_sync hv_version)

hv_add_test(test_sync SOURCES tests/test_sync.cpp tests/test_sync_tool.cpp LIBS hv_sync hv_synctrack)
if(HV_BUILD_TESTS)
  add_dependencies(test_sync synctrack)
endif()
hv_add_benchmark(sync_benchmark SOURCES benchmarks/sync_benchmark.cpp LIBS hv_sync)
