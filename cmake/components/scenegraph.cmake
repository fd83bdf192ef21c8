# Scene graph (nodes, visitors, the shadowed point light) and the model import.
add_library(hv_scenegraph STATIC
  source/cpp/Node.cpp
  source/cpp/GeometryNode.cpp
  source/cpp/Graph.cpp
  source/cpp/CollectorVisitor.cpp
  source/cpp/RenderVisitor.cpp
  source/cpp/PointLightShadow.cpp
  source/h/ResourceManager.cpp
  source/h/ModelPrecheck.cpp)
target_link_libraries(hv_scenegraph PUBLIC hv_vertexattributes hv_framebuffers assimp::assimp hv_base Threads::Threads)

# Prints an imported model's scene graph as JSON (through the tests' headless GL helper).
if(TARGET hv_gltest)
  add_executable(modelinfo tools/modelinfo/main.cpp tools/modelinfo/GraphJson.cpp)
  target_include_directories(modelinfo PRIVATE ${CMAKE_SOURCE_DIR}/tools/modelinfo)
  target_link_libraries(modelinfo PRIVATE hv_scenegraph hv_gltest hv_version)
endif()

hv_add_test(test_scenegraph SOURCES tests/test_scenegraph_nodes.cpp tests/test_scenegraph_visitors.cpp
            tests/test_scenegraph_light.cpp LIBS hv_scenegraph hv_gltest)
hv_add_test(test_scenegraph_import SOURCES tests/test_scenegraph_import.cpp tests/test_scenegraph_meshes.cpp
            LIBS hv_scenegraph hv_gltest)
hv_add_test(test_scenegraph_modelinfo SOURCES tests/test_scenegraph_modelinfo.cpp
            tools/modelinfo/GraphJson.cpp LIBS hv_scenegraph hv_gltest)
if(TARGET test_scenegraph_modelinfo)
  target_include_directories(test_scenegraph_modelinfo PRIVATE ${CMAKE_SOURCE_DIR}/tools/modelinfo)
  target_compile_definitions(test_scenegraph_modelinfo PRIVATE HV_MODELINFO="$<TARGET_FILE:modelinfo>")
  add_dependencies(test_scenegraph_modelinfo modelinfo)
endif()

hv_add_benchmark(import_benchmark SOURCES benchmarks/import_benchmark.cpp LIBS hv_scenegraph hv_gltest)
