# The bunch of branches: particle chains, distance constraints, wind and tube meshes.
add_library(hv_tree STATIC
  source/cpp/Particle.cpp
  source/cpp/DistanceConstraint.cpp
  source/cpp/BranchMesh.cpp
  source/cpp/Branch.cpp
  source/cpp/Tree.cpp)
target_link_libraries(hv_tree PUBLIC hv_vertexattributes hv_base)
# Square roots inline without the errno fallback; results are unchanged.
target_compile_options(hv_tree PRIVATE -fno-math-errno)

hv_add_test(test_tree SOURCES tests/test_tree_physics.cpp tests/test_tree_wind.cpp tests/test_tree_mesh.cpp
            LIBS hv_tree hv_gltest)
hv_add_test(test_tree_longrun SOURCES tests/test_tree_longrun.cpp LIBS hv_tree hv_gltest)
hv_add_test(test_tree_alloc SOURCES tests/test_tree_alloc.cpp LIBS hv_tree hv_gltest)

hv_add_benchmark(tree_benchmark SOURCES benchmarks/tree_benchmark.cpp LIBS hv_tree hv_gltest)
