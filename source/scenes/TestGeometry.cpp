#include "scenes/TestGeometry.h"

#include "GLwrappers/PngPrefetch.h"
#include "GLwrappers/PngReader.h"
#include "GLwrappers/Texture.h"
#include "cpp/Display.h"
#include "cpp/FboDepthOnlyCubeMap.h"
#include "cpp/GBuffer.h"
#include "cpp/Graph.h"
#include "cpp/GroupNode.h"
#include "cpp/IShadowedPointLight.h"
#include "cpp/LoadTimeline.h"
#include "cpp/RenderVisitor.h"
#include "cpp/ShaderEngine.h"
#include "cpp/TrackReader.h"
#include "cpp/Tree.h"
#include "h/ResourceManager.h"
#include "platform/Assert.h"

#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

namespace fs = std::filesystem;

namespace {

const char* const kSource = "source\\scenes\\testgeometry";

// Paths are written with the platform's separator.
const std::string kModelDirectory = std::string("data") + char(fs::path::preferred_separator) + "Collada2";
const std::string kModelFile =
    kModelDirectory + char(fs::path::preferred_separator) + "warehouse_BR12.dae";
const std::string kCreditsFile = std::string(".") + char(fs::path::preferred_separator) + "data" +
                                 char(fs::path::preferred_separator) + "credits.png";

// Only 8-bit RGB and RGBA images carry the bytes a GL_RGB/GL_RGBA upload reads; any
// other layout (grey, palette, 16-bit) would make GL read past the pixel data.
std::unique_ptr<gl::Texture2D> textureFromPng(const std::string& path, PngPrefetch* decoded = nullptr) {
    std::unique_ptr<PngImage> image;
    if (decoded)
        image = decoded->take(path);
    else
        read_png_file(image, path.c_str());
    const GLint format = image->bitsPerPixel == 24 ? GL_RGB : GL_RGBA;
    const size_t channels = format == GL_RGB ? 3 : 4;
    const size_t expected = static_cast<size_t>(image->width) * static_cast<size_t>(image->height) * channels;
    if ((image->bitsPerPixel != 24 && image->bitsPerPixel != 32) || image->pixels.size() != expected) {
        throw std::runtime_error("[read_png_file] File " + path + " is not an 8-bit RGB or RGBA image");
    }
    auto texture = std::make_unique<gl::Texture2D>(image->width, image->height, format, true);
    texture->upload(image->pixels);
    return texture;
}

std::string forwardSlashes(std::string path) {
    for (char& c : path)
        if (c == '\\') c = '/';
    return path;
}

// The PNG files loadTextures() will find, named as it names them.
std::vector<std::string> pngFilesIn(const std::string& directory) {
    std::vector<std::string> paths;
    std::error_code error;
    for (fs::directory_iterator entry(directory, error), end; !error && entry != end; entry.increment(error))
        if (entry->path().extension().string() == ".png") paths.push_back(forwardSlashes(entry->path().string()));
    return paths;
}

}  // namespace

const std::vector<std::string>& TestGeometry::parameterNames() {
    static const std::vector<std::string> names = {
        "ts.eyepos.x", "ts.eyepos.y", "ts.eyepos.z", "ts.tarpos.x", "ts.tarpos.y",  "ts.tarpos.z",
        "up.x",        "up.y",        "up.z",        "ts.blinnexp", "bunchpos.x",   "bunchpos.y",
        "bunchpos.z",  "lightP_Off.x", "lightP_Off.y", "lightP_Off.z", "atten_exp", "light_intens",
        "mpos.x",      "mpos.y",      "mpos.z",      "credits"};
    return names;
}

