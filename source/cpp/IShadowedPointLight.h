// A point light that casts an omnidirectional shadow into a depth cube map.
#pragma once

#include "cpp/ILight.h"

#include <memory>

class FboDepthOnlyCubeMap;

namespace sg {

class IShadowedPointLight : public ILight {
public:
    virtual void setShadowFlag(bool flag) = 0;
    // Keeps the target alive for as long as the light holds it.
    virtual void setShadowMap(std::shared_ptr<FboDepthOnlyCubeMap> shadowMap) = 0;
    // Hook for per-frame shadow bookkeeping; nothing needs it yet.
    virtual void updateShadow() = 0;
    virtual bool isShadowed() const = 0;
};

}  // namespace sg
