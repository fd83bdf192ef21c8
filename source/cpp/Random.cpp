#include "cpp/Random.h"

namespace {
uint32_t g_state = 1;
}

int demoRand() {
    g_state = g_state * 214013u + 2531011u;
    return static_cast<int>((g_state >> 16) & 0x7FFFu);
}

uint32_t demoRandState() { return g_state; }
void setDemoRandState(uint32_t state) { g_state = state; }
