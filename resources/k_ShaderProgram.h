// A linked GLSL program with location caches, typed uniforms and attached shader callbacks.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "core/IShaderProgram.h"

class IEngine;
class IShader;
class IShaderCallback;

class k_ShaderProgram : public IShaderProgram {
public:
    // Links shaders (not owned; null entries are skipped). Throws when a geometry shader has
    // no parameters; a failed link is only logged, and the program then binds no program
    // (fixed-function drawing) and has no uniforms.
    k_ShaderProgram(IEngine* engine, std::vector<IShader*> shaders);
    ~k_ShaderProgram() override;

    void SetMatrixArray(std::string_view name, const float* data, int count) override;
    void SetMatrix(std::string_view name, const float* data, int size) override;
    void SetVector(std::string_view name, const float* data, int components) override;
    void SetFloat(std::string_view name, float value) override;
    void SetInt(std::string_view name, int value) override;
    int GetInt(std::string_view name) override;
    float GetFloat(std::string_view name) override;
    Vector GetVector4(std::string_view name) override;
    Matrix GetMatrix4(std::string_view name) override;
    int GetAttributeLocation(std::string_view name) override;
    int GetUniformLocation(std::string_view name) override;
    bool AddShaderCallback(const std::wstring& name, void* argument) override;
    void Use() override;

    bool IsLinked() override { return m_linked; }
    const std::string& GetInfoLog() override { return m_infoLog; }

    unsigned GetProgramObject() const { return m_programObject; }
    // For a program that replaces old (a reloaded material): takes over old's callback
    // attachments and the values of its active uniforms, samplers included, wherever this
    // program has a uniform of the same name and type. Leaves the current program as it was.
    void CopyStateFrom(const k_ShaderProgram& old);

private:
    using LocationCache = std::map<std::string, int, std::less<>>;

    void AttachGeometryParameters(IShader* shader);
    void MakeCurrent();
    int Locate(LocationCache& cache, std::string_view name, bool uniform);
    template <typename T, typename Read>
    void ReadUniform(std::string_view name, T* result, size_t count, Read read);

    IEngine* m_engine;  // not owned
    unsigned m_programObject = 0;
    bool m_linked = false;
    std::string m_infoLog;
    LocationCache m_uniformLocations;
    LocationCache m_attributeLocations;
    std::map<std::wstring, std::pair<IShaderCallback*, void*>> m_callbacks;
    std::vector<IShader*> m_shaders;
};
