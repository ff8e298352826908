// A fixed-function light: its parameters and how they are loaded into one GL light.
#pragma once

#include "math/Vector.h"
#include "core/ILight.h"

class IEngine;

class k_Light : public ILight {
public:
    // A white point light at the origin with no spot and constant attenuation 1.
    explicit k_Light(IEngine* /*engine*/) {}

    void SetAmbient(const Colour& colour) override { m_ambient = colour; }
    Colour GetAmbient() override { return m_ambient; }
    void SetDiffuse(const Colour& colour) override { m_diffuse = colour; }
    Colour GetDiffuse() override { return m_diffuse; }
    void SetSpecular(const Colour& colour) override { m_specular = colour; }
    Colour GetSpecular() override { return m_specular; }
    void SetLightPosition(const Vector& position) override { m_position = position; }
    Vector GetLightPosition() override { return m_position; }
    void SetSpot(const Vector& direction, float exponent, float cutoff) override;
    void GetSpot(Vector& direction, float& exponent, float& cutoff) override;
    void SetAttenuation(float constant, float linear, float quadratic) override;
    void GetAttenuation(float& constant, float& linear, float& quadratic) override;
    void Enable(int index) override;

private:
    Colour m_ambient{0, 0, 0, 0};
    Colour m_diffuse{1, 1, 1, 1};
    Colour m_specular{1, 1, 1, 1};
    Vector m_position{0, 0, 0, 1};
    Vector m_spotDirection{0, 0, 0, 0};
    float m_spotExponent = 0;
    float m_spotCutoff = 180;
    float m_constantAttenuation = 1;
    float m_linearAttenuation = 0;
    float m_quadraticAttenuation = 0;
};
