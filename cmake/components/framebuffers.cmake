# Off-screen render targets: G-buffer, colour targets, blur pyramid, shadow cube map.
add_library(hv_framebuffers STATIC
  source/cpp/IFbo.cpp
  source/cpp/FboNoDepth.cpp
  source/cpp/FboMipmap.cpp
  source/cpp/GBuffer.cpp
  source/cpp/FboDepthOnlyCubeMap.cpp)
target_link_libraries(hv_framebuffers PUBLIC GLEW::GLEW glm::glm hv_base)

hv_add_test(test_framebuffers SOURCES tests/test_framebuffers.cpp tests/test_framebuffers_cube.cpp
            LIBS hv_framebuffers hv_gltest)
