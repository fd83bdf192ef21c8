// The scene's shadow-casting point light: stored values only. Intensity and the
// free parameter are kept in single precision (setIntensity(x) reads back as
// float(x)). isShadowed() is always true.
#pragma once

#include "cpp/IShadowedPointLight.h"

#include <glm/glm.hpp>

#include <memory>
#include <string>

namespace sg {

class PointLightShadow : public IShadowedPointLight {
public:
    PointLightShadow() = default;

    void attach(std::weak_ptr<Node>, std::weak_ptr<Node>) override {}

    glm::vec3 getPosition() const override { return _position; }
    glm::vec3 getAmbient() const override { return _ambient; }
    glm::vec3 getDiffuse() const override { return _diffuse; }
    glm::vec3 getSpecular() const override { return _specular; }
    std::string getName() const override { return _name; }
    double getIntensity() const override { return _intensity; }
    double getParameter() const override { return _parameter; }
    bool getBoolParameter() const override { return _boolParameter; }

    void setPosition(const glm::vec3& position) override { _position = position; }
    void setAmbient(const glm::vec3& ambient) override { _ambient = ambient; }
    void setDiffuse(const glm::vec3& diffuse) override { _diffuse = diffuse; }
    void setSpecular(const glm::vec3& specular) override { _specular = specular; }
    void setIntensity(double intensity) override { _intensity = static_cast<float>(intensity); }
    void setParameter(double parameter) override { _parameter = static_cast<float>(parameter); }
    void setBoolParameter(bool value) override { _boolParameter = value; }
    void setName(const std::string& name) override { _name = name; }

    void setShadowFlag(bool flag) override { _shadowFlag = flag; }
    void setShadowMap(std::shared_ptr<FboDepthOnlyCubeMap> shadowMap) override;
    void updateShadow() override {}
    bool isShadowed() const override { return true; }

    std::shared_ptr<FboDepthOnlyCubeMap> getShadowMap() const { return _shadowMap; }
    bool getShadowFlag() const { return _shadowFlag; }

private:
    bool _shadowFlag = false;
    std::shared_ptr<FboDepthOnlyCubeMap> _shadowMap;
    glm::vec3 _position{0.0f};
    glm::vec3 _ambient{0.0f};
    glm::vec3 _diffuse{0.0f};
    glm::vec3 _specular{0.0f};
    bool _boolParameter = false;
    std::string _name;
    float _parameter = 0.0f;
    float _intensity = 0.0f;
};

}  // namespace sg
