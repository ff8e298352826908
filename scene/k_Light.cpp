// A fixed-function light loaded into GL_LIGHT0 + index.
#include "scene/k_Light.h"

#include <GL/glew.h>

void k_Light::SetSpot(const Vector& direction, float exponent, float cutoff)
{
    m_spotDirection = direction;
    m_spotExponent = exponent;
    m_spotCutoff = cutoff;
}

void k_Light::GetSpot(Vector& direction, float& exponent, float& cutoff)
{
    direction = m_spotDirection;
    exponent = m_spotExponent;
    cutoff = m_spotCutoff;
}

void k_Light::SetAttenuation(float constant, float linear, float quadratic)
{
    m_constantAttenuation = constant;
    m_linearAttenuation = linear;
    m_quadraticAttenuation = quadratic;
}

void k_Light::GetAttenuation(float& constant, float& linear, float& quadratic)
{
    constant = m_constantAttenuation;
    linear = m_linearAttenuation;
    quadratic = m_quadraticAttenuation;
}

void k_Light::Enable(int index)
{
    const GLenum light = GL_LIGHT0 + index;
    glEnable(light);
    glLightfv(light, GL_AMBIENT, m_ambient.Data());
    glLightfv(light, GL_DIFFUSE, m_diffuse.Data());
    glLightfv(light, GL_SPECULAR, m_specular.Data());
    glLightfv(light, GL_POSITION, m_position.Data());
    glLightfv(light, GL_SPOT_DIRECTION, m_spotDirection.Data());
    glLightf(light, GL_SPOT_EXPONENT, m_spotExponent);
    glLightf(light, GL_SPOT_CUTOFF, m_spotCutoff);
    glLightf(light, GL_CONSTANT_ATTENUATION, m_constantAttenuation);
    glLightf(light, GL_LINEAR_ATTENUATION, m_linearAttenuation);
    glLightf(light, GL_QUADRATIC_ATTENUATION, m_quadraticAttenuation);
}
