#include "h/ResourceManager.h"

#include "h/ModelPrecheck.h"

#include "cpp/Animation.h"
#include "cpp/Bone.h"
#include "cpp/GeometryNode.h"
#include "cpp/Graph.h"
#include "cpp/GroupNode.h"
#include "cpp/LoadTimeline.h"
#include "cpp/PointLightShadow.h"
#include "cpp/TransformNode.h"
#include "cpp/VertexAttributes.h"
#include "platform/Assert.h"
#include "platform/MessageBox.h"

#include <assimp/Importer.hpp>
#include <assimp/material.h>
#include <assimp/scene.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace {
const char* const kSource = "source\\h\\ResourceManager";
}

// Debian's Assimp is built with its internal checks on, and a failed one calls abort():
// one wrong count attribute in a COLLADA file ends the film. Every call to the check
// goes through the library's symbol table, so this definition takes its place and
// raises the failure as an import error instead; the importer catches it and
// ReadFile() reports an unreadable file like any other.
namespace Assimp {
void aiAssertViolation(const char* failedExpression, const char* file, int line) {
    throw std::runtime_error(std::string("the importer's check '") + failedExpression + "' failed (" + file + ":" +
                             std::to_string(line) + ")");
}
}  // namespace Assimp

ResourceManager* ResourceManager::create() {
    static ResourceManager* instance = new ResourceManager();
    return instance;
}

glm::mat4 ResourceManager::toMat4(const aiMatrix4x4& m) {
    glm::mat4 result(1.0f);
    result[0] = glm::vec4(m.a1, m.b1, m.c1, m.d1);
    result[1] = glm::vec4(m.a2, m.b2, m.c2, m.d2);
    result[2] = glm::vec4(m.a3, m.b3, m.c3, m.d3);
    result[3] = glm::vec4(m.a4, m.b4, m.c4, m.d4);
    return result;
}

glm::mat4 ResourceManager::scalingMatrix(float x, float y, float z) {
    glm::mat4 result(1.0f);
    result[0][0] = x;
    result[1][1] = y;
    result[2][2] = z;
    return result;
}

glm::mat4 ResourceManager::translationMatrix(float x, float y, float z) {
    glm::mat4 result(1.0f);
    result[3] = glm::vec4(x, y, z, 1.0f);
    return result;
}

glm::mat4 ResourceManager::rotationMatrix(float w, float x, float y, float z) {
    glm::mat4 r(1.0f);
    r[0] = glm::vec4(1 - 2 * y * y - 2 * z * z, 2 * x * y + 2 * w * z, 2 * x * z - 2 * w * y, 0.0f);
    r[1] = glm::vec4(2 * x * y - 2 * w * z, 1 - 2 * x * x - 2 * z * z, 2 * y * z + 2 * w * x, 0.0f);
    r[2] = glm::vec4(2 * x * z + 2 * w * y, 2 * y * z - 2 * w * x, 1 - 2 * x * x - 2 * y * y, 0.0f);
    return r;
}

ResourceManager::ReadModel::ReadModel() = default;
ResourceManager::ReadModel::~ReadModel() = default;

std::shared_ptr<ResourceManager::ReadModel> ResourceManager::readModel(const std::string& path) {
    auto read = std::make_shared<ReadModel>();
    read->hazard = modelHazard(path);
    if (!read->hazard.empty()) return read;
    read->importer = std::make_unique<Assimp::Importer>();
    read->scene = read->importer->ReadFile(path.c_str(), kImportFlags);
    return read;
}

std::future<std::shared_ptr<ResourceManager::ReadModel>> ResourceManager::readInBackground(const std::string& path) {
    return std::async(std::launch::async, [path] {
        LoadTimeline::Span span("model file import");
        return readModel(path);
    });
}

std::shared_ptr<sg::Graph> ResourceManager::loadGraph(const std::string& path) {
    std::promise<std::shared_ptr<ReadModel>> read;
    read.set_value(readModel(path));
    return loadGraph(path, read.get_future());
}

