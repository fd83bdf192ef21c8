#include "cpp/Branch.h"

#include "cpp/BranchMesh.h"
#include "cpp/DistanceConstraint.h"
#include "cpp/TreeSource.h"
#include "platform/Assert.h"

#include <glm/glm.hpp>

#include <cmath>

namespace {
constexpr int kRelaxationPasses = 10;
}

Branch::Branch(const glm::dvec3& start, const glm::dvec3& direction, const glm::vec3& origin, double spacing,
               MeshUpload upload)
    : _start(start), _upload(upload) {
    HV_ASSERT(_nrPoints > 1, tree::kAssertSource);
    _radii.assign(_nrPoints, 0.0);
    _particles.reserve(_nrPoints);
    for (size_t i = 0; i < _nrPoints; ++i) {
        const glm::dvec3 position = glm::dvec3(origin) + static_cast<double>(i) * direction * spacing;
        _particles.push_back(std::make_shared<Particle>(position));
    }
    _particles[0]->setMovable(false);
    _constraints.reserve(_nrPoints - 1);
    for (size_t i = 0; i + 1 < _nrPoints; ++i) {
        _constraints.push_back(
            std::make_shared<DistanceConstraint>(_particles[i].get(), _particles[i + 1].get()));
    }
    _scratch = std::make_shared<tube::TubeScratch>(_nrPoints);
    _taper.resize(_nrPoints);
    for (size_t i = 0; i < _nrPoints; ++i) {
        _taper[i] = std::sin(static_cast<double>(i) * M_PI / static_cast<double>(_radii.size()));
    }
    buildMesh();
    if (_upload == MeshUpload::Gpu) _mesh->create();
}

void Branch::updateRadii(double time) {
    for (size_t i = 0; i < _nrPoints; ++i) {
        const double s =
            std::sin(time * 1.5 - static_cast<double>(i) / (static_cast<double>(_nrPoints) * 0.5));
        // Below 0.88, s^15 is under 0.147 and the floor wins anyway (also for negative and NaN s).
        const double c = s > 0.88 ? std::pow(s, 15.0) : 0.0;
        const double base = c > 0.15 ? c : 0.15;
        _radii[i] = base * 0.3 * _taper[i];
    }
}

void Branch::update(const glm::vec3& wind, double time) {
    applyWind(wind, time);
    relaxTogether(this, 1);
    integrateAndRemesh();
}

void Branch::applyWind(const glm::vec3& wind, double time) {
    updateRadii(time);
    _force = _force * 0.75f + wind;
    const glm::dvec3 force(_force);
    for (const auto& particle : _particles) particle->addForce(force);
}

void Branch::relaxTogether(Branch* branches, size_t count) {
    // Each chain is one long dependency (every link moves the next particle), so the
    // chains are walked in lockstep to let their solves overlap.
    if (count == 0) return;
    const size_t links = branches[0]._constraints.size();
    for (size_t k = 1; k < count; ++k)
        HV_ASSERT(branches[k]._constraints.size() == links, tree::kAssertSource);
    for (int pass = 0; pass < kRelaxationPasses; ++pass) {
        for (size_t i = 0; i < links; ++i) {
            for (size_t k = 0; k < count; ++k) branches[k]._constraints[i]->satisfy();
        }
    }
}

void Branch::integrateAndRemesh() {
    integrate();
    remesh();
}

void Branch::integrate() {
    for (auto it = _particles.rbegin(); it != _particles.rend(); ++it) (*it)->step();
}

void Branch::remesh() {
    rebuildMesh();
    if (_upload != MeshUpload::Gpu) return;
    // The colours and texture coordinates never change after the first upload: only the
    // streams the rebuild rewrote go to GL again.
    glBindVertexArray(_mesh->vao);
    for (int location : {tube::kPosition, tube::kNormal, tube::kTangent, tube::kBitangent})
        _mesh->attributes[static_cast<size_t>(location)]->upload(static_cast<GLuint>(location));
}

void Branch::restoreState(const glm::vec3& force, const double* radii) {
    _force = force;
    for (size_t i = 0; i < _nrPoints; ++i) _radii[i] = radii[i];
}

void Branch::draw() {
    HV_ASSERT(_upload == MeshUpload::Gpu, tree::kAssertSource);
    _mesh->draw();
}

void Branch::resetMesh() {
    buildMesh();
    if (_upload == MeshUpload::Gpu) _mesh->create();
}

void Branch::buildMesh() {
    _mesh = tube::buildTubeMesh(_nrPoints);
}

void Branch::rebuildMesh() {
    tube::rebuildTubeMesh(*_mesh, _particles, _radii, *_scratch);
}
