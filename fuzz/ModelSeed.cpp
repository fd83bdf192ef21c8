// fuzz_model_seed OUTFILE: the warehouse cut down to one box per material, written by
// the same COLLADA writer. The whole hall (1 MB) is too slow a seed: the fuzzer would
// spend its time parsing floats instead of varying structure.
#include "ColladaWriter.h"
#include "Warehouse.h"

#include <cstdio>
#include <fstream>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_model_seed OUTFILE.dae\n");
        return 2;
    }
    std::vector<art::MaterialMesh> meshes;
    double x = 0.0;
    for (const art::MaterialMesh& full : art::buildWarehouse()) {
        art::MaterialMesh small{full.material, full.shininess, art::MeshBuilder(1.0)};
        small.mesh.addBox(glm::dvec3(x, 0.0, 0.0), glm::dvec3(x + 1.0, 1.0, 1.0));
        meshes.push_back(std::move(small));
        x += 2.0;
    }
    std::ofstream out(argv[1], std::ios::binary);
    art::writeCollada(out, meshes);
    out.close();
    if (!out) {
        std::fprintf(stderr, "fuzz_model_seed: failed writing %s\n", argv[1]);
        return 1;
    }
    return 0;
}
