# The film's content: generators for textures, the warehouse model, the credits image and
# the timeline contact sheet, and the `content` target that assembles build/run.

add_library(hv_artpng STATIC tools/texturegen/PngWriter.cpp)
target_include_directories(hv_artpng PUBLIC ${CMAKE_SOURCE_DIR}/tools/texturegen)
target_link_libraries(hv_artpng PUBLIC PNG::PNG)

add_executable(texturegen tools/texturegen/main.cpp tools/texturegen/MaterialBake.cpp
                          tools/texturegen/Materials.cpp tools/texturegen/Noise.cpp)
target_link_libraries(texturegen PRIVATE hv_artpng)

add_executable(warehousegen tools/warehousegen/main.cpp tools/warehousegen/MeshBuilder.cpp
                            tools/warehousegen/Warehouse.cpp tools/warehousegen/ColladaWriter.cpp)
target_link_libraries(warehousegen PRIVATE glm::glm)

add_library(hv_arttext STATIC tools/creditsgen/TextRenderer.cpp)
target_include_directories(hv_arttext PUBLIC ${CMAKE_SOURCE_DIR}/tools/creditsgen)
target_link_libraries(hv_arttext PUBLIC hv_artpng Freetype::Freetype)

add_executable(creditsgen tools/creditsgen/main.cpp)
target_link_libraries(creditsgen PRIVATE hv_arttext)

add_executable(contactsheet tools/contactsheet/main.cpp tools/contactsheet/Canvas.cpp tools/contactsheet/PngRead.cpp
                            tools/contactsheet/TimelinePlot.cpp tools/contactsheet/TextureGrid.cpp)
target_link_libraries(contactsheet PRIVATE hv_arttext hv_synctrack hv_sync)
