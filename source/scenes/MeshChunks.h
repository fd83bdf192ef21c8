// A mesh's triangles in runs of a fixed length, each with the box around it, so that a
// pass can leave out the runs that cannot reach what it draws.
//
// The runs keep the mesh's own order. A pass draws each maximal stretch of consecutive
// runs it keeps with one call, so what it draws is the mesh's triangles in their order
// minus those outside: nothing changes where the kept triangles meet.
//
// Contract: build() once with the corners the mesh's draw call reads, in world space
// (three per triangle), and the corner ranges to cover, in increasing order; then
// forEachStretch() per pass. Allocates nothing after build().
#pragma once

#include "scenes/Box.h"
#include "scenes/CornerRange.h"

#include <glm/glm.hpp>

#include <vector>

class MeshChunks {
public:
    static constexpr int kTrianglesPerChunk = 128;

    using Range = CornerRange;

    void build(const std::vector<glm::dvec3>& corners, const std::vector<Range>& ranges);
    bool empty() const { return _chunks.empty(); }

    // draw(first, count) for every stretch of consecutive chunks whose box `keep` accepts.
    template <class Keep, class Draw>
    void forEachStretch(Keep keep, Draw draw) const {
        int first = 0, end = -1;
        for (const Chunk& chunk : _chunks) {
            if (!keep(chunk.bounds)) continue;
            if (chunk.first != end) {
                if (end > first) draw(first, end - first);
                first = chunk.first;
            }
            end = chunk.first + chunk.count;
        }
        if (end > first) draw(first, end - first);
    }

private:
    struct Chunk {
        int first = 0;
        int count = 0;
        Box bounds;
    };
    std::vector<Chunk> _chunks;
};