TestGeometry::TestGeometry()
    : _fbo1(screenWidth, screenHeight), _fbo2(screenWidth, screenHeight), _bright(1024, 1024), _overlay(GL_POINTS) {
    // Decoding needs no GL: it runs while the targets are made and the model is read.
    std::vector<std::string> images = pngFilesIn(forwardSlashes(kModelDirectory));
    images.push_back(kCreditsFile);
    PngPrefetch decoded(std::move(images));
    auto modelRead = ResourceManager::readInBackground(kModelFile);

    _gpuPath = currentGpuPath();
    // Set by the window's initial state; the frame clears with it without asking GL each time.
    glGetFloatv(GL_COLOR_CLEAR_VALUE, _clearColour);
    _fbo1.init();
    _fbo2.init();
    _bright.init();
    LoadTimeline& timeline = LoadTimeline::instance();
    timeline.mark("image targets");

    _shadowMap = std::make_shared<FboDepthOnlyCubeMap>(2048, 2048);
    if (!_shadowMap->init()) throw std::runtime_error("Failed to init FBO.");
    timeline.mark("shadow cube");

    ResourceManager* resources = ResourceManager::create();

    for (int i = 0; i < 2; ++i) {
        auto chain = std::make_unique<FboMipmap>(512);
        chain->init();
        _blurChains.push_back(std::move(chain));
    }

    _tree = new Tree(glm::dvec3(0.0));
    _motion = std::make_unique<BranchMotion>(*_tree);

    createQuad();
    timeline.mark("bloom targets, branches");

    _model = resources->loadGraph(kModelFile, std::move(modelRead));
    // The import has already said why; every frame needs the model and its light.
    if (!_model) std::exit(1);
    collectMeshes();
    timeline.mark("model import");

    const std::string resourcePath = forwardSlashes(kModelDirectory);
    for (auto& light : _model->getLights()) {
        light->setShadowMap(_shadowMap);
        light->setShadowFlag(true);
    }
    std::error_code error;
    if (!fs::is_directory(resourcePath, error)) throw std::runtime_error("Failed to find resource path");
    loadTextures(resourcePath, decoded);
    timeline.mark("model textures");

    for (const std::string& name : parameterNames()) registerTrack(name);

    HV_ASSERT_AT(ShaderEngine::create()->getProgram("geometryPass", _program),
                 "ShaderEngine::create()->getProgram(\"geometryPass\", _program)", kSource, 142);
    HV_ASSERT_AT(ShaderEngine::create()->getProgram("lighting", _lightingPass),
                 "ShaderEngine::create()->getProgram(\"lighting\", _lightingPass)", kSource, 143);
    HV_ASSERT_AT(ShaderEngine::create()->getProgram("hblur", _hBlur),
                 "ShaderEngine::create()->getProgram(\"hblur\", _hBlur)", kSource, 144);
    HV_ASSERT_AT(ShaderEngine::create()->getProgram("vblur", _vBlur),
                 "ShaderEngine::create()->getProgram(\"vblur\", _vBlur)", kSource, 145);
    HV_ASSERT_AT(ShaderEngine::create()->getProgram("brightPass", _brightPass),
                 "ShaderEngine::create()->getProgram(\"brightPass\", _brightPass)", kSource, 146);

    timeline.mark("shaders");
    glUseProgram(_program);
    _modelViewLocation = glGetUniformLocation(_program, "modelView");
    _projectionLocation = glGetUniformLocation(_program, "projection");
    useProjectionFor(screenWidth, screenHeight);

    _textures["credits"] = textureFromPng(kCreditsFile, &decoded);
    timeline.mark("credits image");

    auto point = std::make_shared<Attribute<glm::vec3>>();
    point->data()->push_back(glm::vec3(0.0f));
    _overlay.setAttribute(point, 0);
    _overlay.create();

    GLuint progHandle = 0;
    HV_ASSERT_AT(ShaderEngine::create()->getProgram("postproc", progHandle),
                 "ShaderEngine::create()->getProgram(\"postproc\", progHandle)", kSource, 171);
    _postProc.setVao(_quadVao);
    _postProc.setProgram(progHandle);
    _postProc.registerUniform("texFbo1");
    _postProc.setUniform("texFbo1", 0);
    _postProc.registerUniform("texFbo2");
    _postProc.setUniform("texFbo2", 1);
    _postProc.registerUniform("texNoise");
    _postProc.setUniform("texNoise", 2);
    _postProc.registerUniform("noiseOffset");
    _postProc.setUniform("noiseOffset", glm::vec2(0.0f));
    _postProc.registerUniform("time");
    _postProc.setUniform("time", 0.0f);
    _postProc.createNoiseTexture();

    for (FboNoDepth* target : {&_fbo1, &_fbo2, &_bright}) {
        target->bindForWriting();
        glClear(GL_COLOR_BUFFER_BIT);
    }
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    // Leave the window's viewport as the context set it, not the last target's.
    glViewport(0, 0, screenWidth, screenHeight);
    timeline.mark("post-processing set-up");
}

