// The after world.
#include "demo/k_AfterWorld.h"

#include <GL/glew.h>

#include "core/IMaterial.h"
#include "core/IShaderProgram.h"
#include "core/IMeshBuffer.h"
#include "core/IRenderable.h"

void k_AfterWorld::Initialize()
{
    m_logo = std::make_unique<k_KorvantaLogo>(m_engine);
    if (auto* quad = dynamic_cast<IRenderable*>(m_logo->GetQuad())) AddRenderable(quad);
    if (IShaderProgram* program = GetLogoProgram()) program->SetFloat("alpha", 0);
}

void k_AfterWorld::Clear()
{
    // A pass before may have turned depth writes off, which would make the clear a no-op.
    glDepthMask(GL_TRUE);
    glClear(GL_DEPTH_BUFFER_BIT);
}

IShaderProgram* k_AfterWorld::GetLogoProgram()
{
    IMaterial* material = m_logo ? m_logo->GetMaterial() : nullptr;
    MaterialPass* pass = material ? material->FindPass(this) : nullptr;
    return pass ? pass->program : nullptr;
}
