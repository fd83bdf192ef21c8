#include "cpp/Tree.h"

#include "cpp/Random.h"
#include "cpp/TreeSource.h"
#include "platform/Assert.h"

#include <algorithm>
#include <cmath>

namespace {
double windComponent(int draw) {
    return (draw / 32767.0 - 0.5) * 2;
}
}  // namespace

glm::dvec3 Tree::branchDirection(size_t i) {
    const float a = (static_cast<float>(i) / 8.0f) * 2.0f * 3.1415927f;
    const float h = a * 0.5f;
    const double ad = a, hd = h;
    return glm::dvec3(std::cos(hd) * std::sin(ad), std::sin(hd) * std::sin(ad), std::cos(ad));
}

Tree::Tree(const glm::dvec3& anchor, MeshUpload upload) {
    HV_ASSERT(_timeSpan > 0.0, tree::kAssertSource);
    _branches.reserve(kBranchCount);
    for (size_t i = 0; i < kBranchCount; ++i) {
        const glm::dvec3 direction = branchDirection(i);
        const glm::dvec3 start = anchor + 0.25 * direction;
        _branches.emplace_back(start, direction, _origin, 0.05, upload);
    }
    _wind.reserve(_windSamples);
    for (uint32_t i = 0; i < _windSamples; ++i) {
        const int z = demoRand();
        const int y = demoRand();
        const int x = demoRand();
        _wind.emplace_back(windComponent(x), windComponent(y), windComponent(z));
    }
}

void Tree::moveRoot(const glm::vec3& offset) {
    for (Branch& branch : _branches) {
        Particle& root = *branch.particles()[0];
        root.setMovable(true);
        root.moveTo(glm::dvec3(offset) + branch.start());
        root.setMovable(false);
    }
}

double Tree::windPhase(double time, double timeSpan, uint32_t samples) {
    const double phase = (time - std::floor(time / timeSpan) * timeSpan) / timeSpan * samples;
    // A time a hair below a multiple of the span can round up to a full turn: that is phase 0.
    if (phase >= samples) return phase - samples;
    // A non-finite time has no place in the table; read its start rather than past its end.
    if (!(phase >= 0.0)) return 0.0;
    return phase;
}

glm::vec3 Tree::windFor(size_t branchIndex, double time) const {
    const double phase = windPhase(time + static_cast<double>(branchIndex), _timeSpan, _windSamples);
    const uint32_t i0 = static_cast<uint32_t>(phase) % _windSamples;
    const uint32_t i1 = (i0 + 1) % _windSamples;
    const double w = phase - std::floor(phase);
    const glm::dvec3 wind = (1.0 - w) * _wind[i0] + w * _wind[i1];
    return glm::vec3(wind) * 0.01f;
}

void Tree::update(double time) {
    simulate(time);
    remesh();
}

void Tree::simulate(double time) {
    // Branch k's update, in its phases; the branches share nothing, so relaxing them
    // side by side gives exactly what updating them one after the other would.
    // The radius profile depends on the time alone: the first branch's serves them all.
    for (size_t k = 0; k < _branches.size(); ++k) {
        if (k == 0)
            _branches[k].applyWind(windFor(k, time), time);
        else
            _branches[k].applyWind(windFor(k, time), _branches[0].radii());
    }
    Branch::relaxTogether(_branches.data(), _branches.size());
    for (Branch& branch : _branches) branch.integrate();
}

void Tree::remesh() {
    for (Branch& branch : _branches) branch.remesh();
}

void Tree::draw() {
    for (Branch& branch : _branches) branch.draw();
}

void Tree::saveState(TreeState* state) const {
    state->particles.clear();
    state->forces.clear();
    state->radii.clear();
    for (const Branch& branch : _branches) {
        for (const auto& particle : branch.particles()) {
            state->particles.push_back(particle->position());
            state->particles.push_back(particle->oldPosition());
            state->particles.push_back(particle->acceleration());
        }
        state->forces.push_back(branch.force());
        state->radii.insert(state->radii.end(), branch.radii().begin(), branch.radii().end());
    }
}

void Tree::restoreState(const TreeState& state) {
    size_t particle = 0, radius = 0;
    HV_ASSERT(state.forces.size() == _branches.size(), tree::kAssertSource);
    for (size_t k = 0; k < _branches.size(); ++k) {
        Branch& branch = _branches[k];
        for (const auto& p : branch.particles()) {
            p->restore(state.particles[particle], state.particles[particle + 1],
                       state.particles[particle + 2]);
            particle += 3;
        }
        branch.restoreState(state.forces[k], state.radii.data() + radius);
        radius += branch.radii().size();
    }
    // Radii are never all 0 after a step: this is the state the tree was built in.
    if (std::all_of(state.radii.begin(), state.radii.end(), [](double r) { return r == 0.0; })) {
        for (Branch& branch : _branches) branch.resetMesh();
        return;
    }
    remesh();
}
