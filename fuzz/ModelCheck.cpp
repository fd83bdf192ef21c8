// The model check: the film's own ResourceManager::loadGraph on a scratch ".dae" file.
#include "Checks.h"
#include "GlStubs.h"
#include "ScratchFile.h"

#include "cpp/GeometryNode.h"
#include "cpp/Graph.h"
#include "cpp/GroupNode.h"
#include "cpp/VertexAttributes.h"
#include "h/ResourceManager.h"
#include "platform/MessageBox.h"

#include <stdexcept>

namespace fuzz {

namespace {

std::string checkGeometry(const VertexAttributes& geometry) {
    if (geometry.mode != GL_POINTS && geometry.mode != GL_LINES && geometry.mode != GL_TRIANGLES)
        return "a primitive mode the import never makes";
    const std::shared_ptr<AttributeBase> positions = geometry.attribute(0);
    if (!positions || positions->elementCount() == 0) return "a geometry without positions";
    const size_t vertices = positions->elementCount();
    for (int location = 1; location < VertexAttributes::kMaxLocations; ++location) {
        const std::shared_ptr<AttributeBase> stream = geometry.attribute(location);
        if (stream && stream->elementCount() != vertices) return "a stream shorter or longer than the positions";
    }
    if (const auto* indexed = dynamic_cast<const IndexedVertexAttributes*>(&geometry)) {
        for (GLuint index : indexed->indices)
            if (index >= vertices) return "an index past the last vertex reaches the GPU";
    }
    return "";
}

std::string checkNode(const std::shared_ptr<sg::Node>& node, int depth) {
    if (!node) return "a null node";
    if (depth > 100000) return "";
    if (const auto* geometry = dynamic_cast<const sg::GeometryNode*>(node.get())) {
        if (!geometry->getGeometry()) return "a geometry node without geometry";
        std::string problem = checkGeometry(*geometry->getGeometry());
        if (!problem.empty()) return problem;
    }
    for (const std::shared_ptr<sg::Node>& child : node->getChildren()) {
        std::string problem = checkNode(child, depth + 1);
        if (!problem.empty()) return problem;
    }
    return "";
}

}  // namespace

std::string checkModelFile(const uint8_t* data, size_t size) {
    static ScratchFile file(".dae");
    static const bool ready = [] {
        installGlStubs();
        // The importer's message still goes to standard error; no box waits for a click.
        platform::setMessageBoxHook([](const std::string&) {});
        return true;
    }();
    (void)ready;
    if (!file.write(data, size)) return "";
    std::shared_ptr<sg::Graph> graph;
    try {
        graph = ResourceManager::create()->loadGraph(file.path());
    } catch (const std::runtime_error&) {
        return "";  // a mesh the scene cannot draw: refused with its message, as documented
    }
    if (!graph) return "";
    if (graph->getLights().size() != 1) return "the import did not add its one light";
    return checkNode(graph->getRoot(), 0);
}

}  // namespace fuzz
