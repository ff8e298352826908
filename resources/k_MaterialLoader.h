// Reads a material file into a material: the parser's passes, embedded GLSL sections, shader
// and image references become objects of the resource factory as they are read, and included
// material files are loaded afterwards.
#pragma once

#include <map>
#include <string>
#include <utility>

#include "resources/k_MaterialParser.h"

class IShader;
class k_Material;

class k_MaterialLoader : public k_MaterialParser {
public:
    // Loads fileName and then its includes into material (not owned). Problems in the file are
    // logged with the file name and line; an invalid topology or geometry output throws
    // ReportedFailure after logging, so the factory yields no material.
    static void LoadInto(IEngine* engine, k_Material* material, const std::wstring& fileName);

protected:
    void ShaderSectionEnded(ShaderSource&& shader) override;
    void UseShader(const std::string& name) override;
    // A shader file that could not be read is left out, with an error.
    void UseShaderFile(const ShaderFile& file) override;
    // Only the units the driver has: another would be bound as GL_TEXTURE0 + unit.
    bool TextureUnitUsable(long long unit, const std::string& token) override;
    ITexture* LoadTexture(const std::string& file) override;
    // Links the pass's program from the stages chosen in it and adds the pass to the material.
    void PassEnded(Pass&& pass) override;

private:
    // includer: the loader whose include list named this file, on its line includeLine.
    k_MaterialLoader(IEngine* engine, k_Material* material, const std::wstring& fileName,
                     k_MaterialLoader* includer, int includeLine);
    void Run();
    void LoadIncludes();
    bool IsBeingLoaded(const std::wstring& fileName) const;
    // Logs, once per material, that includes were left out and why.
    void ReportCut(const std::wstring& include, int line, const std::string& why);
    // Makes shader the current pass's stage of its type.
    void SetStage(IShader* shader);

    k_Material* m_material;  // not owned
    k_MaterialLoader* m_includer;
    int m_includeLine;
    // The material's own file, which keeps the counts of the whole load.
    k_MaterialLoader& Root() { return static_cast<k_MaterialLoader&>(k_MaterialParser::Root()); }

    int m_depth;               // includes between this file and the root
    int m_includeLoads = 0;    // the root's count of every include loaded
    bool m_cutReported = false;
    IShader* m_vertexShader = nullptr;
    IShader* m_pixelShader = nullptr;
    IShader* m_geometryShader = nullptr;
    std::map<std::wstring, IShader*> m_embeddedShaders;
};
