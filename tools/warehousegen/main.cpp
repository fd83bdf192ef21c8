// warehousegen OUTFILE: writes the warehouse model as COLLADA and prints its triangle count.
#include "ColladaWriter.h"
#include "Warehouse.h"

#include <cstdio>
#include <fstream>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: warehousegen OUTFILE.dae\n");
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
