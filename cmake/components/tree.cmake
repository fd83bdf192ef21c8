# The bunch of branches: particle chains, distance constraints, wind and tube meshes.
add_library(hv_tree STATIC
  source/cpp/Particle.cpp
  source/cpp/DistanceConstraint.cpp
  source/cpp/BranchMesh.cpp
  source/cpp/Branch.cpp
  source/cpp/Tree.cpp)
target_link_libraries(hv_tree PUBLIC hv_vertexattributes hv_base)
# Square roots inline without the errno fallback, and the per-triangle frame loop of the
# mesh rebuild vectorised; neither changes a result (no reassociation, no contraction).
target_compile_options(hv_tree PRIVATE -fno-math-errno)
set_source_files_properties(source/cpp/BranchMesh.cpp PROPERTIES
                            COMPILE_OPTIONS "-ftree-vectorize;-fvect-cost-model=dynamic")

hv_add_test(test_tree SOURCES tests/test_tree_physics.cpp tests/test_tree_wind.cpp tests/test_tree_mesh.cpp
            LIBS hv_tree hv_gltest)
# A film-length run takes well over a minute under the sanitizers: labelled "slow".
if(HV_BUILD_TESTS AND EXISTS ${CMAKE_SOURCE_DIR}/tests/test_tree_longrun.cpp)
  add_executable(test_tree_longrun tests/test_tree_longrun.cpp)
  target_link_libraries(test_tree_longrun PRIVATE hv_tree GTest::gtest GTest::gtest_main Threads::Threads)
  gtest_discover_tests(test_tree_longrun WORKING_DIRECTORY ${CMAKE_BINARY_DIR} DISCOVERY_TIMEOUT 60
                       PROPERTIES LABELS slow TIMEOUT 900)
endif()
hv_add_test(test_tree_alloc SOURCES tests/test_tree_alloc.cpp LIBS hv_tree hv_gltest)

hv_add_benchmark(tree_benchmark SOURCES benchmarks/tree_benchmark.cpp LIBS hv_tree hv_gltest)
