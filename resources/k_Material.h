// A material: passes chosen by the current world's name, each applied as a whole GL state.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/IReloadableMaterial.h"

class IEngine;
class ILight;

class k_Material : public IReloadableMaterial {
public:
    // Loads the material file (no passes for an empty name or a missing file).
    k_Material(const std::wstring& fileName, IEngine* engine);

    bool Apply() override;
    void AddPass(std::unique_ptr<MaterialPass> pass) override;
    const std::vector<std::unique_ptr<MaterialPass>>& GetPasses() override { return m_passes; }
    MaterialPass* FindPass(IWorld* world) override;

    const std::wstring& GetFileName() const override { return m_fileName; }
    const std::vector<std::wstring>& GetSources() const override { return m_sources; }
    void SetSources(const std::vector<std::wstring>& sources) override { m_sources = sources; }
    // Noted by the loader for each file it reads or tries to read.
    void AddSource(const std::wstring& fileName) { m_sources.push_back(fileName); }

private:
    void ApplyPass(const MaterialPass& pass);
    void SetAutomaticUniforms(IShaderProgram& program, IWorld& world);

    IEngine* m_engine;  // not owned
    std::wstring m_fileName;
    std::vector<std::wstring> m_sources;
    std::vector<std::unique_ptr<MaterialPass>> m_passes;
    int m_textureUnits = -1;        // GL_MAX_TEXTURE_COORDS, read on first use
    std::vector<ILight*> m_lights;  // the current world's lights, kept to avoid allocating per frame
};
