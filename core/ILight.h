// A fixed-function OpenGL light with its colours, position, spot and attenuation.
#pragma once

#include "math/Vector.h"

class ILight {
public:
    virtual ~ILight() = default;

    virtual void SetAmbient(const Colour& colour) = 0;
    virtual Colour GetAmbient() = 0;
    virtual void SetDiffuse(const Colour& colour) = 0;
    virtual Colour GetDiffuse() = 0;
    virtual void SetSpecular(const Colour& colour) = 0;
    virtual Colour GetSpecular() = 0;
    // In world coordinates (the camera's modelview is current when the light is enabled);
    // w = 0 makes a directional light.
    virtual void SetLightPosition(const Vector& position) = 0;
    virtual Vector GetLightPosition() = 0;
    // cutoff in degrees; 180 means no spot.
    virtual void SetSpot(const Vector& direction, float exponent, float cutoff) = 0;
    virtual void GetSpot(Vector& direction, float& exponent, float& cutoff) = 0;
    virtual void SetAttenuation(float constant, float linear, float quadratic) = 0;
    virtual void GetAttenuation(float& constant, float& linear, float& quadratic) = 0;
    // Turns on GL_LIGHT0 + index and loads every parameter into it.
    virtual void Enable(int index) = 0;

protected:
    ILight() = default;
    ILight(const ILight&) = delete;
    ILight& operator=(const ILight&) = delete;
};
