# The shader engine: compiles shaders/* and links the named programs.
add_library(hv_shaders STATIC source/cpp/ShaderEngine.cpp source/cpp/ShaderReloader.cpp)
target_link_libraries(hv_shaders PUBLIC hv_base)

# Its expectations spell paths the POSIX way; the Windows build runs the shaders in the program.
if(WIN32)
  return()
endif()
hv_add_test(test_shaders SOURCES tests/test_shaders.cpp tests/test_shaders_render.cpp
            LIBS hv_shaders hv_vertexattributes hv_gltest)
