# The shader engine: compiles shaders/* and links the named programs.
add_library(hv_shaders STATIC source/cpp/ShaderEngine.cpp source/cpp/ShaderReloader.cpp)
target_link_libraries(hv_shaders PUBLIC hv_base)

hv_add_test(test_shaders SOURCES tests/test_shaders.cpp tests/test_shaders_render.cpp
            LIBS hv_shaders hv_vertexattributes hv_gltest)
