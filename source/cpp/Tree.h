// The bunch of eight flexible branches springing from one anchor point, and the
// pseudo-random wind that pushes them.
//
// Contract: the constructor draws the whole wind table (512 entries, the first 1536
// values of the shared generator) and builds the branches; nothing is drawn from the
// generator afterwards. Per frame: moveRoot(offset), then update(time) when time has
// advanced, then draw() with the program bound. Branch k reads the wind k seconds
// later than branch 0; the table is traversed once every `_timeSpan` seconds.
// update() allocates nothing. With MeshUpload::Gpu the GL context must be current.
#pragma once

#include "cpp/Branch.h"

#include <glm/vec3.hpp>

#include <cstddef>
#include <cstdint>
#include <vector>

// Everything the branches' motion carries from one step to the next.
struct TreeState {
    std::vector<glm::dvec3> particles;  // position, old position, acceleration per particle, branch by branch
    std::vector<glm::vec3> forces;      // smoothed wind per branch
    std::vector<double> radii;          // per particle, branch by branch
};

class Tree {
public:
    static constexpr size_t kBranchCount = 8;

    explicit Tree(const glm::dvec3& anchor, MeshUpload upload = MeshUpload::Gpu);

    void moveRoot(const glm::vec3& offset);
    // One physics step followed by the mesh rebuild.
    void update(double time);
    // update() in two halves, so several steps in one frame rebuild the meshes once.
    void simulate(double time);
    void remesh();
    void draw();

    // Saving allocates only while `state` grows to the tree's size; restoring rebuilds the meshes.
    void saveState(TreeState* state) const;
    void restoreState(const TreeState& state);

    // The position in the wind table, in [0, samples), at which `time` reads it.
    static double windPhase(double time, double timeSpan, uint32_t samples);
    // The wind branch k feels at `time`: the interpolated table entry scaled by 0.01.
    glm::vec3 windFor(size_t branchIndex, double time) const;

    // Direction of branch i of the bunch, evaluated from single-precision angles.
    static glm::dvec3 branchDirection(size_t i);

    const std::vector<Branch>& branches() const { return _branches; }
    const std::vector<glm::dvec3>& wind() const { return _wind; }
    double timeSpan() const { return _timeSpan; }
    uint32_t windSamples() const { return _windSamples; }

private:
    std::vector<Branch> _branches;
    std::vector<glm::dvec3> _wind;
    double _timeSpan = 70.0;
    uint32_t _windSamples = 512;
    glm::vec3 _origin{0.0f};
};
