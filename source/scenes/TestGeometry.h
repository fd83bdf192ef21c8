// The film's one scene: the warehouse model, the bunch of branches, one shadowed
// point light, the credits overlay, bloom and the final composition.
//
// Contract: constructed once with the GL context current; the constructor is where the
// scene loads everything (programs, model, textures, credits image) and creates its
// render targets. It throws std::runtime_error when the shadow target is incomplete
// ("Failed to init FBO."), the model folder is missing ("Failed to find resource
// path") or the credits image cannot be read, and ends the process with status 1 after
// the import's message when the model cannot be read. draw() renders one frame from the
// parameter table (22 sync tracks) and the frame time into the bound window; it throws
// std::runtime_error when a texture the model's meshes or the branches name is missing.
#pragma once

#include "cpp/AbstractScene.h"
#include "cpp/BranchMotion.h"
#include "cpp/FboMipmap.h"
#include "cpp/FboNoDepth.h"
#include "cpp/VertexAttributes.h"
#include "scenes/Box.h"
#include "scenes/GpuPath.h"
#include "scenes/EnclosingMeshes.h"
#include "scenes/MeshChunks.h"
#include "scenes/PostProc.h"
#include "scenes/ProgramUniforms.h"
#include "scenes/ShadowReach.h"
#include "scenes/ShadowRegions.h"

#include <glm/mat4x4.hpp>
#include <glm/vec3.hpp>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

class FboDepthOnlyCubeMap;
class PngPrefetch;
class Tree;
namespace sg {
class Graph;
}

class TestGeometry : public AbstractScene {
public:
    TestGeometry();
    ~TestGeometry() override;

    void draw(const FrameTime* frameTime) override;
    // The lit and bloom images, the noise and the projection's aspect follow the drawable.
    void resize(int width, int height) override;

    // What draw() does to the branches before drawing them: step the physics to the
    // frame's film time in fixed 1/60 s steps, each following the bunch position at its
    // own time (from the driver's tracks, or the parameter table without a driver).
    void advanceTree(const FrameTime* frameTime);
    // The branches' stepping: tools lift its catch-up bound so a frame depends on its time alone.
    BranchMotion& branchMotion() { return *_motion; }

    // Called after each pass with its name ("geometry", "tree", "shadow", "lighting",
    // "credits", "bloom", "post"); the frame renderer times passes with it.
    void setPassObserver(std::function<void(const char*)> observer) { _passObserver = std::move(observer); }

    // Leaves one pass out of every frame: "tree" (branches neither drawn nor casting a
    // shadow), "shadow" (nothing casts a shadow), "credits" or "bloom". The frame
    // renderer uses it to prove that the reference frames would notice a missing pass.
    // Returns false for an unknown name.
    bool disablePass(const std::string& pass);

    // For the authoring tool's live reload. replaceTexture() swaps the texture `name`
    // ("credits", or a file name in the model folder) for the PNG at `path`; when the file
    // cannot be used it throws std::runtime_error and the old texture stays.
    void replaceTexture(const std::string& name, const std::string& path);
    // Picks up programs the shader engine has rebuilt: the handles and locations the scene
    // keeps, and the uniforms it sets only once.
    void refreshPrograms();
    // Sets the projection and hands it to the geometry program at once; the frame tools
    // move it by sub-pixel offsets between the renders of an anti-aliased frame.
    void useProjection(const glm::mat4& projection);

    // The overlay's "aspectRatio": the image's aspect over the window's.
    static float creditsAspectRatio(double imageAspect, int windowWidth, int windowHeight);

    // Finds the model's meshes, their matrices and bounds: once in the constructor, and
    // again whenever nodes were added to or taken from model() since.
    void collectMeshes();

    // The parameter names, in registration order.
    static const std::vector<std::string>& parameterNames();

    // How frames bound the shadow pass (decided at load; tests switch it).
    GpuPath gpuPath() const { return _gpuPath; }
    void setGpuPath(GpuPath path) { _gpuPath = path; }
    const ShadowReach& shadowReach() const { return _shadowReach; }

