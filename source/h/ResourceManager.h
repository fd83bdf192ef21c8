// Model import: reads a model file with Assimp and turns it into a scene graph.
//
// Contract: loadGraph() needs a current GL context (geometry is uploaded as nodes
// are made). An unreadable file, or one that would crash the importer (ModelPrecheck.h,
// and the importer's failed internal checks), shows its message in a message box and
// returns an empty reference. A mesh with mixed or unknown primitive types, or
// without positions, throws std::runtime_error out of loadGraph(). Every imported
// node becomes one TransformNode (named like it) holding first its meshes'
// GeometryNodes, then its children's TransformNodes. Bones, animations (channels
// that name no node, or lack keys, are skipped) and one point light are added.
// Nothing of the importer's scene is kept.
#pragma once

#include <assimp/matrix4x4.h>
#include <glm/glm.hpp>

#include <future>
#include <memory>
#include <string>

struct aiAnimation;
struct aiBone;
struct aiMesh;
struct aiNode;
struct aiNodeAnim;
struct aiScene;
class VertexAttributes;

namespace Assimp {
class Importer;
}

namespace sg {
class Bone;
class Graph;
class Node;
struct AnimationChannel;
}  // namespace sg

class ResourceManager {
public:
    static constexpr unsigned int kImportFlags = 0x4779ECB;

    static ResourceManager* create();

    std::shared_ptr<sg::Graph> loadGraph(const std::string& path);

    // A model file as the importer read it (or why it was refused), before any GL work.
    struct ReadModel {
        ReadModel();
        ~ReadModel();
        std::string hazard;
        std::unique_ptr<Assimp::Importer> importer;
        const aiScene* scene = nullptr;
    };
    // Reads `path` on another thread: the checks and the importer, which need no GL and
    // show nothing. loadGraph(path, read) then does the rest on the calling thread, with
    // the same messages, results and exceptions as loadGraph(path).
    static std::future<std::shared_ptr<ReadModel>> readInBackground(const std::string& path);
    std::shared_ptr<sg::Graph> loadGraph(const std::string& path, std::future<std::shared_ptr<ReadModel>> read);

    void aiNodeToSceneGraph(const aiNode* ain, sg::Node* sgn, const aiScene* scene, sg::Graph* graph);
    std::shared_ptr<VertexAttributes> aiMeshToGeometryNode(const aiMesh* mesh, const aiScene* scene);
    void aiBonesToGraph(const aiNode* node, sg::Node* sgn, sg::Graph* graph, const aiScene* scene);
    std::shared_ptr<sg::Bone> aiBoneToBone(const aiBone* bone);
    void aiAnimationsToGraph(sg::Graph* graph, const aiScene* scene);
    void addLights(sg::Graph* graph);

    // Same mathematical matrix, column-major (Assimp stores rows).
    static glm::mat4 toMat4(const aiMatrix4x4& m);
    // Key matrices of the three animation key kinds.
    static glm::mat4 scalingMatrix(float x, float y, float z);
    static glm::mat4 translationMatrix(float x, float y, float z);
    // Rotation of the unit quaternion stored (w, x, y, z).
    static glm::mat4 rotationMatrix(float w, float x, float y, float z);

private:
    ResourceManager() = default;
    static std::shared_ptr<ReadModel> readModel(const std::string& path);
};