TestGeometry::~TestGeometry() {
    glDeleteBuffers(1, &_quadVbo);
    glDeleteVertexArrays(1, &_quadVao);
}

void TestGeometry::useProjection(const glm::mat4& projection) {
    setProjection(projection);
    glUseProgram(_program);
    glUniformMatrix4fv(_projectionLocation, 1, GL_FALSE, glm::value_ptr(_projection));
}

bool TestGeometry::disablePass(const std::string& pass) {
    bool* flag = pass == "tree"      ? &_drawTree
                 : pass == "shadow"  ? &_castShadows
                 : pass == "credits" ? &_drawCredits
                 : pass == "bloom"   ? &_addBloom
                                     : nullptr;
    if (flag) *flag = false;
    return flag != nullptr;
}

void TestGeometry::replaceTexture(const std::string& name, const std::string& path) {
    std::unique_ptr<gl::Texture2D> texture = textureFromPng(path);
    _textures[name] = std::move(texture);
}

void TestGeometry::refreshPrograms() {
    const ShaderEngine* engine = ShaderEngine::create();
    engine->getProgram("geometryPass", _program);
    engine->getProgram("lighting", _lightingPass);
    engine->getProgram("hblur", _hBlur);
    engine->getProgram("vblur", _vBlur);
    engine->getProgram("brightPass", _brightPass);
    glUseProgram(_program);
    _modelViewLocation = glGetUniformLocation(_program, "modelView");
    _projectionLocation = glGetUniformLocation(_program, "projection");
    glUniformMatrix4fv(_projectionLocation, 1, GL_FALSE, glm::value_ptr(_projection));
    GLuint post = 0;
    if (!engine->getProgram("postproc", post)) return;
    _postProc.setProgram(post);
    for (const char* name : {"texFbo1", "texFbo2", "texNoise", "noiseOffset", "time"}) _postProc.registerUniform(name);
    _postProc.setUniform("texFbo1", 0);
    _postProc.setUniform("texFbo2", 1);
    _postProc.setUniform("texNoise", 2);
}

void TestGeometry::useProjectionFor(int width, int height) {
    // The drawable's own shape: a fixed 16:10 would stretch every other window and video.
    const float aspect = static_cast<float>(width) / static_cast<float>(height);
    setProjection(glm::perspective(glm::radians(70.0f), aspect, 0.1f, 100.0f));
    glUseProgram(_program);
    glUniformMatrix4fv(_projectionLocation, 1, GL_FALSE, glm::value_ptr(_projection));
}

void TestGeometry::resize(int width, int height) {
    if (width <= 0 || height <= 0) return;
    _fbo1.resize(width, height);
    _fbo2.resize(width, height);
    _postProc.resizeNoiseTexture();
    useProjectionFor(width, height);
    glViewport(0, 0, width, height);
}

float TestGeometry::creditsAspectRatio(double imageAspect, int windowWidth, int windowHeight) {
    const double windowAspect = static_cast<float>(windowWidth) / static_cast<float>(windowHeight);
    return static_cast<float>(imageAspect / windowAspect);
}

void TestGeometry::createQuad() {
    // x, y, s, t as signed bytes; a strip of four covers the screen.
    const GLbyte vertices[16] = {-1, -1, 0, 0, 1, -1, 1, 0, -1, 1, 0, 1, 1, 1, 1, 1};
    glGenVertexArrays(1, &_quadVao);
    glBindVertexArray(_quadVao);
    glGenBuffers(1, &_quadVbo);
    glBindBuffer(GL_ARRAY_BUFFER, _quadVbo);
    glBufferData(GL_ARRAY_BUFFER, sizeof vertices, vertices, GL_STATIC_DRAW);
    glVertexAttribPointer(0, 2, GL_BYTE, GL_FALSE, 4, reinterpret_cast<const void*>(0));
    glVertexAttribPointer(3, 2, GL_BYTE, GL_FALSE, 4, reinterpret_cast<const void*>(2));
    glEnableVertexAttribArray(0);
    glEnableVertexAttribArray(3);
    glBindVertexArray(0);
}

