# The film's content: generators for textures, the warehouse model, the credits image and
# the timeline contact sheet, and the `content` target that assembles build/run.

# The generators run on the build machine only; the Windows build takes their output.
if(NOT WIN32)
add_library(hv_artpng STATIC tools/texturegen/PngWriter.cpp)
target_include_directories(hv_artpng PUBLIC ${CMAKE_SOURCE_DIR}/tools/texturegen)
target_link_libraries(hv_artpng PUBLIC PNG::PNG)

add_executable(texturegen tools/texturegen/main.cpp tools/texturegen/MaterialBake.cpp
                          tools/texturegen/Materials.cpp tools/texturegen/Noise.cpp)
target_link_libraries(texturegen PRIVATE hv_artpng hv_version)

add_executable(warehousegen tools/warehousegen/main.cpp tools/warehousegen/MeshBuilder.cpp
                            tools/warehousegen/Warehouse.cpp tools/warehousegen/ColladaWriter.cpp)
target_link_libraries(warehousegen PRIVATE glm::glm hv_version)

add_library(hv_arttext STATIC tools/creditsgen/TextRenderer.cpp)
target_include_directories(hv_arttext PUBLIC ${CMAKE_SOURCE_DIR}/tools/creditsgen)
target_link_libraries(hv_arttext PUBLIC hv_artpng Freetype::Freetype)

add_executable(creditsgen tools/creditsgen/main.cpp)
target_link_libraries(creditsgen PRIVATE hv_arttext hv_version)

add_executable(contactsheet tools/contactsheet/main.cpp tools/contactsheet/Canvas.cpp tools/contactsheet/PngRead.cpp
                            tools/contactsheet/TimelinePlot.cpp tools/contactsheet/TextureGrid.cpp)
target_link_libraries(contactsheet PRIVATE hv_arttext hv_synctrack hv_sync hv_version)

hv_add_test(test_content SOURCES tests/test_content_support.cpp tests/test_content_model.cpp
            tests/test_content_tracks.cpp tests/test_content_regen.cpp tests/test_content_generators.cpp
            tools/texturegen/MaterialBake.cpp tools/texturegen/Noise.cpp tools/warehousegen/MeshBuilder.cpp
            LIBS hv_scenegraph hv_textures hv_sync hv_gltest hv_artpng)
if(TARGET test_content)
  target_include_directories(test_content PRIVATE ${CMAKE_SOURCE_DIR}/tools/warehousegen)
  target_compile_definitions(test_content PRIVATE HV_TEXTUREGEN="$<TARGET_FILE:texturegen>"
                             HV_WAREHOUSEGEN="$<TARGET_FILE:warehousegen>" HV_CREDITSGEN="$<TARGET_FILE:creditsgen>"
                             HV_CONTACTSHEET="$<TARGET_FILE:contactsheet>")
  target_include_directories(test_content PRIVATE ${CMAKE_SOURCE_DIR}/tests)
endif()
endif()

# build/run: a complete working directory for the film. The data and shader trees are
# copied fresh (stale files would otherwise show up in the texture scan), and the
# timeline is compiled into the sync_<name>.track files the program reads.
set(HV_RUN_DIR ${CMAKE_BINARY_DIR}/run)
set(HV_TIMELINE ${CMAKE_SOURCE_DIR}/timeline/halvane.timeline)
file(GLOB_RECURSE HV_CONTENT_FILES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/data/* ${CMAKE_SOURCE_DIR}/shaders/*)
add_custom_command(
  OUTPUT ${CMAKE_BINARY_DIR}/content/data.stamp
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${HV_RUN_DIR}/data ${HV_RUN_DIR}/shaders
  COMMAND ${CMAKE_COMMAND} -E make_directory ${HV_RUN_DIR}/data ${HV_RUN_DIR}/shaders ${CMAKE_BINARY_DIR}/content
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${CMAKE_SOURCE_DIR}/data ${HV_RUN_DIR}/data
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${CMAKE_SOURCE_DIR}/shaders ${HV_RUN_DIR}/shaders
  COMMAND ${CMAKE_COMMAND} -E touch ${CMAKE_BINARY_DIR}/content/data.stamp
  DEPENDS ${HV_CONTENT_FILES}
  COMMENT "Copying data and shaders into ${HV_RUN_DIR}")

# The track compiler belongs to the sync component, whose fragment may be read after this
# one: decide at the end of configuration whether it exists.
function(hv_content_finish)
  set(outputs ${CMAKE_BINARY_DIR}/content/data.stamp)
  if(TARGET synctrack)
    add_custom_command(
      OUTPUT ${CMAKE_BINARY_DIR}/content/tracks.stamp
      COMMAND ${CMAKE_COMMAND} -E make_directory ${HV_RUN_DIR} ${CMAKE_BINARY_DIR}/content
      COMMAND ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:synctrack> compile ${HV_TIMELINE} ${HV_RUN_DIR}
      COMMAND ${CMAKE_COMMAND} -E touch ${CMAKE_BINARY_DIR}/content/tracks.stamp
      DEPENDS synctrack ${HV_TIMELINE}
      COMMENT "Compiling the timeline into ${HV_RUN_DIR}/sync_*.track")
    list(APPEND outputs ${CMAKE_BINARY_DIR}/content/tracks.stamp)
  else()
    message(WARNING "content: no synctrack target; build/run gets no sync tracks")
  endif()
  add_custom_target(content ALL DEPENDS ${outputs})
  if(TARGET test_content)
    add_dependencies(test_content texturegen warehousegen creditsgen contactsheet)
    if(TARGET synctrack)
      add_dependencies(test_content synctrack)
      target_compile_definitions(test_content PRIVATE HV_SYNCTRACK="$<TARGET_FILE:synctrack>")
    else()
      target_compile_definitions(test_content PRIVATE HV_SYNCTRACK="synctrack-missing")
    endif()
  endif()
endfunction()
cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL hv_content_finish)

hv_add_test(test_content_music SOURCES tests/test_content_music.cpp LIBS hv_audio hv_sync)
if(TARGET test_content_music)
  add_dependencies(test_content_music content)
endif()
