# Textures, timer queries and the PNG reader.
add_library(hv_textures STATIC
  source/GLwrappers/Texture.cpp
  source/GLwrappers/PngReader.cpp
  source/GLwrappers/PngPrefetch.cpp)
target_link_libraries(hv_textures PUBLIC PNG::PNG ZLIB::ZLIB GLEW::GLEW hv_base Threads::Threads)

hv_add_test(test_textures SOURCES tests/test_textures.cpp tests/test_textures_png.cpp
            LIBS hv_textures hv_gltest)
