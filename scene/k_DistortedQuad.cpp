// The distorted picture quad: its material instance, unit-quad geometry and aspect uniform.
#include "scene/k_DistortedQuad.h"

#include <GL/glew.h>
#include <cstdint>
#include <cwchar>

#include "core/IEngine.h"
#include "core/IMaterial.h"
#include "core/IResourceFactory.h"
#include "core/IShaderProgram.h"
#include "core/ITexture.h"
#include "core/MaterialPass.h"
#include "scene/UnitQuad.h"

k_DistortedQuad::k_DistortedQuad(IEngine* engine, ITexture* texture) : k_MeshBuffer(engine), m_texture(texture)
{
    // The whole address: a 64-bit pointer cut to 32 bits could give two textures one material.
    wchar_t name[32];
    std::swprintf(name, sizeof name / sizeof name[0], L"Quad%llx",
                  static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(texture)));
    m_quadMaterial = engine->GetResourceFactory()->LoadMaterial(name, L"Common/DistortedQuad.mat");
    if (m_quadMaterial && !m_quadMaterial->GetPasses().empty()) {
        MaterialPass& pass = *m_quadMaterial->GetPasses().front();
        pass.textures[0] = TextureSlot{texture, GL_REPEAT, GL_REPEAT};
    }
    SetMaterial(m_quadMaterial);
    FillUnitQuad(this);
}

void k_DistortedQuad::DrawStage(Stage stage)
{
    if (stage == BeforeTransform) {
        if (!m_quadMaterial || m_quadMaterial->GetPasses().empty() || !m_texture || m_texture->GetHeight() == 0)
            return;
        if (IShaderProgram* program = m_quadMaterial->GetPasses().front()->program)
            program->SetFloat("texAspectRatio",
                              static_cast<float>(m_texture->GetWidth()) / static_cast<float>(m_texture->GetHeight()));
        return;
    }
    k_MeshBuffer::DrawStage(stage);
}
