// Materials. Applying a pass sets every piece of state it owns, so the order of draws never leaks
// state from one material into the next.
#include "resources/k_Material.h"

#include <GL/glew.h>
#include <cstdio>

#include "core/IEngine.h"
#include "core/ITimeline.h"
#include "core/IGraphics.h"
#include "core/IRenderer.h"
#include "math/Matrix.h"
#include "core/IShaderProgram.h"
#include "core/ITexture.h"
#include "resources/DrawingNow.h"
#include "resources/k_MaterialLoader.h"
#include "core/ICamera.h"
#include "core/IWorld.h"

namespace {

const int kNamedSlots = 8;
const char* const kSamplerNames[kNamedSlots] = {"texture0", "texture1", "texture2", "texture3",
                                                "texture4", "texture5", "texture6", "texture7"};
const char* const kSizeNames[kNamedSlots] = {"texture0Ddxy", "texture1Ddxy", "texture2Ddxy", "texture3Ddxy",
                                             "texture4Ddxy", "texture5Ddxy", "texture6Ddxy", "texture7Ddxy"};

}  // namespace

k_Material::k_Material(const std::wstring& fileName, IEngine* engine) : m_engine(engine), m_fileName(fileName)
{
    if (!fileName.empty()) k_MaterialLoader::LoadInto(engine, this, fileName);
}

void k_Material::AddPass(std::unique_ptr<MaterialPass> pass)
{
    for (std::unique_ptr<MaterialPass>& existing : m_passes)
        if (existing->target == pass->target) {
            existing = std::move(pass);
            return;
        }
    m_passes.push_back(std::move(pass));
}

MaterialPass* k_Material::FindPass(IWorld* world)
{
    if (!world) world = m_engine->GetRenderer()->GetCurrentWorld();
    const std::string name = world ? world->GetName() : std::string();
    MaterialPass* fallback = nullptr;
    for (const std::unique_ptr<MaterialPass>& pass : m_passes) {
        if (world && pass->target == name) return pass.get();
        if (!fallback && pass->target.empty()) fallback = pass.get();
    }
    return fallback;
}

bool k_Material::Apply()
{
    IWorld* world = m_engine->GetRenderer()->GetCurrentWorld();
    MaterialPass* pass = FindPass(world);
    if (!pass) return false;
    DrawingNow::Note(world, this);
    ApplyPass(*pass);
    return true;
}

void k_Material::ApplyPass(const MaterialPass& pass)
{
    if (pass.cullFace) {
        glEnable(GL_CULL_FACE);
        glCullFace(pass.cullFace);
    } else {
        glDisable(GL_CULL_FACE);
    }
    glDepthMask(pass.depthWrite ? GL_TRUE : GL_FALSE);
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, pass.ambient.Data());
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, pass.diffuse.Data());
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, pass.specular.Data());
    glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, pass.emissive.Data());
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, pass.shininess);
    // "disabled" (0) names no GL function: the test then lets every fragment through, and
    // depth is still written as the pass says.
    glDepthFunc(pass.depthFunction ? pass.depthFunction : GL_ALWAYS);
    if (pass.blending) {
        glEnable(GL_BLEND);
        glBlendFunc(pass.sourceBlendFactor, pass.destinationBlendFactor);
    } else {
        glDisable(GL_BLEND);
    }
    if (pass.alphaTestFunction) {
        glEnable(GL_ALPHA_TEST);
        glAlphaFunc(pass.alphaTestFunction, pass.alphaReference);
    } else {
        glDisable(GL_ALPHA_TEST);
    }

    if (m_textureUnits < 0) glGetIntegerv(GL_MAX_TEXTURE_COORDS, &m_textureUnits);
    for (int unit = 0; unit < m_textureUnits; ++unit) {
        glActiveTexture(GL_TEXTURE0 + unit);
        glBindTexture(GL_TEXTURE_2D, 0);
    }

    IShaderProgram* program = pass.program;
    if (program) program->Use();

    int k = 0;
    for (const auto& [unit, slot] : pass.textures) {
        if (ITexture* texture = slot.texture) {
            texture->Bind(unit);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, slot.wrapS);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, slot.wrapT);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER,
                            texture->HasMipmaps() ? GL_LINEAR_MIPMAP_LINEAR : GL_LINEAR);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
            if (program) {
                // The usual slots' names are written out, so a frame formats none; the buffers
                // are wide enough for any int k, so a pass may hold any number of slots.
                char sampler[32];
                char size[32];
                const char* samplerName = k < kNamedSlots ? kSamplerNames[k] : sampler;
                const char* sizeName = k < kNamedSlots ? kSizeNames[k] : size;
                if (k >= kNamedSlots) {
                    std::snprintf(sampler, sizeof sampler, "texture%d", k);
                    std::snprintf(size, sizeof size, "texture%dDdxy", k);
                }
                const float width = static_cast<float>(texture->GetWidth());
                const float height = static_cast<float>(texture->GetHeight());
                const float ddxy[4] = {1.0f / width, 1.0f / height, width, height};
                program->SetInt(samplerName, unit);
                program->SetVector(sizeName, ddxy, 4);
            }
        }
        ++k;
    }

    IWorld* world = m_engine->GetRenderer()->GetCurrentWorld();
    if (program && world) SetAutomaticUniforms(*program, *world);
}

void k_Material::SetAutomaticUniforms(IShaderProgram& program, IWorld& world)
{
    world.CopyLights(m_lights);
    program.SetInt("numOfLights", static_cast<int>(m_lights.size()));
    program.SetFloat("demoTime", static_cast<float>(m_engine->GetTimeline()->GetTime()));
    program.SetFloat("aspectRatio", m_engine->GetGraphics()->GetAspectRatio());
    ICamera* camera = world.GetCamera();
    if (!camera) return;
    const Vector eye = camera->GetEye();
    const Vector direction = camera->GetDirection();
    program.SetVector("eyePosition", eye.Data(), 3);
    program.SetVector("eyeDirection", direction.Data(), 3);
    const Matrix view(camera->GetViewMatrix());
    program.SetMatrix("viewMatrix", view.Data(), 4);
    program.SetMatrix("viewMatrixInverse", view.Inverse().Data(), 4);
}