std::shared_ptr<sg::Graph> ResourceManager::loadGraph(const std::string& path,
                                                      std::future<std::shared_ptr<ReadModel>> read) {
    const std::shared_ptr<ReadModel> model = read.get();
    if (!model->hazard.empty()) {
        platform::showMessageBox("Model " + path + " refused: " + model->hazard + ".");
        return std::shared_ptr<sg::Graph>();
    }
    const aiScene* scene = model->scene;
    if (scene == nullptr) {
        platform::showMessageBox(model->importer->GetErrorString());
        return std::shared_ptr<sg::Graph>();
    }
    auto graph = std::make_shared<sg::Graph>();
    aiNodeToSceneGraph(scene->mRootNode, graph->getRoot().get(), scene, graph.get());
    graph->setRootTransform(toMat4(scene->mRootNode->mTransformation));
    aiBonesToGraph(scene->mRootNode, graph->getRoot().get(), graph.get(), scene);
    aiAnimationsToGraph(graph.get(), scene);
    addLights(graph.get());
    return graph;
}

void ResourceManager::aiNodeToSceneGraph(const aiNode* ain, sg::Node* sgn, const aiScene* scene,
                                         sg::Graph* graph) {
    HV_ASSERT(sgn != 0 && ain != 0, kSource);
    auto transform = std::make_shared<sg::TransformNode>(toMat4(ain->mTransformation));
    transform->_name = ain->mName.C_Str();
    sgn->addChild(transform);
    for (unsigned int i = 0; i < ain->mNumMeshes; ++i) {
        std::shared_ptr<VertexAttributes> tmp = aiMeshToGeometryNode(scene->mMeshes[ain->mMeshes[i]], scene);
        HV_ASSERT(tmp.get() != 0, kSource);
        auto geometry = std::make_shared<sg::GeometryNode>(tmp);
        geometry->_name = ain->mName.C_Str();
        transform->addChild(geometry);
    }
    for (unsigned int i = 0; i < ain->mNumChildren; ++i) {
        aiNodeToSceneGraph(ain->mChildren[i], transform.get(), scene, graph);
    }
}

namespace {

GLenum primitiveMode(unsigned int primitiveTypes) {
    switch (primitiveTypes) {
        case aiPrimitiveType_POINT:
            return GL_POINTS;
        case aiPrimitiveType_LINE:
            return GL_LINES;
        case aiPrimitiveType_TRIANGLE:
            return GL_TRIANGLES;
        default:
            throw std::runtime_error(
                "ResourceManager::aiMeshToGeometryNode: multiple primitive types in mesh. Line: 203");
    }
}

std::shared_ptr<Attribute3> vec3Stream(const aiVector3D* source, unsigned int count) {
    auto attribute = std::make_shared<Attribute3>();
    std::vector<glm::vec3>& elements = *attribute->data();
    elements.reserve(count);
    for (unsigned int i = 0; i < count; ++i) elements.emplace_back(source[i].x, source[i].y, source[i].z);
    return attribute;
}

void recordTexture(VertexAttributes& geometry, const aiMaterial* material, aiTextureType type, int key) {
    aiString path;
    if (aiGetMaterialTexture(material, type, 0, &path) == aiReturn_SUCCESS) {
        geometry.setTexture(key, path.C_Str());
    }
}

}  // namespace

