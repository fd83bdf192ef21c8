#include "SamplePattern.h"

namespace {

float radicalInverse(int index, int base) {
    float result = 0.0f;
    float digit = 1.0f / static_cast<float>(base);
    for (int i = index; i > 0; i /= base) {
        result += static_cast<float>(i % base) * digit;
        digit /= static_cast<float>(base);
    }
    return result;
}

}  // namespace

std::vector<glm::vec2> samplePattern(int samples) {
    std::vector<glm::vec2> points;
    if (samples <= 0) return points;
    glm::vec2 mean(0.0f);
    for (int i = 1; i <= samples; ++i) {
        points.emplace_back(radicalInverse(i, 2), radicalInverse(i, 3));
        mean += points.back();
    }
    mean /= static_cast<float>(samples);
    for (glm::vec2& point : points) point -= mean;
    return points;
}
