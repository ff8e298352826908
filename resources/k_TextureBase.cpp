// The common texture base.
#include "resources/k_TextureBase.h"

#include <GL/glew.h>

void k_TextureBase::Bind(int unit)
{
    glActiveTexture(GL_TEXTURE0 + unit);
    glBindTexture(GL_TEXTURE_2D, m_texture);
    // Units past the fixed-function ones serve shaders only, and enabling there is a GL error.
    if (m_fixedFunctionUnits < 0) glGetIntegerv(GL_MAX_TEXTURE_UNITS, &m_fixedFunctionUnits);
    if (unit < m_fixedFunctionUnits) glEnable(GL_TEXTURE_2D);
}
