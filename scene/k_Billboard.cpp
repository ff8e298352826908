// A single billboard: a quad as wide as its texture's aspect ratio and one unit high.
#include "scene/k_Billboard.h"

#include <GL/glew.h>

#include "core/ITexture.h"

void k_Billboard::DrawStage(Stage stage)
{
    if (stage == BeforeTransform && (m_mode == Full || m_mode == Upright)) {
        float modelview[16];
        glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
        // Upright keeps the y axis (4, 5, 6) so the billboard turns only about it.
        modelview[0] = modelview[10] = 1;
        modelview[1] = modelview[2] = modelview[8] = modelview[9] = 0;
        if (m_mode == Full) {
            modelview[5] = 1;
            modelview[4] = modelview[6] = 0;
        }
        glLoadMatrixf(modelview);
        return;
    }
    // Without a texture there is no size to draw, and binding would dereference null.
    if (stage != Geometry || !m_texture || m_texture->GetHeight() <= 0) return;
    const float halfWidth = static_cast<float>(m_texture->GetWidth()) / static_cast<float>(m_texture->GetHeight()) * 0.5f;
    glUseProgram(0);
    m_texture->Bind(0);
    glDisable(GL_LIGHTING);
    // The texture is modulated by the current colour, which whoever drew last left behind.
    glColor4f(1, 1, 1, 1);
    glBegin(GL_QUADS);
    glTexCoord2f(1, 1);
    glVertex3f(halfWidth, 0.5f, 0);
    glTexCoord2f(0, 1);
    glVertex3f(-halfWidth, 0.5f, 0);
    glTexCoord2f(0, 0);
    glVertex3f(-halfWidth, -0.5f, 0);
    glTexCoord2f(1, 0);
    glVertex3f(halfWidth, -0.5f, 0);
    glEnd();
    glEnable(GL_LIGHTING);
}
