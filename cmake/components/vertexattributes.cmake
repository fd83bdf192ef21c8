# Vertex attribute streams and the geometry container.
add_library(hv_vertexattributes STATIC source/cpp/VertexAttributes.cpp)
target_link_libraries(hv_vertexattributes PUBLIC hv_textures hv_base)

hv_add_test(test_vertexattributes SOURCES tests/test_vertexattributes.cpp
            LIBS hv_vertexattributes hv_gltest)
