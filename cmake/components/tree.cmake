# The bunch of branches: particle chains, distance constraints, wind and tube meshes.
add_library(hv_tree STATIC
  source/cpp/Particle.cpp
  source/cpp/DistanceConstraint.cpp
  source/cpp/BranchMesh.cpp
  source/cpp/Branch.cpp
  source/cpp/Tree.cpp
  source/cpp/BranchMotion.cpp)
target_link_libraries(hv_tree PUBLIC hv_vertexattributes hv_base)
# Square roots inline without the errno fallback, and the per-triangle frame loop of the
# mesh rebuild vectorised; neither changes a result (no reassociation, and the baseline
# x86-64 target has no fused multiply-add to contract into).
target_compile_options(hv_tree PRIVATE -fno-math-errno)
set_source_files_properties(source/cpp/BranchMesh.cpp PROPERTIES
                            COMPILE_OPTIONS "-ftree-vectorize;-fvect-cost-model=dynamic")

hv_add_test(test_tree SOURCES tests/test_tree_physics.cpp tests/test_tree_wind.cpp tests/test_tree_mesh.cpp
            LIBS hv_tree hv_gltest)
# The film-length run takes ~8 s under the sanitizers (RelWithDebInfo): not labelled slow.
hv_add_test(test_tree_longrun SOURCES tests/test_tree_longrun.cpp LIBS hv_tree)
hv_add_test(test_branch_motion SOURCES tests/test_branch_motion.cpp LIBS hv_tree)
hv_add_test(test_tree_alloc SOURCES tests/test_tree_alloc.cpp tests/support/AllocationCounter.cpp LIBS hv_tree hv_gltest)

hv_add_benchmark(tree_benchmark SOURCES benchmarks/tree_benchmark.cpp LIBS hv_tree hv_gltest)