void TestGeometry::loadTextures(const std::string& directory, PngPrefetch& decoded) {
    std::error_code error;
    for (fs::directory_iterator entry(directory, error), end; !error && entry != end; entry.increment(error)) {
        const std::string path = forwardSlashes(entry->path().string());
        std::printf("Found file %s\n", path.c_str());
        if (entry->path().extension().string() != ".png") {
            std::printf("Skipped image %s. Unsupported format\n", path.c_str());
            continue;
        }
        try {
            _textures[entry->path().filename().string()] = textureFromPng(path, &decoded);
        } catch (const std::exception& failure) {
            std::printf("Error: %s\n", failure.what());
        }
    }
    std::fflush(stdout);
}

float TestGeometry::parameterValue(const char* name) { return static_cast<float>(parameter(name)); }

glm::vec3 TestGeometry::parameterVector(const char* x, const char* y, const char* z) {
    return glm::vec3(parameterValue(x), parameterValue(y), parameterValue(z));
}

void TestGeometry::drawQuad() {
    glBindVertexArray(_quadVao);
    glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
}

void TestGeometry::collectMeshes() {
    _meshes.clear();
    _modelBounds = Box();
    sg::RenderVisitor visitor;
    _model->getRoot()->accept(&visitor);
    std::vector<EnclosingMeshes::MeshCorners> corners;
    for (const auto& [geometry, model] : visitor.getModelMatrices()) {
        SceneMesh mesh;
        mesh.geometry = geometry.get();
        mesh.model = model;
        Box local;
        auto* positions = dynamic_cast<Attribute<glm::vec3>*>(geometry->attribute(0).get());
        if (positions) {
            for (const glm::vec3& p : *positions->elements) local.add(glm::dvec3(p));
        }
        mesh.bounds = Box::transformed(local, glm::dmat4(model));
        _modelBounds.add(mesh.bounds);
        _meshes.push_back(mesh);
        EnclosingMeshes::MeshCorners& meshCorners = corners.emplace_back();
        meshCorners.triangles = geometry->mode == GL_TRIANGLES;
        meshCorners.known = worldCorners(*geometry, positions, model, meshCorners.corners);
        // Without chunks the shadow pass draws the mesh whole, as it is.
        if (!meshCorners.known) meshCorners.corners.clear();
        // Every present stream stays enabled: the shadow program reads only the
        // position, and streams a program does not read are never fetched.
        geometry->enableAll();
    }
    _enclosing.build(corners);
    _shadowParts.assign(_meshes.size(), EnclosingMeshes::Part::Whole);
    for (size_t i = 0; i < _meshes.size(); ++i) {
        if (!corners[i].triangles) continue;
        const std::vector<glm::dvec3>& meshCorners = corners[i].corners;
        _meshes[i].allChunks.build(meshCorners, {CornerRange{0, static_cast<int>(meshCorners.size())}});
        _meshes[i].casterChunks.build(meshCorners, _enclosing.casterRanges(i));
    }
}

bool TestGeometry::worldCorners(const VertexAttributes& geometry, const Attribute<glm::vec3>* positions,
                                const glm::mat4& model, std::vector<glm::dvec3>& corners) {
    if (positions == nullptr) return false;
    const std::vector<glm::vec3>& points = *positions->elements;
    const glm::dmat4 toWorld(model);
    auto add = [&](size_t i) { corners.push_back(glm::dvec3(toWorld * glm::dvec4(glm::dvec3(points[i]), 1.0))); };
    const auto* indexed = dynamic_cast<const IndexedVertexAttributes*>(&geometry);
    if (indexed != nullptr && geometry.mode == GL_TRIANGLES) {
        for (GLuint i : indexed->indices) {
            if (i >= points.size()) return false;
            add(i);
        }
    } else {
        for (size_t i = 0; i < points.size(); ++i) add(i);
    }
    return true;
}

Box TestGeometry::treeBounds() const {
    // The thickest tube is 0.3 around its particle; the end points sit 1e-6 off theirs.
    constexpr double kReach = 0.31;
    Box box;
    if (!_drawTree) return box;
    for (const Branch& branch : _tree->branches())
        for (const auto& particle : branch.particles()) box.add(particle->position());
    return box.grown(kReach);
}

