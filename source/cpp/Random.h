// The process-wide pseudo-random generator.
//
// A C-library style linear congruential generator with a 32-bit state that starts
// at 1 and is never reseeded by the program: state = state * 214013 + 2531011, and
// each draw yields (state >> 16) & 0x7FFF. The order of the draws (first the tree's
// wind table, then the post-processing noise) fixes every value of the film.
#pragma once

#include <cstdint>

int demoRand();

// For tests and tools that must replay the sequence from a known point.
uint32_t demoRandState();
void setDemoRandState(uint32_t state);

// The state `draws` draws after `state`, without drawing (logarithmic in `draws`).
uint32_t demoRandStateAfter(uint32_t state, uint64_t draws);
// The value a draw from `*state` yields; advances `*state` only.
int demoRandFrom(uint32_t* state);
