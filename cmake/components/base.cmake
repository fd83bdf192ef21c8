# Process-wide basics: assertions, message boxes, the shared random generator.
add_library(hv_base STATIC
  source/platform/Assert.c
  source/platform/MessageBox.cpp
  source/cpp/Random.cpp
  source/cpp/Display.cpp
  source/cpp/GLError.cpp
  source/cpp/InitialGlState.cpp)
target_link_libraries(hv_base PUBLIC SDL2::SDL2 GLEW::GLEW OpenGL::OpenGL glm::glm)

# Headless GL for tests and tools.
add_library(hv_gltest STATIC tests/support/GlTestContext.cpp)
target_include_directories(hv_gltest PUBLIC ${CMAKE_SOURCE_DIR}/tests/support)
target_link_libraries(hv_gltest PUBLIC GLEW::GLEW OpenGL::OpenGL OpenGL::EGL PNG::PNG GTest::gtest)

hv_add_test(test_base SOURCES tests/test_base.cpp LIBS hv_base hv_gltest)