void TestGeometry::draw(const FrameTime* frameTime) {
    const glm::vec3 eye = parameterVector("ts.eyepos.x", "ts.eyepos.y", "ts.eyepos.z");
    const glm::vec3 target = parameterVector("ts.tarpos.x", "ts.tarpos.y", "ts.tarpos.z");
    const glm::vec3 up = parameterVector("up.x", "up.y", "up.z");
    const glm::vec3 lightPosition = parameterVector("lightP_Off.x", "lightP_Off.y", "lightP_Off.z");
    parameterVector("mpos.x", "mpos.y", "mpos.z");  // read every frame, used by nothing
    const glm::mat4 view = glm::lookAt(eye, target, up);

    if (_geometryUniforms.use()) {
        glUniform1i(_geometryUniforms.location(1), 8);
        glUniform1i(_geometryUniforms.location(2), 9);
        glUniform1i(_geometryUniforms.location(3), 10);
    }
    gBuffer->bindForWriting();
    glEnable(GL_DEPTH_TEST);
    // Lighting tells geometry from background by the texture-coordinate target alone and
    // reads the others only where geometry was drawn, which overwrites all eight: only
    // that target and the depth need clearing.
    glClearBufferfv(GL_COLOR, kCoverageAttachment, _clearColour);
    glClear(GL_DEPTH_BUFFER_BIT);
    glDisable(GL_BLEND);

    geometryPass(view);
    passDone("geometry");
    treePass(view, frameTime);
    passDone("tree");
    shadowPass(view, lightPosition);
    passDone("shadow");
    lightingPass(lightPosition);
    passDone("lighting");
    creditsPass();
    passDone("credits");
    bloomPasses();
    passDone("bloom");

    _postProc.setTextures(_fbo1.texture(), _fbo2.texture());
    _postProc.draw(frameTime);
    passDone("post");
}

void TestGeometry::geometryPass(const glm::mat4& view) {
    // The film's model lists the hall's floor, walls and roof first and the racks, crates
    // and barrels standing in it after. Drawn last to first, the things hide much of the
    // shell from the depth test, so less of it is shaded and written only to be covered.
    // Passing equal depths keeps the picture: where two meshes meet at the same depth, the
    // one listed first still ends up on top, as it would drawn in list order.
    glDepthFunc(GL_LEQUAL);
    for (auto it = _meshes.rbegin(); it != _meshes.rend(); ++it) {
        const SceneMesh& mesh = *it;
        glUniformMatrix4fv(_geometryUniforms.location(0), 1, GL_FALSE, glm::value_ptr(mesh.model));
        const glm::mat4 modelView = view * mesh.model;
        glUniformMatrix4fv(_modelViewLocation, 1, GL_FALSE, glm::value_ptr(modelView));
        // A mesh without one of its maps must sample nothing there, not the previous
        // mesh's or the branches' texture still bound on that unit.
        for (GLenum unit : {GL_TEXTURE8, GL_TEXTURE9, GL_TEXTURE10}) {
            glActiveTexture(unit);
            glBindTexture(GL_TEXTURE_2D, 0);
        }
        mesh.geometry->bindTextures(_textures);
        mesh.geometry->draw();
    }
    glDepthFunc(GL_LESS);
}

void TestGeometry::advanceTree(const FrameTime* frameTime) {
    static const std::string x = "bunchpos.x", y = "bunchpos.y", z = "bunchpos.z";
    _motion->advanceTo(frameTime->time, [this](double seconds) {
        if (trackReader == nullptr) return parameterVector("bunchpos.x", "bunchpos.y", "bunchpos.z");
        return glm::vec3(static_cast<float>(trackReader->valueAt(x, seconds)),
                         static_cast<float>(trackReader->valueAt(y, seconds)),
                         static_cast<float>(trackReader->valueAt(z, seconds)));
    });
}

void TestGeometry::treePass(const glm::mat4& view, const FrameTime* frameTime) {
    if (_treeUniforms.use()) {
        glUniform1i(_treeUniforms.location(1), 8);
        glUniform1i(_treeUniforms.location(2), 9);
        glUniform1i(_treeUniforms.location(3), 10);
    }
    const glm::mat4 viewProjection = _projection * view;
    glUniformMatrix4fv(_treeUniforms.location(0), 1, GL_FALSE, glm::value_ptr(viewProjection));
    static const std::string maps[3] = {"slither_diffuse.png", "slither_normal.png", "slither_specular.png"};
    for (int i = 0; i < 3; ++i) {
        auto found = _textures.find(maps[i]);
        // Reported like a material's missing map, not drawn with whatever is still bound.
        if (found == _textures.end())
            throw std::runtime_error(std::string("TestGeometry::treePass: the branches expect texture ") + maps[i] +
                                     ".\n");
        found->second->bind(GL_TEXTURE8 + i);
    }
    advanceTree(frameTime);
    if (_drawTree) _tree->draw();
}

