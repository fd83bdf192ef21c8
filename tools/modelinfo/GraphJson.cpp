#include "GraphJson.h"

#include "cpp/Bone.h"
#include "cpp/BoneNode.h"
#include "cpp/GeometryNode.h"
#include "cpp/Graph.h"
#include "cpp/GroupNode.h"
#include "cpp/IShadowedPointLight.h"
#include "cpp/TransformNode.h"
#include "cpp/VertexAttributes.h"

#include <cstdio>
#include <sstream>

namespace modelinfo {

namespace {

std::string number(double value) {
    if (value == 0.0) return "0";  // no "-0" (the light's z is -10 * 0)
    char buffer[32] = {0};
    std::snprintf(buffer, sizeof buffer, "%.9g", value);
    return buffer;
}

std::string vector3(const glm::vec3& v) {
    return "[" + number(v.x) + ", " + number(v.y) + ", " + number(v.z) + "]";
}

const char* modeName(GLenum mode) {
    switch (mode) {
        case GL_POINTS:
            return "points";
        case GL_LINES:
            return "lines";
        case GL_TRIANGLES:
            return "triangles";
        default:
            return "other";
    }
}

void writeGeometry(std::ostream& out, const VertexAttributes& geometry) {
    const std::shared_ptr<AttributeBase> positions = geometry.attribute(0);
    out << "{\"mode\": \"" << modeName(geometry.mode)
        << "\", \"vertices\": " << (positions ? positions->elementCount() : 0) << ", \"indices\": ";
    if (auto indexed = dynamic_cast<const IndexedVertexAttributes*>(&geometry)) {
        out << indexed->indices.size();
    } else {
        out << "null";
    }
    out << ", \"locations\": [";
    const char* separator = "";
    for (int location = 0; location < VertexAttributes::kMaxLocations; ++location) {
        if (!geometry.attribute(location)) continue;
        out << separator << location;
        separator = ", ";
    }
    out << "], \"textures\": {";
    separator = "";
    for (const auto& entry : geometry.textures) {
        out << separator << "\"" << entry.first << "\": " << jsonString(entry.second);
        separator = ", ";
    }
    out << "}}";
}

void writeNode(std::ostream& out, sg::Node& node) {
    const char* kind = "group";
    if (dynamic_cast<sg::TransformNode*>(&node)) kind = "transform";
    if (dynamic_cast<sg::GeometryNode*>(&node)) kind = "geometry";
    if (dynamic_cast<sg::BoneNode*>(&node)) kind = "bone";
    out << "{\"kind\": \"" << kind << "\", \"name\": " << jsonString(node._name);
    if (auto transform = dynamic_cast<sg::TransformNode*>(&node)) {
        const glm::mat4 m = transform->getMatrix();
        out << ", \"matrix\": [";
        for (int i = 0; i < 16; ++i) out << (i ? ", " : "") << number(m[i / 4][i % 4]);
        out << "]";
    }
    if (auto geometry = dynamic_cast<sg::GeometryNode*>(&node)) {
        out << ", \"geometry\": ";
        writeGeometry(out, *geometry->getGeometry());
    }
    out << ", \"children\": [";
    const char* separator = "";
    for (const std::shared_ptr<sg::Node>& child : node.getChildren()) {
        out << separator;
        writeNode(out, *child);
        separator = ", ";
    }
    out << "]}";
}

}  // namespace

std::string jsonString(const std::string& text) {
    std::string result = "\"";
    for (unsigned char c : text) {
        switch (c) {
            case '"':
                result += "\\\"";
                break;
            case '\\':
                result += "\\\\";
                break;
            case '\n':
                result += "\\n";
                break;
            case '\r':
                result += "\\r";
                break;
            case '\t':
                result += "\\t";
                break;
            default:
                if (c < 0x20) {
                    char buffer[8] = {0};
                    std::snprintf(buffer, sizeof buffer, "\\u%04x", c);
                    result += buffer;
                } else {
                    result += static_cast<char>(c);
                }
        }
    }
    return result + "\"";
}

std::string graphToJson(sg::Graph& graph) {
    std::ostringstream out;
    out << "{\"root\": ";
    writeNode(out, *graph.getRoot());

    out << ",\n\"bones\": [";
    const char* separator = "";
    for (const auto& entry : graph.getBones()) {
        out << separator << "{\"name\": " << jsonString(entry.first)
            << ", \"index\": " << graph.getBoneIndices().at(entry.first)
            << ", \"weights\": " << entry.second->_weights.size() << "}";
        separator = ", ";
    }
    out << "], \"nextBoneIndex\": " << graph.nextBoneIndex();

    out << ",\n\"animations\": [";
    separator = "";
    for (const sg::Animation& animation : graph.getAnimations()) {
        out << separator << "{\"name\": " << jsonString(animation._name)
            << ", \"duration\": " << number(animation._duration)
            << ", \"ticksPerSecond\": " << number(animation._ticksPerSecond) << ", \"channels\": [";
        const char* channelSeparator = "";
        for (const sg::AnimationChannel& channel : animation._channels) {
            out << channelSeparator << "{\"node\": " << jsonString(channel._node ? channel._node->_name : "")
                << ", \"scaling\": " << channel._scalingKeys.size()
                << ", \"position\": " << channel._positionKeys.size()
                << ", \"rotation\": " << channel._rotationKeys.size() << "}";
            channelSeparator = ", ";
        }
        out << "]}";
        separator = ", ";
    }
    out << "], \"hasAnimations\": " << (graph.hasAnimations() ? "true" : "false");

    out << ",\n\"lights\": [";
    separator = "";
    for (const auto& light : graph.getLights()) {
        out << separator << "{\"position\": " << vector3(light->getPosition())
            << ", \"ambient\": " << vector3(light->getAmbient())
            << ", \"diffuse\": " << vector3(light->getDiffuse())
            << ", \"specular\": " << vector3(light->getSpecular())
            << ", \"intensity\": " << number(light->getIntensity()) << "}";
        separator = ", ";
    }
    out << "]}\n";
    return out.str();
}

}  // namespace modelinfo
