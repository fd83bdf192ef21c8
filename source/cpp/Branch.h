// One flexible branch: a chain of particles joined by distance constraints, hanging
// from its root particle, pushed by the wind and meshed as a square tube whose radius
// swells in a pulse travelling from root to tip.
//
// Contract: the chain is laid out from `origin` along `direction`; the root (index 0)
// is fixed and only moved by the tree's moveRoot. update() runs, in this order: the
// radius profile, the wind smoothing, the forces, ten relaxation passes root to tip,
// integration tip to root, the mesh rebuild and (with MeshUpload::Gpu) the re-upload.
// update() allocates nothing. Copies share particles, constraints and mesh. The
// particles and constraints lie in one array each; particles() and constraints() hand
// out pointers into them.
// With MeshUpload::Gpu the constructor and update() need the GL context current.
#pragma once

#include "cpp/BranchMesh.h"
#include "cpp/Constraint.h"
#include "cpp/DistanceConstraint.h"
#include "cpp/Particle.h"
#include "cpp/VertexAttributes.h"

#include <glm/vec3.hpp>

#include <cstddef>
#include <memory>
#include <vector>

// Whether a branch owns GL objects: CpuOnly keeps the streams in memory only (tools,
// tests and benchmarks of the simulation without a context).
enum class MeshUpload { Gpu, CpuOnly };

class Branch {
public:
    Branch(const glm::dvec3& start, const glm::dvec3& direction, const glm::vec3& origin, double spacing,
           MeshUpload upload = MeshUpload::Gpu);

    void update(const glm::vec3& wind, double time);
    void draw();

    // update() in its three phases, for the tree to relax its independent chains side
    // by side: the same operations on the same values, so the same result.
    void applyWind(const glm::vec3& wind, double time);
    // The same with the radius profile another branch of the same length computed for this time.
    void applyWind(const glm::vec3& wind, const std::vector<double>& radii);
    static void relaxTogether(Branch* branches, size_t count);
    void integrateAndRemesh();
    // integrateAndRemesh() in halves: the mesh only needs rebuilding after a frame's last step.
    void integrate();
    void remesh();

    const glm::dvec3& start() const { return _start; }
    const std::vector<std::shared_ptr<Particle>>& particles() const { return _particles; }
    const std::vector<std::shared_ptr<Constraint>>& constraints() const { return _constraints; }
    const std::vector<double>& radii() const { return _radii; }
    const glm::vec3& force() const { return _force; }
    // Puts back the smoothed wind and the radii of an earlier moment (the particles are
    // restored through particles()); the mesh follows at the next remesh().
    void restoreState(const glm::vec3& force, const double* radii);
    // The mesh the branch was built with: the only one a state before the first step
    // (no radius yet) can have, since a tube of radius 0 has no normals.
    void resetMesh();
    const std::shared_ptr<VertexAttributes>& mesh() const { return _mesh; }

private:
    void updateRadii(double time);
    void pushWind(const glm::vec3& wind);
    void buildMesh();
    void rebuildMesh();

    size_t _nrPoints = 65;
    glm::dvec3 _start{0.0};
    std::shared_ptr<std::vector<Particle>> _points;           // the chain, root first
    std::shared_ptr<std::vector<DistanceConstraint>> _links;  // link i joins particles i and i + 1
    std::vector<std::shared_ptr<Particle>> _particles;        // views of _points
    std::vector<std::shared_ptr<Constraint>> _constraints;    // views of _links
    std::shared_ptr<VertexAttributes> _mesh;
    std::vector<double> _radii;
    glm::vec3 _force{0.0f};
    std::vector<double> _taper;                   // sin(i * pi / 65): zero at the root, thinning to the tip
    std::shared_ptr<tube::TubeScratch> _scratch;  // working memory of the mesh rebuild, sized once
    MeshUpload _upload = MeshUpload::Gpu;
};