void TestGeometry::shadowPass(const glm::mat4& view, const glm::vec3& lightPosition) {
    _shadowUniforms.use();
    glEnable(GL_DEPTH_TEST);
    _shadowMap->updateFaceMatrices(lightPosition);
    const int faceSize = _shadowMap->width();
    glViewport(0, 0, faceSize, _shadowMap->height());
    if (!_castShadows) {
        _shadowMap->bindForWriting();
        glDisable(GL_DEPTH_TEST);
        return;
    }
    // Each face is attached once, cleared and drawn in one go, and drawn only where
    // lighting reads it this frame; casters that cannot reach that part are not drawn.
    Box drawn = _modelBounds;
    const Box branches = treeBounds();
    drawn.add(branches);
    _shadowRegions.update(_projection * view, drawn, lightPosition, _shadowMap->faceMatrices(), faceSize);
    // The bound above holds for any frame. On a software rasteriser the G-buffer also
    // tells what this one reads; on a GPU reading that back would stall the frame.
    if (_gpuPath == GpuPath::Software) {
        gBuffer->bindTextures();
        if (_shadowReach.measure(lightPosition, faceSize, screenWidth, screenHeight)) {
            for (int face = 0; face < 6; ++face) {
                const ShadowReach::Rect& reach = _shadowReach.rect(face);
                _shadowRegions.narrow(face, reach.x0, reach.y0, reach.x1, reach.y1, _shadowMap->faceMatrix(face),
                                      faceSize);
            }
        }
        // The measuring pass's program may still be current, whatever it returned.
        _shadowUniforms.use();
    }
    // The hall's shell never stands between the light and anything it shades.
    for (size_t i = 0; i < _meshes.size(); ++i)
        _shadowParts[i] = _enclosing.part(i, glm::dvec3(lightPosition), branches);
    for (int face = 0; face < 6; ++face) {
        const ShadowRegions::Face& region = _shadowRegions.face(face);
        if (!region.needed) continue;
        _shadowMap->bindFace(face);
        // The whole face is cleared: the rasteriser clears a whole attachment far faster
        // than a rectangle of it, which it has to draw.
        glDisable(GL_SCISSOR_TEST);
        glClear(GL_DEPTH_BUFFER_BIT);
        glEnable(GL_SCISSOR_TEST);
        glScissor(region.x0, region.y0, region.x1 - region.x0, region.y1 - region.y0);
        const glm::mat4& faceMatrix = _shadowMap->faceMatrix(face);
        for (size_t i = 0; i < _meshes.size(); ++i) {
            const SceneMesh& mesh = _meshes[i];
            const EnclosingMeshes::Part part = _shadowParts[i];
            if (mesh.geometry->mode != GL_TRIANGLES || part == EnclosingMeshes::Part::Nothing ||
                !_shadowRegions.reaches(face, mesh.bounds))
                continue;
            const glm::mat4 mvp = faceMatrix * mesh.model;
            glUniformMatrix4fv(_shadowUniforms.location(0), 1, GL_FALSE, glm::value_ptr(mvp));
            // Parts of the mesh outside the face's rectangle are not drawn either.
            const MeshChunks& chunks = part == EnclosingMeshes::Part::Whole ? mesh.allChunks : mesh.casterChunks;
            if (chunks.empty()) {
                mesh.geometry->draw();
                continue;
            }
            chunks.forEachStretch([&](const Box& box) { return _shadowRegions.reaches(face, box); },
                                  [&](int first, int count) { mesh.geometry->drawRange(first, count); });
        }
        if (_drawTree && _shadowRegions.reaches(face, branches)) {
            glUniformMatrix4fv(_shadowUniforms.location(0), 1, GL_FALSE, glm::value_ptr(faceMatrix));
            _tree->draw();
        }
    }
    glDisable(GL_SCISSOR_TEST);
    glDisable(GL_DEPTH_TEST);
}

