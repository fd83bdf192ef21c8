// Writes an imported scene graph as JSON: the node tree (kind, name, children, the
// local matrix of transforms, a summary of each geometry), the bones, the
// animations with their key counts and the lights.
#pragma once

#include <string>

namespace sg {
class Graph;
}

namespace modelinfo {

// JSON string literal for `text` (quotes included); control characters are escaped.
std::string jsonString(const std::string& text);

std::string graphToJson(sg::Graph& graph);

}  // namespace modelinfo
