#include "cpp/Random.h"

namespace {
constexpr uint32_t kMultiplier = 214013u;
constexpr uint32_t kIncrement = 2531011u;
uint32_t g_state = 1;
}  // namespace

int demoRandFrom(uint32_t* state) {
    *state = *state * kMultiplier + kIncrement;
    return static_cast<int>((*state >> 16) & 0x7FFFu);
}

int demoRand() { return demoRandFrom(&g_state); }

uint32_t demoRandStateAfter(uint32_t state, uint64_t draws) {
    // Compose the step x -> a x + c with itself by squaring: n steps are x -> A x + C.
    uint32_t a = kMultiplier, c = kIncrement;
    uint32_t totalA = 1, totalC = 0;
    for (; draws > 0; draws >>= 1) {
        if (draws & 1u) {
            totalA *= a;
            totalC = totalC * a + c;
        }
        c = c * a + c;
        a *= a;
    }
    return state * totalA + totalC;
}

uint32_t demoRandState() { return g_state; }
void setDemoRandState(uint32_t state) { g_state = state; }