std::shared_ptr<VertexAttributes> ResourceManager::aiMeshToGeometryNode(const aiMesh* mesh,
                                                                        const aiScene* scene) {
    const GLenum mode = primitiveMode(mesh->mPrimitiveTypes);
    if (mesh->mVertices == nullptr || mesh->mNumVertices == 0) {
        throw std::runtime_error("ResourceManager::aiMeshToGeometryNode: No position data found. Line: 207");
    }
    const unsigned int vertexCount = mesh->mNumVertices;

    std::shared_ptr<VertexAttributes> geometry;
    if (mesh->mFaces != nullptr && mesh->mNumFaces > 0) {
        std::vector<GLuint> indices;
        for (unsigned int f = 0; f < mesh->mNumFaces; ++f) {
            const aiFace& face = mesh->mFaces[f];
            if (face.mIndices == nullptr) continue;
            indices.insert(indices.end(), face.mIndices, face.mIndices + face.mNumIndices);
        }
        geometry = std::make_shared<IndexedVertexAttributes>(mode, indices);
    } else {
        geometry = std::make_shared<VertexAttributes>(mode);
    }

    geometry->setAttribute(vec3Stream(mesh->mVertices, vertexCount), 0);
    if (mesh->mNormals != nullptr) {
        geometry->setAttribute(vec3Stream(mesh->mNormals, vertexCount), 1);
        // Tangent frames only make sense together with the normal they were built from.
        if (mesh->mTangents != nullptr && mesh->mBitangents != nullptr) {
            geometry->setAttribute(vec3Stream(mesh->mTangents, vertexCount), 4);
            geometry->setAttribute(vec3Stream(mesh->mBitangents, vertexCount), 5);
        }
    }

    auto colours = std::make_shared<Attribute4>();
    std::vector<glm::vec4>& colourElements = *colours->data();
    colourElements.reserve(vertexCount);
    const aiColor4D* sourceColours = mesh->mColors[0];
    for (unsigned int i = 0; i < vertexCount; ++i) {
        if (sourceColours != nullptr) {
            colourElements.emplace_back(sourceColours[i].r, sourceColours[i].g, sourceColours[i].b,
                                        sourceColours[i].a);
        } else {
            colourElements.emplace_back(1.0f, 1.0f, 1.0f, 1.0f);
        }
    }
    geometry->setAttribute(colours, 2);

    if (mesh->mTextureCoords[0] != nullptr) {
        auto coordinates = std::make_shared<Attribute2>();
        std::vector<glm::vec2>& elements = *coordinates->data();
        elements.reserve(vertexCount);
        for (unsigned int i = 0; i < vertexCount; ++i) {
            elements.emplace_back(mesh->mTextureCoords[0][i].x, mesh->mTextureCoords[0][i].y);
        }
        geometry->setAttribute(coordinates, 3);
    }

    // A material index outside the table would read past it: such a mesh just has no textures.
    if (scene != nullptr && scene->mMaterials != nullptr && scene->mNumMaterials > 0 &&
        mesh->mMaterialIndex < scene->mNumMaterials) {
        const aiMaterial* material = scene->mMaterials[mesh->mMaterialIndex];
        recordTexture(*geometry, material, aiTextureType_DIFFUSE, 7);
        recordTexture(*geometry, material, aiTextureType_NORMALS, 1);
        recordTexture(*geometry, material, aiTextureType_SPECULAR, 8);
    }
    return geometry;
}

std::shared_ptr<sg::Bone> ResourceManager::aiBoneToBone(const aiBone* aiBone) {
    auto bone = std::make_shared<sg::Bone>();
    bone->_name = aiBone->mName.C_Str();
    bone->_offsetMatrix = toMat4(aiBone->mOffsetMatrix);
    bone->_weights.reserve(aiBone->mNumWeights);
    for (unsigned int i = 0; i < aiBone->mNumWeights; ++i) {
        bone->_weights.emplace_back(aiBone->mWeights[i].mVertexId, aiBone->mWeights[i].mWeight);
    }
    return bone;
}

