// One GLSL stage compiled from an archive file or from source text.
#pragma once

#include <string>

#include "core/IShader.h"

class IEngine;

class k_Shader : public IShader {
public:
    // From a file of the archive; the file name becomes the shader's name. A missing file is
    // logged and leaves the shader without a GL object.
    k_Shader(IEngine* engine, Stage type, const std::wstring& fileName);
    // From source text, named name in messages.
    k_Shader(IEngine* engine, Stage type, const std::wstring& name, const std::string& source);
    ~k_Shader() override;

    Stage GetType() override { return m_type; }
    unsigned GetShaderObject() override { return m_shaderObject; }
    void SetGeometryParameters(int input, int output, int maxVertices) override;
    void GetGeometryParameters(int& input, int& output, int& maxVertices) override;

    // Whether a geometry stage of this source takes its parameters as program parameters: a
    // stage before GLSL 1.50 that enables geometry_shader4 (EXT or ARB) by #extension. Any
    // other stage is compiled when a program links it, with the parameters written into its
    // source as layout qualifiers, which GLSL 1.50 requires.
    static bool TakesProgramParameters(const std::string& source);
    bool TakesProgramParameters() override { return m_type == Geometry && !m_deferred; }
    void PrepareForLinking() override;

private:
    void Initialize(const char* source, int length);
    void Compile(const std::string& source);

    IEngine* m_engine;  // not owned
    std::wstring m_name;
    Stage m_type;
    unsigned m_shaderObject = 0;
    // A geometry stage waiting for its parameters keeps its source.
    bool m_deferred = false;
    std::string m_deferredSource;
    bool m_compiledWithParameters = false;
    bool m_parametersSet = false;
    int m_inputTopology = 0;
    int m_outputTopology = 0;
    int m_maxOutputVertices = 0;
};
