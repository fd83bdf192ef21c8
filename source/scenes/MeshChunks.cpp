#include "scenes/MeshChunks.h"

#include <algorithm>

void MeshChunks::build(const std::vector<glm::dvec3>& corners, const std::vector<Range>& ranges) {
    _chunks.clear();
    const int available = static_cast<int>(corners.size() / 3 * 3);
    for (const Range& range : ranges) {
        const int end = std::min(range.first + range.count, available);
        for (int first = std::max(range.first, 0); first < end; first += 3 * kTrianglesPerChunk) {
            Chunk chunk;
            chunk.first = first;
            chunk.count = std::min(3 * kTrianglesPerChunk, end - first);
            for (int i = first; i < first + chunk.count; ++i) chunk.bounds.add(corners[static_cast<size_t>(i)]);
            _chunks.push_back(chunk);
        }
    }
}
