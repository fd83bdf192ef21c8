#include "cpp/Branch.h"

#include "cpp/BranchMesh.h"
#include "cpp/DistanceConstraint.h"
#include "cpp/TreeSource.h"
#include "cpp/WideVectors.h"
#include "platform/Assert.h"

#include <glm/glm.hpp>

#include <algorithm>
#include <cmath>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if HV_WIDE_VECTORS
#include <immintrin.h>
#endif

namespace {
constexpr int kRelaxationPasses = 10;
// Chains relaxed side by side: each chain is one long dependency (every link moves the
// next particle), so several are walked in lockstep, one vector lane per chain.
constexpr size_t kLanes = 8;
constexpr size_t kMaxPoints = 65;

struct ChainLanes {
    double x[kMaxPoints][kLanes];
    double y[kMaxPoints][kLanes];
    double z[kMaxPoints][kLanes];
    double rest[kMaxPoints][kLanes];     // of the link from particle i to i + 1
    double movable[kMaxPoints][kLanes];  // 1 or 0; unused lanes are fixed
};

// DistanceConstraint::satisfy on every link, root to tip, in all lanes at once: the
// same operations on the same values, with the skipped links left as they were.
//
// The passes overlap in waves. Link i of a pass needs link i - 1 of the same pass and
// link i of the pass before, so the links of one wave (pass + i fixed) are independent
// and their square-root-and-divide chains run side by side instead of one after the
// other. Taking a wave's passes in ascending order lets each link read a particle
// before the next pass's link moves it, as the plain order does.
size_t firstPass(size_t wave, size_t points) {
    return wave + 1 >= points ? wave + 2 - points : 0;
}
size_t lastPass(size_t wave) {
    return std::min(wave, static_cast<size_t>(kRelaxationPasses - 1));
}

#if defined(__SSE2__)
void relaxLanes(ChainLanes& c, size_t points) {
    const __m128d one = _mm_set1_pd(1.0), shortest = _mm_set1_pd(1e-6), zero = _mm_setzero_pd();
    for (size_t wave = 0; wave + 2 < points + kRelaxationPasses; ++wave) {
        for (size_t pass = firstPass(wave, points); pass <= lastPass(wave); ++pass) {
            const size_t i = wave - pass;
            for (size_t k = 0; k < kLanes; k += 2) {
                const __m128d x = _mm_loadu_pd(&c.x[i + 1][k]);
                const __m128d y = _mm_loadu_pd(&c.y[i + 1][k]);
                const __m128d z = _mm_loadu_pd(&c.z[i + 1][k]);
                const __m128d dx = _mm_sub_pd(x, _mm_loadu_pd(&c.x[i][k]));
                const __m128d dy = _mm_sub_pd(y, _mm_loadu_pd(&c.y[i][k]));
                const __m128d dz = _mm_sub_pd(z, _mm_loadu_pd(&c.z[i][k]));
                const __m128d len = _mm_sqrt_pd(
                    _mm_add_pd(_mm_add_pd(_mm_mul_pd(dx, dx), _mm_mul_pd(dy, dy)), _mm_mul_pd(dz, dz)));
                const __m128d f = _mm_sub_pd(one, _mm_div_pd(_mm_loadu_pd(&c.rest[i][k]), len));
                const __m128d apply = _mm_and_pd(_mm_cmpgt_pd(len, shortest),
                                                 _mm_cmpneq_pd(_mm_loadu_pd(&c.movable[i + 1][k]), zero));
                // x - d * f is x + -(d * f) bit for bit.
                const __m128d nx = _mm_sub_pd(x, _mm_mul_pd(dx, f));
                const __m128d ny = _mm_sub_pd(y, _mm_mul_pd(dy, f));
                const __m128d nz = _mm_sub_pd(z, _mm_mul_pd(dz, f));
                _mm_storeu_pd(&c.x[i + 1][k], _mm_or_pd(_mm_and_pd(apply, nx), _mm_andnot_pd(apply, x)));
                _mm_storeu_pd(&c.y[i + 1][k], _mm_or_pd(_mm_and_pd(apply, ny), _mm_andnot_pd(apply, y)));
                _mm_storeu_pd(&c.z[i + 1][k], _mm_or_pd(_mm_and_pd(apply, nz), _mm_andnot_pd(apply, z)));
            }
        }
    }
}

#else
void relaxLanes(ChainLanes& c, size_t points) {
    for (size_t wave = 0; wave + 2 < points + kRelaxationPasses; ++wave) {
        for (size_t pass = firstPass(wave, points); pass <= lastPass(wave); ++pass) {
            const size_t i = wave - pass;
            for (size_t k = 0; k < kLanes; ++k) {
                const double dx = c.x[i + 1][k] - c.x[i][k];
                const double dy = c.y[i + 1][k] - c.y[i][k];
                const double dz = c.z[i + 1][k] - c.z[i][k];
                const double len = std::sqrt((dx * dx + dy * dy) + dz * dz);
                if (!(len > 1e-6) || c.movable[i + 1][k] == 0.0) continue;
                const double f = 1.0 - c.rest[i][k] / len;
                c.x[i + 1][k] += -(dx * f);
                c.y[i + 1][k] += -(dy * f);
                c.z[i + 1][k] += -(dz * f);
            }
        }
    }
}
#endif

#if HV_WIDE_VECTORS
// The same with four lanes per operation.
HV_WIDE_TARGET void relaxLanesWide(ChainLanes& c, size_t points) {
    const __m256d one = _mm256_set1_pd(1.0), shortest = _mm256_set1_pd(1e-6), zero = _mm256_setzero_pd();
    for (size_t wave = 0; wave + 2 < points + kRelaxationPasses; ++wave) {
        for (size_t pass = firstPass(wave, points); pass <= lastPass(wave); ++pass) {
            const size_t i = wave - pass;
            for (size_t k = 0; k < kLanes; k += 4) {
                const __m256d x = _mm256_loadu_pd(&c.x[i + 1][k]);
                const __m256d y = _mm256_loadu_pd(&c.y[i + 1][k]);
                const __m256d z = _mm256_loadu_pd(&c.z[i + 1][k]);
                const __m256d dx = _mm256_sub_pd(x, _mm256_loadu_pd(&c.x[i][k]));
                const __m256d dy = _mm256_sub_pd(y, _mm256_loadu_pd(&c.y[i][k]));
                const __m256d dz = _mm256_sub_pd(z, _mm256_loadu_pd(&c.z[i][k]));
                const __m256d len = _mm256_sqrt_pd(_mm256_add_pd(
                    _mm256_add_pd(_mm256_mul_pd(dx, dx), _mm256_mul_pd(dy, dy)), _mm256_mul_pd(dz, dz)));
                const __m256d f = _mm256_sub_pd(one, _mm256_div_pd(_mm256_loadu_pd(&c.rest[i][k]), len));
                const __m256d apply =
                    _mm256_and_pd(_mm256_cmp_pd(len, shortest, _CMP_GT_OQ),
                                  _mm256_cmp_pd(_mm256_loadu_pd(&c.movable[i + 1][k]), zero, _CMP_NEQ_UQ));
                _mm256_storeu_pd(&c.x[i + 1][k],
                                 _mm256_blendv_pd(x, _mm256_sub_pd(x, _mm256_mul_pd(dx, f)), apply));
                _mm256_storeu_pd(&c.y[i + 1][k],
                                 _mm256_blendv_pd(y, _mm256_sub_pd(y, _mm256_mul_pd(dy, f)), apply));
                _mm256_storeu_pd(&c.z[i + 1][k],
                                 _mm256_blendv_pd(z, _mm256_sub_pd(z, _mm256_mul_pd(dz, f)), apply));
            }
        }
    }
}
#endif
}  // namespace

