// A stretch of the corners a mesh's draw call reads: indices for an indexed mesh,
// vertices otherwise, three per triangle.
#pragma once

struct CornerRange {
    int first = 0;  // corners [first, first + count)
    int count = 0;
};