void TestGeometry::lightingPass(const glm::vec3& lightPosition) {
    _fbo1.bindForWriting();
    glClear(GL_COLOR_BUFFER_BIT);
    gBuffer->bindTextures();
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    if (_lightingUniforms.use()) {
        for (int unit = 0; unit < 8; ++unit) glUniform1i(_lightingUniforms.location(unit), unit);
        glUniform1i(_lightingUniforms.location(8), 11);
    }
    _shadowMap->bindShadowTexture();
    glUniform1f(_lightingUniforms.location(9), parameterValue("ts.blinnexp"));
    glUniform1f(_lightingUniforms.location(10), parameterValue("atten_exp"));

    auto& lights = _model->getLights();
    if (lights.empty()) return;
    auto& light = lights.front();
    light->setAmbient(glm::vec3(0.01f, 0.01f, 0.01f) / static_cast<float>(lights.size()));
    light->setIntensity(parameterValue("light_intens"));
    glUniform3fv(_lightingUniforms.location(11), 1, glm::value_ptr(lightPosition));
    glUniform1f(_lightingUniforms.location(12), static_cast<float>(light->getIntensity()));
    const glm::vec3 ambient = light->getAmbient(), diffuse = light->getDiffuse(), specular = light->getSpecular();
    glUniform3fv(_lightingUniforms.location(13), 1, glm::value_ptr(ambient));
    glUniform3fv(_lightingUniforms.location(14), 1, glm::value_ptr(diffuse));
    glUniform3fv(_lightingUniforms.location(15), 1, glm::value_ptr(specular));
    drawQuad();
}

void TestGeometry::creditsPass() {
    glEnable(GL_BLEND);
    glBlendFunc(GL_DST_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    const float amount = parameterValue("credits");
    auto credits = _textures.find("credits");
    if (amount > 0.0f && credits != _textures.end() && _drawCredits) {
        if (_quadUniforms.use()) glUniform1i(_quadUniforms.location(2), 0);
        glUniform1f(_quadUniforms.location(0),
                    creditsAspectRatio(credits->second->aspect(), screenWidth, screenHeight));
        glUniform1f(_quadUniforms.location(1), amount);
        credits->second->bind(GL_TEXTURE0);
        _overlay.draw();
    }
    glDisable(GL_BLEND);
}

void TestGeometry::bloomPasses() {
    _bright.bindForWriting();
    _fbo1.bindTexture(false);
    if (_brightUniforms.use()) glUniform1i(_brightUniforms.location(0), 0);
    drawQuad();
    _bright.bindTexture(true);
    glGenerateMipmap(GL_TEXTURE_2D);

    FboMipmap& horizontal = *_blurChains[0];
    FboMipmap& vertical = *_blurChains[1];
    if (_hBlurUniforms.use()) glUniform1i(_hBlurUniforms.location(0), 0);
    for (uint32_t level = 0; level < horizontal.levelCount(); ++level) {
        horizontal.setLevel(static_cast<int>(level));
        horizontal.bindForWriting();
        glUniform1f(_hBlurUniforms.location(1), static_cast<float>(level));
        drawQuad();
    }

    if (_vBlurUniforms.use()) glUniform1i(_vBlurUniforms.location(0), 0);
    for (uint32_t level = 0; level < vertical.levelCount(); ++level) {
        horizontal.bindLevelTexture(static_cast<int>(level));
        vertical.setLevel(static_cast<int>(level));
        vertical.bindForWriting();
        glUniform1f(_vBlurUniforms.location(1), static_cast<float>(level));
        drawQuad();
    }

    _fbo2.bindForWriting();
    glClear(GL_COLOR_BUFFER_BIT);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    if (_addBloom) {
        // All ten levels in one pass: the program reads the whole second pyramid, level
        // by level, and adds them up in the order the blending would.
        if (_sumUniforms.use()) {
            static const GLint units[kSummedLevels] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
            glUniform1iv(_sumUniforms.location(1), kSummedLevels, units);
        }
        // Downwards, so that unit 0 is the active one afterwards, as after every other pass.
        for (int level = kSummedLevels - 1; level >= 0; --level) vertical.bindLevelTexture(level, level);
        glUniform1f(_sumUniforms.location(0), static_cast<float>(kSummedLevels - 1));
        drawQuad();
    }
    glDisable(GL_BLEND);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
}