void ResourceManager::aiBonesToGraph(const aiNode* node, sg::Node* sgn, sg::Graph* graph,
                                     const aiScene* scene) {
    for (unsigned int i = 0; i < node->mNumMeshes; ++i) {
        const aiMesh* mesh = scene->mMeshes[node->mMeshes[i]];
        if (mesh->mBones == nullptr || mesh->mNumBones == 0) continue;
        for (unsigned int b = 0; b < mesh->mNumBones; ++b) {
            graph->addBone(mesh->mBones[b]->mName.C_Str(), aiBoneToBone(mesh->mBones[b]));
        }
    }
    for (unsigned int i = 0; i < node->mNumChildren; ++i) {
        aiBonesToGraph(node->mChildren[i], sgn, graph, scene);
    }
}

namespace {

// A channel without a target or without keys of every kind cannot describe a
// transform: it is left out and the rest of the import goes on.
bool channelToAnimationChannel(const aiNodeAnim* aiChan, sg::Graph* graph, sg::AnimationChannel* channel) {
    if (std::string(aiChan->mNodeName.C_Str()).compare("") == 0) return false;
    if (aiChan->mNumPositionKeys == 0 || aiChan->mNumScalingKeys == 0 || aiChan->mNumRotationKeys == 0) {
        return false;
    }
    for (unsigned int k = 0; k < aiChan->mNumScalingKeys; ++k) {
        const aiVectorKey& key = aiChan->mScalingKeys[k];
        channel->_scalingKeys.push_back(
            {key.mTime, ResourceManager::scalingMatrix(key.mValue.x, key.mValue.y, key.mValue.z)});
    }
    for (unsigned int k = 0; k < aiChan->mNumPositionKeys; ++k) {
        const aiVectorKey& key = aiChan->mPositionKeys[k];
        channel->_positionKeys.push_back(
            {key.mTime, ResourceManager::translationMatrix(key.mValue.x, key.mValue.y, key.mValue.z)});
    }
    for (unsigned int k = 0; k < aiChan->mNumRotationKeys; ++k) {
        const aiQuatKey& key = aiChan->mRotationKeys[k];
        channel->_rotationKeys.push_back(
            {key.mTime,
             ResourceManager::rotationMatrix(key.mValue.w, key.mValue.x, key.mValue.y, key.mValue.z)});
    }
    sg::Node* relatedNode = graph->findNode(aiChan->mNodeName.C_Str());
    if (relatedNode == nullptr) return false;
    channel->_node = relatedNode;
    return true;
}

}  // namespace

void ResourceManager::aiAnimationsToGraph(sg::Graph* graph, const aiScene* scene) {
    const aiNode* aiRoot = scene->mRootNode;
    HV_ASSERT(aiRoot != 0, kSource);
    std::vector<sg::Animation> animations;
    if (scene->mAnimations != nullptr && scene->mNumAnimations > 0) {
        animations.reserve(scene->mNumAnimations);
        for (unsigned int a = 0; a < scene->mNumAnimations; ++a) {
            const aiAnimation* aiAnim = scene->mAnimations[a];
            sg::Animation animation;
            animation._name = aiAnim->mName.C_Str();
            animation._duration = aiAnim->mDuration;
            animation._ticksPerSecond = aiAnim->mTicksPerSecond;
            for (unsigned int c = 0; c < aiAnim->mNumChannels; ++c) {
                sg::AnimationChannel channel;
                if (channelToAnimationChannel(aiAnim->mChannels[c], graph, &channel)) {
                    animation._channels.push_back(std::move(channel));
                }
            }
            animations.push_back(std::move(animation));
        }
    }
    graph->setAnimations(std::move(animations));
}

void ResourceManager::addLights(sg::Graph* graph) {
    for (int i = 0; i < 1; ++i) {
        for (int j = 0; j < 1; ++j) {
            auto light = std::make_shared<sg::PointLightShadow>();
            light->setAmbient(glm::vec3(0.001f));
            light->setDiffuse(glm::vec3(1.0f));
            light->setSpecular(glm::vec3(1.0f));
            light->setPosition(glm::vec3(5.0f * i, 8.0f, static_cast<float>(-10 * j)));  // -10 * 0 is +0, not -0
            light->setIntensity(1.0);
            graph->addLight(light);
        }
    }
}
