// The shadow reach pass: for a G-buffer of known points, every lookup lighting makes
// (point nudged along its normal, the linear filter's 2 x 2 texels) lies inside the
// rectangle measured for its face; uncovered pixels count for nothing; a lookup at the
// light itself needs every face whole.
#include "GlTestContext.h"
#include "scenes/ShadowReach.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

namespace {

constexpr int kFaceSize = 2048;
constexpr int kWidth = 61, kHeight = 37;  // not multiples of the work group's block

struct Pixel {
    glm::vec3 position{0.0f};
    glm::vec3 normal{0.0f};
    bool covered = false;
};

class ShadowReachTest : public hvtest::GlTest {
protected:
    void TearDown() override {
        glDeleteTextures(3, _textures);
        hvtest::GlTest::TearDown();
    }

    // Position on unit 0, normal on unit 1, coverage (z of the texture coordinate) on unit 3.
    void upload(const std::vector<Pixel>& pixels) {
        std::vector<float> position, normal, coverage;
        for (const Pixel& p : pixels) {
            position.insert(position.end(), {p.position.x, p.position.y, p.position.z, 1.0f});
            normal.insert(normal.end(), {p.normal.x, p.normal.y, p.normal.z, 0.0f});
            coverage.insert(coverage.end(), {0.0f, 0.0f, p.covered ? 1.0f : 0.0f, 1.0f});
        }
        glGenTextures(3, _textures);
        const std::vector<float>* data[3] = {&position, &normal, &coverage};
        const GLenum units[3] = {GL_TEXTURE0, GL_TEXTURE1, GL_TEXTURE3};
        for (int i = 0; i < 3; ++i) {
            glActiveTexture(units[i]);
            glBindTexture(GL_TEXTURE_2D, _textures[i]);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
            glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA32F, kWidth, kHeight, 0, GL_RGBA, GL_FLOAT, data[i]->data());
        }
    }

    GLuint _textures[3] = {0, 0, 0};
};

// The face and the texel coordinate GL's cube lookup takes for a direction.
int lookupTexel(const glm::vec3& d, glm::vec2* texel) {
    const glm::vec3 a = glm::abs(d);
    int face = 0;
    float sc = 0.0f, tc = 0.0f, major = 0.0f;
    if (a.x >= a.y && a.x >= a.z) {
        face = d.x >= 0 ? 0 : 1;
        major = a.x;
        sc = d.x >= 0 ? -d.z : d.z;
        tc = -d.y;
    } else if (a.y >= a.z) {
        face = d.y >= 0 ? 2 : 3;
        major = a.y;
        sc = d.x;
        tc = d.y >= 0 ? d.z : -d.z;
    } else {
        face = d.z >= 0 ? 4 : 5;
        major = a.z;
        sc = d.z >= 0 ? d.x : -d.x;
        tc = -d.y;
    }
    *texel = (glm::vec2(sc, tc) / major * 0.5f + 0.5f) * static_cast<float>(kFaceSize);
    return face;
}

TEST_F(ShadowReachTest, EveryLookupLandsInsideItsFacesRectangleAndUncoveredPixelsCountForNothing) {
    const glm::vec3 light(1.0f, 8.0f, -2.0f);
    std::mt19937 random(7);
    std::uniform_real_distribution<float> patch(-3.0f, 3.0f), deep(-8.0f, -4.0f), unit(-1.0f, 1.0f);
    std::uniform_real_distribution<float> east(2.0f, 12.0f), below(-8.0f, -0.5f), wide(-12.0f, 12.0f);
    std::vector<Pixel> pixels(kWidth * kHeight);
    for (size_t i = 0; i < pixels.size(); ++i) {
        Pixel& p = pixels[i];
        p.covered = random() % 5 != 0;
        // Covered points: a patch under the light, and a wide spread east of it and below
        // (+X, -Y, +Z, -Z); nothing covered lies west of or above the light. Uncovered
        // pixels hold garbage above it.
        if (!p.covered)
            p.position = light + glm::vec3(wide(random), 30.0f, wide(random));
        else if (i % 2 == 0)
            p.position = light + glm::vec3(patch(random), deep(random), patch(random));
        else
            p.position = light + glm::vec3(east(random), below(random), wide(random));
        p.normal = glm::normalize(glm::vec3(unit(random), unit(random), unit(random)) + glm::vec3(0, 0.01f, 0));
    }
    upload(pixels);
    ShadowReach reach;
    ASSERT_TRUE(reach.measure(light, kFaceSize, kWidth, kHeight));
    expectNoGlError();

    int checked = 0;
    for (const Pixel& p : pixels) {
        if (!p.covered) continue;
        glm::vec2 t(0.0f);
        const int face = lookupTexel(p.position + p.normal * 0.02f - light, &t);
        const ShadowReach::Rect& rect = reach.rect(face);
        const int x = static_cast<int>(std::floor(t.x - 0.5f)), y = static_cast<int>(std::floor(t.y - 0.5f));
        EXPECT_LE(rect.x0, std::max(x, 0)) << "face " << face;
        EXPECT_LE(rect.y0, std::max(y, 0)) << "face " << face;
        EXPECT_GE(rect.x1, std::min(x + 2, kFaceSize)) << "face " << face;
        EXPECT_GE(rect.y1, std::min(y + 2, kFaceSize)) << "face " << face;
        ++checked;
    }
    EXPECT_GT(checked, 1000);
    // Nothing covered looks up or west: only the garbage above the light would.
    for (int face : {1, 2}) {
        const ShadowReach::Rect& rect = reach.rect(face);
        EXPECT_TRUE(rect.x0 >= rect.x1 || rect.y0 >= rect.y1) << "face " << face;
    }
}

TEST_F(ShadowReachTest, ALookupAtTheLightNeedsEveryFaceWhole) {
    const glm::vec3 light(0.0f, 5.0f, 0.0f);
    std::vector<Pixel> pixels(kWidth * kHeight);
    pixels[kWidth * kHeight - 1] = Pixel{light, glm::vec3(0.0f), true};
    upload(pixels);
    ShadowReach reach;
    ASSERT_TRUE(reach.measure(light, kFaceSize, kWidth, kHeight));
    for (int face = 0; face < 6; ++face) {
        const ShadowReach::Rect& rect = reach.rect(face);
        EXPECT_EQ(rect.x0, 0);
        EXPECT_EQ(rect.y0, 0);
        EXPECT_EQ(rect.x1, kFaceSize);
        EXPECT_EQ(rect.y1, kFaceSize);
    }
}

}  // namespace
