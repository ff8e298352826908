// Reads a material file into a material: one pass per "material" section, embedded GLSL
// sections, shader and image references, and included material files loaded afterwards.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/MaterialPass.h"
#include "resources/k_CFileLoader.h"

class IShader;
class k_Material;

class k_MaterialLoader : public k_CFileLoader {
public:
    // Loads fileName and then its includes into material (not owned). Problems in the file are
    // logged with the file name and line; an invalid topology or geometry output throws
    // ReportedFailure after logging, so the factory yields no material.
    k_MaterialLoader(IEngine* engine, k_Material* material, const std::wstring& fileName);

protected:
    bool BeginSection(const std::string& name, const std::vector<std::string>& header) override;
    bool ReadLine(const std::vector<std::string>& tokens, const std::string& line) override;
    bool EndSection(const std::string& name) override;
    // Shader sections take every line: GLSL may hold lines of separators alone.
    bool TakesRawLines() const override;
    void SectionNeverClosed(const std::string& name, int headerLine) override;

private:
    enum Mode { Between = 0, Material = 1, Include = 2, VertexShader = 3, GeometryShader = 4, PixelShader = 5, Ignored = 6 };

    // includer: the loader whose include list named this file, on its line includeLine.
    k_MaterialLoader(IEngine* engine, k_Material* material, const std::wstring& fileName,
                     k_MaterialLoader* includer, int includeLine);
    void Run();
    void LoadIncludes();
    bool IsBeingLoaded(const std::wstring& fileName) const;
    // Logs, once per material, that includes were left out and why.
    void ReportCut(const std::wstring& include, int line, const std::string& why);

    void BeginShaderSection(Mode mode, const std::vector<std::string>& header);
    void EndShaderSection();
    void EndMaterialSection();
    void ReadMaterialKey(const std::vector<std::string>& tokens);
    void ReadTextureSlot(const std::vector<std::string>& tokens, bool load);
    // Makes shader the current pass's stage of its type.
    void UseShader(IShader* shader);
    // The same for a shader file; one that could not be read is left out, with an error.
    void UseShaderFile(IShader* shader, const std::string& fileName);

    // The GL code of a topology word; an unknown one is logged and throws ReportedFailure.
    int Topology(const std::string& word);
    // Values of the file's word tables; an unknown word warns and gives the table's default.
    int Comparison(const std::string& word);
    int Culling(const std::string& word);
    int BlendFactor(const std::string& word);
    int Wrap(const std::string& word);
    bool Boolean(const std::string& word);
    void WarnUnknownValue(const std::string& word);
    // " (file:line)", appended to every line the loader logs about the file.
    std::string Where() const;

    k_Material* m_material;  // not owned
    std::wstring m_fileName;
    k_MaterialLoader* m_includer;
    int m_includeLine;
    k_MaterialLoader* m_root;  // the material's own file: keeps the counts of the whole load
    int m_depth;               // includes between this file and the root
    int m_includeLoads = 0;    // the root's count of every include loaded
    bool m_cutReported = false;
    Mode m_mode = Between;
    IShader* m_vertexShader = nullptr;
    IShader* m_pixelShader = nullptr;
    IShader* m_geometryShader = nullptr;
    std::unique_ptr<MaterialPass> m_pass;
    std::vector<std::wstring> m_callbackNames;
    std::vector<std::pair<std::wstring, int>> m_includes;  // file name and the line naming it
    std::string m_shaderSource;
    std::wstring m_shaderName;
    int m_geometryInput = 0;
    int m_geometryOutput = 0;
    int m_geometryMaxVertices = 0;
    std::map<std::wstring, IShader*> m_embeddedShaders;
};
