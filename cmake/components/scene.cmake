# The film's scene: set-up, the frame's chain of passes and the final composition.
add_library(hv_scene STATIC source/scenes/TestGeometry.cpp source/scenes/PostProc.cpp source/scenes/ProgramUniforms.cpp
                             source/scenes/ShadowRegions.cpp source/scenes/ShadowReach.cpp
                             source/scenes/EnclosingMeshes.cpp source/scenes/MeshChunks.cpp)
target_link_libraries(hv_scene PUBLIC hv_shell_lists hv_scenegraph hv_tree hv_shaders hv_vertexattributes
                                      hv_framebuffers hv_textures hv_base glm::glm GLEW::GLEW)

# Headless rendering needs EGL; the Windows build has the program alone.
if(WIN32)
  return()
endif()

# Renders frames of the film headless (EGL pbuffer, a clock we set) to PNG files.
add_library(hv_headless STATIC tools/frames/HeadlessSurface.cpp tools/frames/PngWriter.cpp)
target_include_directories(hv_headless PUBLIC ${CMAKE_SOURCE_DIR}/tools/frames)
target_link_libraries(hv_headless PUBLIC GLEW::GLEW OpenGL::OpenGL OpenGL::EGL PNG::PNG)

# The film drawn at a film time on that surface; shared by halvane-frames and halvane-capture.
add_library(hv_film_renderer STATIC tools/frames/FilmRenderer.cpp)
target_link_libraries(hv_film_renderer PUBLIC hv_shell hv_scene hv_headless)

add_executable(halvane-frames tools/frames/main.cpp tools/frames/FrameTimer.cpp)
target_link_libraries(halvane-frames PRIVATE hv_film_renderer hv_version)

hv_add_test(test_scene SOURCES tests/test_scene.cpp LIBS hv_scene hv_headless)

hv_add_test(test_film_frames SOURCES tests/test_film_frames.cpp LIBS hv_textures)
# The whole film on a debug context, a frame every half second: no GL error anywhere.
hv_add_test(test_film_gl_errors SOURCES tests/test_film_gl_errors.cpp LIBS hv_shell hv_scene hv_headless)
if(HV_BUILD_TESTS)
  add_dependencies(test_film_frames halvane-frames content)
  add_dependencies(test_film_gl_errors content)
endif()

# The whole film from the setup dialog to the end of the music, on a virtual X server.
if(HV_BUILD_TESTS)
  add_test(NAME film_plays_to_the_end
           COMMAND timeout -k 5 400 bash ${CMAKE_SOURCE_DIR}/tests/test_film_run.sh ${CMAKE_SOURCE_DIR}
                   ${CMAKE_BINARY_DIR}/run)
  set_tests_properties(film_plays_to_the_end PROPERTIES LABELS "xvfb;film" TIMEOUT 420 RESOURCE_LOCK xvfb)
endif()

# A hundred frames of the film, counting every operator new: the steady state allocates nothing.
hv_add_test(test_frame_alloc SOURCES tests/test_frame_alloc.cpp tests/support/AllocationCounter.cpp LIBS hv_shell hv_scene hv_headless)
if(HV_BUILD_TESTS AND TARGET test_frame_alloc)
  add_dependencies(test_frame_alloc content)
endif()
hv_add_test(test_shadow_regions SOURCES tests/test_shadow_regions.cpp source/scenes/ShadowRegions.cpp
            LIBS hv_framebuffers)
hv_add_test(test_enclosing_meshes SOURCES tests/test_enclosing_meshes.cpp source/scenes/EnclosingMeshes.cpp
            LIBS glm::glm)
hv_add_test(test_mesh_chunks SOURCES tests/test_mesh_chunks.cpp source/scenes/MeshChunks.cpp LIBS glm::glm)
hv_add_test(test_shadow_reach SOURCES tests/test_shadow_reach.cpp source/scenes/ShadowReach.cpp
            LIBS hv_framebuffers hv_gltest)