    const TextureTable& textures() const { return _textures; }
    std::shared_ptr<sg::Graph> model() const { return _model; }
    const Tree& tree() const { return *_tree; }
    FboNoDepth& litImage() { return _fbo1; }
    FboNoDepth& bloomImage() { return _fbo2; }

private:
    // The G-buffer target lighting reads to tell geometry from background ("texTex").
    static constexpr GLint kCoverageAttachment = 3;
    // The pyramid levels the bloom sum adds.
    static constexpr int kSummedLevels = 10;

    // A geometry of the model with its world matrix and world-space bounds. The model
    // does not move, so these are found once, in the order the render visitor keeps.
    struct SceneMesh {
        VertexAttributes* geometry = nullptr;
        glm::mat4 model{1.0f};
        Box bounds;
        MeshChunks allChunks;     // every triangle
        MeshChunks casterChunks;  // those that can stand between the light and the scene
    };

    float parameterValue(const char* name);
    glm::vec3 parameterVector(const char* x, const char* y, const char* z);
    void drawQuad();

    void createQuad();
    // The projection for the drawable's shape, uploaded to the geometry pass.
    void useProjectionFor(int width, int height);
    void loadTextures(const std::string& directory, PngPrefetch& decoded);
    // The corners the mesh's draw call reads, in world space; false when they cannot be told.
    static bool worldCorners(const VertexAttributes& geometry, const Attribute<glm::vec3>* positions,
                             const glm::mat4& model, std::vector<glm::dvec3>& corners);
    Box treeBounds() const;

    void geometryPass(const glm::mat4& view);
    void treePass(const glm::mat4& view, const FrameTime* frameTime);
    void shadowPass(const glm::mat4& view, const glm::vec3& lightPosition);
    void lightingPass(const glm::vec3& lightPosition);
    void creditsPass();
    void bloomPasses();
    void passDone(const char* pass) {
        if (_passObserver) _passObserver(pass);
    }

    GLint _modelViewLocation = -1;
    GLint _projectionLocation = -1;
    GLuint _lightingPass = 0;
    GLuint _hBlur = 0;
    GLuint _vBlur = 0;
    GLuint _brightPass = 0;
    GLuint _quadVao = 0;
    GLuint _quadVbo = 0;
    FboNoDepth _fbo1;
    FboNoDepth _fbo2;
    FboNoDepth _bright;
    std::vector<std::unique_ptr<FboMipmap>> _blurChains;
    Tree* _tree = nullptr;  // lives until the process ends
    std::unique_ptr<BranchMotion> _motion;
    PostProc _postProc;
    VertexAttributes _overlay;
    std::shared_ptr<sg::Graph> _model;
    TextureTable _textures;
    std::shared_ptr<FboDepthOnlyCubeMap> _shadowMap;

    std::vector<SceneMesh> _meshes;
    Box _modelBounds;
    EnclosingMeshes _enclosing;
    std::vector<EnclosingMeshes::Part> _shadowParts;  // per mesh, this frame
    ShadowRegions _shadowRegions;
    ShadowReach _shadowReach;
    GpuPath _gpuPath = GpuPath::Hardware;
    // The context's clear colour, read once at load: the coverage target is cleared to it.
    GLfloat _clearColour[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    ProgramUniforms _geometryUniforms{"geometryPass", {"model", "texDiff", "texSpec", "texNorm"}};
    ProgramUniforms _treeUniforms{"gPassT", {"VP", "texDiff", "texNorm", "texSpec"}};
    ProgramUniforms _shadowUniforms{"shadow", {"MVP"}};
    ProgramUniforms _lightingUniforms{
        "lighting",
        {"texPos", "texNor", "texCol", "texTex", "texTan", "texBit", "texBum", "texSpc", "shadowMap",
         "blinnTermExponent", "attenuationExponent", "lightPos", "intensity", "lightAmb", "lightDif", "lightSpc"}};
    ProgramUniforms _quadUniforms{"quad", {"aspectRatio", "amp", "image"}};
    ProgramUniforms _brightUniforms{"brightPass", {"image"}};
    ProgramUniforms _hBlurUniforms{"hblur", {"image", "mipmapLevel"}};
    ProgramUniforms _vBlurUniforms{"vblur", {"image", "mipmapLevel"}};
    ProgramUniforms _sumUniforms{"sumMipMaps", {"mipmapLevel", "levels"}};
    std::function<void(const char*)> _passObserver;
    bool _drawTree = true;
    bool _castShadows = true;
    bool _drawCredits = true;
    bool _addBloom = true;
};