Branch::Branch(const glm::dvec3& start, const glm::dvec3& direction, const glm::vec3& origin, double spacing,
               MeshUpload upload)
    : _start(start), _upload(upload) {
    HV_ASSERT(_nrPoints > 1, tree::kAssertSource);
    _radii.assign(_nrPoints, 0.0);
    HV_ASSERT(_nrPoints <= kMaxPoints, tree::kAssertSource);
    // Both arrays are filled once at their final size: the views and the links point into them.
    _points = std::make_shared<std::vector<Particle>>();
    _points->reserve(_nrPoints);
    for (size_t i = 0; i < _nrPoints; ++i) {
        const glm::dvec3 position = glm::dvec3(origin) + static_cast<double>(i) * direction * spacing;
        _points->emplace_back(position);
    }
    (*_points)[0].setMovable(false);
    _links = std::make_shared<std::vector<DistanceConstraint>>();
    _links->reserve(_nrPoints - 1);
    for (size_t i = 0; i + 1 < _nrPoints; ++i) _links->emplace_back(&(*_points)[i], &(*_points)[i + 1]);
    _particles.reserve(_nrPoints);
    for (Particle& particle : *_points) _particles.emplace_back(_points, &particle);
    _constraints.reserve(_nrPoints - 1);
    for (DistanceConstraint& link : *_links) _constraints.emplace_back(_links, &link);
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
    pushWind(wind);
}

