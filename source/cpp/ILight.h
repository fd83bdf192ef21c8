// A light as a plain parameter holder: position, three colours, intensity, a free
// numeric and boolean parameter and a name. It computes nothing itself.
#pragma once

#include <glm/glm.hpp>

#include <memory>
#include <string>

namespace sg {

class Node;

class ILight {
public:
    virtual ~ILight() = default;

    // Ties the light to nodes of a graph; unused by this program.
    virtual void attach(std::weak_ptr<Node> node, std::weak_ptr<Node> target) = 0;

    virtual glm::vec3 getPosition() const = 0;
    virtual glm::vec3 getAmbient() const = 0;
    virtual glm::vec3 getDiffuse() const = 0;
    virtual glm::vec3 getSpecular() const = 0;
    virtual std::string getName() const = 0;
    virtual double getIntensity() const = 0;
    virtual double getParameter() const = 0;
    virtual bool getBoolParameter() const = 0;

    virtual void setPosition(const glm::vec3& position) = 0;
    virtual void setAmbient(const glm::vec3& ambient) = 0;
    virtual void setDiffuse(const glm::vec3& diffuse) = 0;
    virtual void setSpecular(const glm::vec3& specular) = 0;
    virtual void setIntensity(double intensity) = 0;
    virtual void setParameter(double parameter) = 0;
    virtual void setBoolParameter(bool value) = 0;
    virtual void setName(const std::string& name) = 0;
};

}  // namespace sg
