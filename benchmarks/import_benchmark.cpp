// Import time of a generated COLLADA grid (a few thousand triangles, with normals and
// texture coordinates) through loadGraph(), including the GL upload of its geometry.
#include "GlTestContext.h"
#include "cpp/Graph.h"
#include "h/ResourceManager.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

namespace {

// A cells x cells grid of quads (2 triangles each) on one node.
std::string gridCollada(int cells) {
    const int side = cells + 1;
    std::ostringstream pos, uv, p;
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            pos << x * 0.1 << " " << ((x * 7 + y * 13) % 5) * 0.01 << " " << y * 0.1 << " ";
            uv << static_cast<double>(x) / cells << " " << static_cast<double>(y) / cells << " ";
        }
    }
    for (int y = 0; y < cells; ++y) {
        for (int x = 0; x < cells; ++x) {
            const int a = y * side + x, b = a + 1, c = a + side, d = c + 1;
            p << a << " " << c << " " << b << " " << b << " " << c << " " << d << " ";
        }
    }
    const int vertices = side * side;
    std::ostringstream doc;
    doc << R"(<?xml version="1.0" encoding="utf-8"?>
<COLLADA xmlns="http://www.collada.org/2005/11/COLLADASchema" version="1.4.1">
<asset><up_axis>Y_UP</up_axis></asset>
<library_geometries><geometry id="grid"><mesh>
<source id="grid-pos"><float_array id="grid-pos-a" count=")"
        << vertices * 3 << "\">" << pos.str() << R"(</float_array>
<technique_common><accessor source="#grid-pos-a" count=")"
        << vertices
        << R"(" stride="3"><param name="X" type="float"/><param name="Y" type="float"/><param name="Z" type="float"/></accessor></technique_common></source>
<source id="grid-uv"><float_array id="grid-uv-a" count=")"
        << vertices * 2 << "\">" << uv.str() << R"(</float_array>
<technique_common><accessor source="#grid-uv-a" count=")"
        << vertices
        << R"(" stride="2"><param name="S" type="float"/><param name="T" type="float"/></accessor></technique_common></source>
<vertices id="grid-v"><input semantic="POSITION" source="#grid-pos"/></vertices>
<triangles count=")"
        << cells * cells * 2
        << R"("><input semantic="VERTEX" source="#grid-v" offset="0"/><input semantic="TEXCOORD" source="#grid-uv" offset="0" set="0"/><p>)"
        << p.str() << R"(</p></triangles>
</mesh></geometry></library_geometries>
<library_visual_scenes><visual_scene id="scene"><node id="grid-node" name="grid"><instance_geometry url="#grid"/></node></visual_scene></library_visual_scenes>
<scene><instance_visual_scene url="#scene"/></scene>
</COLLADA>
)";
    return doc.str();
}

void BM_ImportGrid(benchmark::State& state) {
    std::string why;
    if (!hvtest::makeHeadlessContextCurrent(&why)) {
        state.SkipWithError(why.c_str());
        return;
    }
    const int cells = static_cast<int>(state.range(0));
    const std::string path = "import_benchmark_grid_" + std::to_string(cells) + ".dae";
    std::ofstream(path) << gridCollada(cells);
    for (auto _ : state) {
        std::shared_ptr<sg::Graph> graph = ResourceManager::create()->loadGraph(path);
        if (!graph) {
            state.SkipWithError("import failed");
            break;
        }
        benchmark::DoNotOptimize(graph.get());
    }
    state.counters["triangles"] = cells * cells * 2;
    std::remove(path.c_str());
}
BENCHMARK(BM_ImportGrid)->Arg(20)->Arg(40)->Arg(60)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