void Branch::applyWind(const glm::vec3& wind, const std::vector<double>& radii) {
    HV_ASSERT(radii.size() == _radii.size(), tree::kAssertSource);
    std::copy(radii.begin(), radii.end(), _radii.begin());
    pushWind(wind);
}

void Branch::pushWind(const glm::vec3& wind) {
    _force = _force * 0.75f + wind;
    const glm::dvec3 force(_force);
    for (Particle& particle : *_points) particle.addForce(force);
}

void Branch::relaxTogether(Branch* branches, size_t count) {
    if (count == 0) return;
    const size_t points = branches[0]._nrPoints;
    for (size_t k = 1; k < count; ++k) HV_ASSERT(branches[k]._nrPoints == points, tree::kAssertSource);
    ChainLanes lanes;
    for (size_t first = 0; first < count; first += kLanes) {
        const size_t used = std::min(kLanes, count - first);
        for (size_t i = 0; i < points; ++i) {
            for (size_t k = 0; k < kLanes; ++k) {
                const Particle* p = k < used ? &(*branches[first + k]._points)[i] : nullptr;
                lanes.x[i][k] = p ? p->_curPos.x : 0.0;
                lanes.y[i][k] = p ? p->_curPos.y : 0.0;
                lanes.z[i][k] = p ? p->_curPos.z : 0.0;
                lanes.movable[i][k] = p && p->_movable ? 1.0 : 0.0;
                lanes.rest[i][k] = p && i + 1 < points ? (*branches[first + k]._links)[i].restLength() : 0.0;
            }
        }
#if HV_WIDE_VECTORS
        if (wideVectorsAvailable())
            relaxLanesWide(lanes, points);
        else
            relaxLanes(lanes, points);
#else
        relaxLanes(lanes, points);
#endif
        for (size_t k = 0; k < used; ++k) {
            Particle* chain = branches[first + k]._points->data();
            for (size_t i = 0; i < points; ++i)
                chain[i]._curPos = glm::dvec3(lanes.x[i][k], lanes.y[i][k], lanes.z[i][k]);
        }
    }
}

void Branch::integrateAndRemesh() {
    integrate();
    remesh();
}

void Branch::integrate() {
    for (size_t i = _nrPoints; i-- > 0;) (*_points)[i].step();
}

void Branch::remesh() {
    rebuildMesh();
    if (_upload != MeshUpload::Gpu) return;
    // The colours and texture coordinates never change after create(), nor does the unfilled
    // last segment: only the filled part of the streams the rebuild rewrote goes to GL
    // again, into the stores create() made (replacing them would cost an allocation).
    const GLsizeiptr bytes =
        static_cast<GLsizeiptr>((_nrPoints - 2) * tube::kVerticesPerSegment * sizeof(glm::vec3));
    for (int location : {tube::kPosition, tube::kNormal, tube::kTangent, tube::kBitangent}) {
        const AttributeBase& stream = *_mesh->attributes[static_cast<size_t>(location)];
        glBindBuffer(GL_ARRAY_BUFFER, stream.buffer);
        glBufferSubData(GL_ARRAY_BUFFER, 0, bytes, stream.dataPointer());
    }
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
    tube::rebuildTubeMesh(*_mesh, _points->data(), _nrPoints, _radii.data(), *_scratch);
}
