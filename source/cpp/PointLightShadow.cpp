#include "cpp/PointLightShadow.h"

namespace sg {

// Replacing the reference releases the previous target. The shared reference carries
// its own deleter, so the cube-map type can stay incomplete here.
void PointLightShadow::setShadowMap(std::shared_ptr<FboDepthOnlyCubeMap> shadowMap) {
    _shadowMap = std::move(shadowMap);
}

}  // namespace sg
