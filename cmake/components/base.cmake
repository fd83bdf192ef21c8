# Process-wide basics: assertions, message boxes, the shared random generator.
add_library(hv_base STATIC
  source/platform/Assert.c
  source/cpp/Random.cpp
  source/cpp/Display.cpp
  source/cpp/GLError.cpp
  source/cpp/InitialGlState.cpp
  source/cpp/LoadTimeline.cpp
  source/platform/HugePages.cpp
  source/platform/ThreadedGl.cpp
  source/platform/RenderingProcess.cpp)
target_link_libraries(hv_base PUBLIC GLEW::GLEW OpenGL::OpenGL glm::glm)
# The message box: what every platform does, then each one's own box.
target_sources(hv_base PRIVATE source/platform/MessageBox.cpp source/platform/DataDirectory.cpp)
if(WIN32)
  target_sources(hv_base PRIVATE source/platform/win32/MessageBox.cpp source/platform/win32/Text.cpp)
  target_link_libraries(hv_base PUBLIC user32)
else()
  target_sources(hv_base PRIVATE source/platform/linux/MessageBoxSdl.cpp)
  target_link_libraries(hv_base PUBLIC SDL2::SDL2)
endif()

# Headless GL for tests, benchmarks and modelinfo (on Windows a hidden WGL window); a
# film-only build (tests and benchmarks off) goes without it and GoogleTest.
if(TARGET GTest::gtest)
add_library(hv_gltest STATIC tests/support/GlTestContext.cpp)
target_include_directories(hv_gltest PUBLIC ${CMAKE_SOURCE_DIR}/tests/support)
target_link_libraries(hv_gltest PUBLIC GLEW::GLEW OpenGL::OpenGL PNG::PNG GTest::gtest)
if(WIN32)
  target_sources(hv_gltest PRIVATE tests/support/GlTestContextWgl.cpp source/platform/win32/PixelFormat.cpp
                             source/platform/win32/HiddenWindow.cpp)
  target_link_libraries(hv_gltest PUBLIC gdi32 user32)
else()
  target_link_libraries(hv_gltest PUBLIC OpenGL::EGL)
endif()
endif()

hv_add_test(test_base SOURCES tests/test_base.cpp LIBS hv_base hv_gltest)
hv_add_test(test_load_timeline SOURCES tests/test_load_timeline.cpp LIBS hv_base)
