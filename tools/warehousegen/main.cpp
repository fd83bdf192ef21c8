// warehousegen OUTFILE: writes the warehouse model as COLLADA and prints its triangle count.
#include "ColladaWriter.h"
#include "Warehouse.h"
#include "cpp/StandardOptions.h"

#include <cstdio>
#include <fstream>

namespace {
const char* const kUsage = "usage: warehousegen OUTFILE.dae\n";
}  // namespace

int main(int argc, char** argv) {
    const int answered = answerHelpOrVersion(argc, argv, "warehousegen", kUsage);
    if (answered >= 0) return answered;
    if (argc != 2) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    const std::vector<art::MaterialMesh> meshes = art::buildWarehouse();
    std::ofstream out(argv[1], std::ios::binary);
    if (!out) {
        std::fprintf(stderr, "warehousegen: cannot open %s for writing\n", argv[1]);
        return 1;
    }
    art::writeCollada(out, meshes);
    out.close();
    if (!out) {
        std::fprintf(stderr, "warehousegen: failed writing %s\n", argv[1]);
        return 1;
    }
    size_t triangles = 0;
    for (const art::MaterialMesh& m : meshes) {
        triangles += m.mesh.triangleCount();
        std::printf("%-10s %6zu triangles\n", m.material.c_str(), m.mesh.triangleCount());
    }
    std::printf("total      %6zu triangles\n", triangles);
    return 0;
}
