// modelinfo FILE: imports a model through the program's own import path, in a
// headless GL context, and prints the resulting scene graph as JSON on stdout.
// Exit status: 0 on success, 1 when the file cannot be imported or a mesh is
// rejected (the reason goes to stderr), 2 on a usage error.
#include "GlTestContext.h"
#include "GraphJson.h"
#include "cpp/StandardOptions.h"
#include "cpp/Graph.h"
#include "h/ResourceManager.h"
#include "platform/MessageBox.h"

#include <cstdio>
#include <exception>
#include <iostream>
#include <string>

namespace {
const char* const kUsage = "usage: modelinfo FILE.dae\n";
}  // namespace

int main(int argc, char** argv) {
    const int answered = answerHelpOrVersion(argc, argv, "modelinfo", kUsage);
    if (answered >= 0) return answered;
    if (argc != 2 || std::string(argv[1]).empty() || argv[1][0] == '-') {
        std::fputs(kUsage, stderr);
        return 2;
    }
    std::string why;
    if (!hvtest::makeHeadlessContextCurrent(&why)) {
        std::cerr << "modelinfo: no headless GL context: " << why << "\n";
        return 1;
    }
    // The import reports an unreadable file in a message box; here it only needs to
    // reach stderr, which the box already writes to.
    platform::setMessageBoxHook([](const std::string&) {});
    try {
        std::shared_ptr<sg::Graph> graph = ResourceManager::create()->loadGraph(argv[1]);
        if (!graph) return 1;
        std::cout << modelinfo::graphToJson(*graph);
    } catch (const std::exception& e) {
        std::cerr << e.what() << "\n";
        return 1;
    }
    return 0;
}
