// The shadowed point light's stored values.
#include "cpp/PointLightShadow.h"

#include <gtest/gtest.h>

#include <memory>

TEST(PointLightShadow, StartsZeroedAndStoresWhatItIsGiven) {
    sg::PointLightShadow light;
    EXPECT_EQ(light.getPosition(), glm::vec3(0.0f));
    EXPECT_EQ(light.getAmbient(), glm::vec3(0.0f));
    EXPECT_EQ(light.getIntensity(), 0.0);
    EXPECT_FALSE(light.getBoolParameter());
    light.setPosition({1, 2, 3});
    light.setAmbient({0.1f, 0.2f, 0.3f});
    light.setDiffuse({4, 5, 6});
    light.setSpecular({7, 8, 9});
    light.setName("sun");
    light.setName(light.getName());
    light.setBoolParameter(true);
    EXPECT_EQ(light.getPosition(), glm::vec3(1, 2, 3));
    EXPECT_EQ(light.getAmbient(), glm::vec3(0.1f, 0.2f, 0.3f));
    EXPECT_EQ(light.getDiffuse(), glm::vec3(4, 5, 6));
    EXPECT_EQ(light.getSpecular(), glm::vec3(7, 8, 9));
    EXPECT_EQ(light.getName(), "sun");
    EXPECT_TRUE(light.getBoolParameter());
}

TEST(PointLightShadow, IntensityAndParameterAreSinglePrecision) {
    sg::PointLightShadow light;
    const double x = 0.1;
    light.setIntensity(x);
    light.setParameter(1.0 / 3.0);
    EXPECT_EQ(light.getIntensity(), static_cast<double>(static_cast<float>(x)));
    EXPECT_NE(light.getIntensity(), x);
    EXPECT_EQ(light.getParameter(), static_cast<double>(static_cast<float>(1.0 / 3.0)));
}

TEST(PointLightShadow, AlwaysShadowedAndReleasesAReplacedShadowMap) {
    sg::PointLightShadow light;
    EXPECT_TRUE(light.isShadowed());
    light.setShadowFlag(false);
    EXPECT_TRUE(light.isShadowed());
    // A shared reference with a custom deleter stands in for a cube-map target: no GL needed.
    bool firstReleased = false;
    auto first = std::shared_ptr<FboDepthOnlyCubeMap>(reinterpret_cast<FboDepthOnlyCubeMap*>(&firstReleased),
                                                      [&](FboDepthOnlyCubeMap*) { firstReleased = true; });
    light.setShadowMap(first);
    first.reset();
    EXPECT_FALSE(firstReleased);
    light.setShadowMap(std::shared_ptr<FboDepthOnlyCubeMap>());
    EXPECT_TRUE(firstReleased);
}
