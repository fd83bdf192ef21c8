#include "Warehouse.h"

#include <algorithm>
#include <cstdint>

namespace art {

namespace {
using glm::dvec3;

const double kHalfX = 20.0;
const double kHalfZ = 12.0;
const double kHeight = 10.0;
const double kTrussX[] = {-15.0, -5.0, 5.0, 15.0};

// Layout randomness from a fixed-seed generator, independent of the C library.
class LayoutRandom {
public:
    double next() {
        _state = _state * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<double>(_state >> 11) / 9007199254740992.0;
    }
    double range(double lo, double hi) { return lo + (hi - lo) * next(); }

private:
    uint64_t _state = 0x4841'4c56'414e'4531ULL;
};

struct Meshes {
    MaterialMesh concrete{"concrete", 16.0, MeshBuilder(4.0)};
    MaterialMesh brick{"brick", 8.0, MeshBuilder(2.0)};
    MaterialMesh roof{"roof", 48.0, MeshBuilder(4.0)};
    MaterialMesh steel{"steel", 48.0, MeshBuilder(2.0)};
    MaterialMesh wood{"wood", 12.0, MeshBuilder(1.2)};
    MaterialMesh barrel{"barrel", 64.0, MeshBuilder(1.0)};
};

void shell(Meshes& m) {
    m.concrete.mesh.addQuad({-kHalfX, 0, kHalfZ}, {2 * kHalfX, 0, 0}, {0, 0, -2 * kHalfZ});
    m.roof.mesh.addQuad({-kHalfX, kHeight, -kHalfZ}, {2 * kHalfX, 0, 0}, {0, 0, 2 * kHalfZ});
    MeshBuilder& walls = m.brick.mesh;
    walls.addQuad({-kHalfX, 0, -kHalfZ}, {2 * kHalfX, 0, 0}, {0, kHeight, 0});
    walls.addQuad({kHalfX, 0, kHalfZ}, {-2 * kHalfX, 0, 0}, {0, kHeight, 0});
    walls.addQuad({-kHalfX, 0, kHalfZ}, {0, 0, -2 * kHalfZ}, {0, kHeight, 0});
    walls.addQuad({kHalfX, 0, -kHalfZ}, {0, 0, 2 * kHalfZ}, {0, kHeight, 0});
    // A concrete plinth along the walls hides the seam between floor and brick.
    m.concrete.mesh.addBox({-kHalfX, 0, -kHalfZ}, {kHalfX, 0.4, -kHalfZ + 0.2});
    m.concrete.mesh.addBox({-kHalfX, 0, kHalfZ - 0.2}, {kHalfX, 0.4, kHalfZ});
    m.concrete.mesh.addBox({-kHalfX, 0, -kHalfZ + 0.2}, {-kHalfX + 0.2, 0.4, kHalfZ - 0.2});
    m.concrete.mesh.addBox({kHalfX - 0.2, 0, -kHalfZ + 0.2}, {kHalfX, 0.4, kHalfZ - 0.2});
}

void columnsAndTrusses(Meshes& m) {
    MeshBuilder& s = m.steel.mesh;
    for (double x : kTrussX) {
        for (double z : {-5.0, 5.0}) {
            s.addBox({x - 0.25, 0, z - 0.25}, {x + 0.25, 8.3, z + 0.25});
            s.addBox({x - 0.4, 0, z - 0.4}, {x + 0.4, 0.15, z + 0.4});  // base plate
        }
        // Wall columns carry the truss ends.
        s.addBox({x - 0.25, 0, -kHalfZ}, {x + 0.25, kHeight, -kHalfZ + 0.35});
        s.addBox({x - 0.25, 0, kHalfZ - 0.35}, {x + 0.25, kHeight, kHalfZ});
        // Pratt truss across the hall: chords, posts and diagonals.
        const double bottom = 8.4, top = 9.75;
        s.addBox({x - 0.15, bottom - 0.1, -kHalfZ}, {x + 0.15, bottom + 0.1, kHalfZ});
        s.addBox({x - 0.15, top - 0.1, -kHalfZ}, {x + 0.15, top + 0.1, kHalfZ});
        // Members stay a little off the walls so nothing pokes through the brick.
        const auto inside = [](double z) { return std::max(-kHalfZ + 0.1, std::min(kHalfZ - 0.1, z)); };
        for (int i = 0; i <= 12; ++i) {
            const double z = -kHalfZ + 2.0 * i;
            s.addBeam({x, bottom, inside(z)}, {x, top, inside(z)}, 0.06);
            if (i < 12) {
                const bool towardsMiddle = z < 0.0;
                const double z0 = inside(towardsMiddle ? z : z + 2.0);
                const double z1 = inside(towardsMiddle ? z + 2.0 : z);
                s.addBeam({x, bottom, z1}, {x, top, z0}, 0.05);
            }
        }
    }
    // Purlins along the hall under the roof sheets.
    for (int i = 1; i < 8; ++i) {  // the outermost would sit in the walls
        const double z = -kHalfZ + 3.0 * i;
        s.addBox({-kHalfX, 9.85, z - 0.08}, {kHalfX, 10.0, z + 0.08});
    }
}

void crate(Meshes& m, LayoutRandom& r, const dvec3& floorCentre, double size) {
    const double h = size * r.range(0.8, 1.05);
    m.wood.mesh.addBox(floorCentre - dvec3(size * 0.5, 0, size * 0.5),
                       floorCentre + dvec3(size * 0.5, h, size * 0.5));
}

void barrel(Meshes& m, const dvec3& floorCentre) {
    m.barrel.mesh.addCylinder(floorCentre, {0, 1, 0}, 0.3, 0.3, 0.9, 14, true);
}

// One side's pallet rack: 12 bays of 3 units, 4 levels, contents drawn at random.
void rackRow(Meshes& m, LayoutRandom& r, double zNear, double zFar) {
    MeshBuilder& s = m.steel.mesh;
    const double z0 = std::min(zNear, zFar), z1 = std::max(zNear, zFar);
    const double levels[] = {0.15, 1.9, 3.65, 5.4};
    for (int k = 0; k <= 12; ++k) {
        const double x = -18.0 + 3.0 * k;
        s.addBox({x - 0.06, 0, z0}, {x + 0.06, 6.2, z0 + 0.1});
        s.addBox({x - 0.06, 0, z1 - 0.1}, {x + 0.06, 6.2, z1});
        s.addBeam({x, 0.3, z0 + 0.05}, {x, 3.0, z1 - 0.05}, 0.03);
        s.addBeam({x, 3.2, z0 + 0.05}, {x, 6.0, z1 - 0.05}, 0.03);
    }
    for (double y : levels) {
        s.addBox({-18.0, y + 0.05, z0}, {18.0, y + 0.2, z0 + 0.1});
        s.addBox({-18.0, y + 0.05, z1 - 0.1}, {18.0, y + 0.2, z1});
    }
    for (int bay = 0; bay < 12; ++bay) {
        const double xl = -18.0 + 3.0 * bay;
        for (double y : levels) {
            if (y > 0.2) {
                m.wood.mesh.addBox({xl + 0.1, y + 0.2, z0 + 0.1}, {xl + 2.9, y + 0.26, z1 - 0.1});
            }
            const double base = y + (y > 0.2 ? 0.26 : 0.0);
            const double pick = r.next();
            const double zc = (z0 + z1) * 0.5;
            if (pick < 0.45) {
                crate(m, r, {xl + 0.85, base, zc}, r.range(0.9, 1.2));
                if (r.next() < 0.7) {
                    crate(m, r, {xl + 2.1, base, zc}, r.range(0.7, 1.1));
                }
            } else if (pick < 0.75) {
                for (int i = 0; i < 4; ++i) {
                    barrel(m, {xl + 0.5 + 0.68 * i, base, zc + (i & 1 ? 0.2 : -0.2)});
                }
            } else if (pick < 0.9) {
                crate(m, r, {xl + 1.5, base, zc}, 1.3);
            }
        }
    }
}

void floorClutter(Meshes& m, LayoutRandom& r) {
    // Crate stacks at the hall's ends, beyond the racks.
    for (double x : {-19.0, 19.0}) {
        for (int i = 0; i < 4; ++i) {
            const double z = -7.5 + 5.0 * i;
            crate(m, r, {x, 0, z}, 1.2);
            if (r.next() < 0.6) {
                crate(m, r, {x, 1.15, z}, 1.0);
            }
        }
    }
    // Stock stacked between the racks and the long walls, seen through the shelves.
    for (double z : {-10.4, 10.4}) {
        for (double x = -16.5; x <= 16.5; x += 2.5) {
            if (r.next() < 0.35) {
                continue;
            }
            const int layers = 1 + static_cast<int>(r.next() * 3.0);
            for (int layer = 0; layer < layers; ++layer) {
                crate(m, r, {x + r.range(-0.2, 0.2), 1.15 * layer, z + r.range(-0.3, 0.3)},
                      1.1 - 0.1 * layer);
            }
        }
    }
    // Foreground pieces at the aisle's edges for parallax.
    crate(m, r, {-8.0, 0, -3.9}, 1.1);
    crate(m, r, {-8.1, 1.05, -3.9}, 0.8);
    crate(m, r, {3.0, 0, 3.9}, 1.2);
    for (int i = 0; i < 5; ++i) {
        barrel(m, {-12.0 + 0.65 * i, 0, 4.2 + (i & 1) * 0.3});
    }
    barrel(m, {9.0, 0, 4.0});
    barrel(m, {9.6, 0, 4.3});
    barrel(m, {16.5, 0, -4.1});
}

void forklift(Meshes& m) {
    MeshBuilder& paint = m.barrel.mesh;  // red-painted bodywork
    MeshBuilder& s = m.steel.mesh;
    const dvec3 at{11.5, 0.0, -3.2};
    paint.addBox(at + dvec3(-1.0, 0.35, -0.6), at + dvec3(1.0, 1.3, 0.6));  // chassis
    paint.addBox(at + dvec3(0.4, 1.3, -0.55), at + dvec3(1.0, 1.9, 0.55));  // counterweight
    s.addBox(at + dvec3(-0.6, 1.3, -0.5), at + dvec3(-0.5, 2.6, -0.4));     // cab posts
    s.addBox(at + dvec3(-0.6, 1.3, 0.4), at + dvec3(-0.5, 2.6, 0.5));
    s.addBox(at + dvec3(0.5, 1.9, -0.5), at + dvec3(0.6, 2.6, -0.4));
    s.addBox(at + dvec3(0.5, 1.9, 0.4), at + dvec3(0.6, 2.6, 0.5));
    s.addBox(at + dvec3(-0.65, 2.6, -0.55), at + dvec3(0.65, 2.7, 0.55));  // roof guard
    s.addBox(at + dvec3(-1.2, 0.1, -0.45), at + dvec3(-1.1, 3.2, -0.3));   // mast
    s.addBox(at + dvec3(-1.2, 0.1, 0.3), at + dvec3(-1.1, 3.2, 0.45));
    s.addBox(at + dvec3(-1.3, 0.6, -0.5), at + dvec3(-1.2, 1.0, 0.5));     // carriage
    s.addBox(at + dvec3(-2.5, 0.6, -0.35), at + dvec3(-1.3, 0.66, -0.2));  // forks
    s.addBox(at + dvec3(-2.5, 0.6, 0.2), at + dvec3(-1.3, 0.66, 0.35));
    for (double wx : {-0.6, 0.6}) {
        for (double wz : {-0.6, 0.6}) {
            const dvec3 hub = at + dvec3(wx, 0.35, wz);
            const dvec3 out{0, 0, wz > 0 ? 1.0 : -1.0};
            s.addCylinder(hub, out, 0.35, 0.35, 0.25, 12, true);
        }
    }
}

void pipesAndLamps(Meshes& m) {
    MeshBuilder& s = m.steel.mesh;
    for (double z : {-11.6, 11.6}) {
        s.addCylinder({-kHalfX, 7.4, z}, {1, 0, 0}, 0.16, 0.16, 2 * kHalfX, 10, false);
        s.addCylinder({-kHalfX, 7.9, z + (z < 0 ? 0.3 : -0.3)}, {1, 0, 0}, 0.1, 0.1, 2 * kHalfX, 8, false);
    }
    for (double x : {-17.5, 2.5, 17.5}) {
        s.addCylinder({x, 0.4, -11.75}, {0, 1, 0}, 0.1, 0.1, 7.0, 8, false);  // risers to the wall pipe
    }
    // Lamp housings hang from the purlins between the trusses, switched off.
    for (double x : {-10.0, 10.0}) {
        for (double z : {-6.0, 6.0}) {
            s.addBeam({x, 9.85, z}, {x, 8.9, z}, 0.02);
            s.addCylinder({x, 8.3, z}, {0, 1, 0}, 0.55, 0.15, 0.6, 16, true);
            s.addTubeLining({x, 8.3, z}, {0, 1, 0}, 0.53, 0.14, 0.58, 16);
            m.barrel.mesh.addCylinder({x, 8.25, z}, {0, 1, 0}, 0.2, 0.2, 0.08, 12, true);
        }
    }
}
}  // namespace

std::vector<MaterialMesh> buildWarehouse() {
    Meshes m;
    LayoutRandom random;
    shell(m);
    columnsAndTrusses(m);
    rackRow(m, random, 6.5, 8.0);
    rackRow(m, random, -6.5, -8.0);
    floorClutter(m, random);
    forklift(m);
    pipesAndLamps(m);
    return {m.concrete, m.brick, m.roof, m.steel, m.wood, m.barrel};
}

}  // namespace art
