// A GLSL program with typed uniforms and attached shader callbacks, on a link (the GL program
// object and its location caches) that programs of the same stages share.
#pragma once

#include <functional>
#include <map>
#include <memory>
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

    // Another program of the same link: the GL program object is shared, while its uniform values
    // (as the link left them at first) and its callback attachments are its own. Whichever of them
    // is used or set uploads its own values first, so each behaves as a program of its own.
    std::unique_ptr<k_ShaderProgram> Share() const;

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

    bool IsLinked() override;
    const std::string& GetInfoLog() override;

    unsigned GetProgramObject() const;
    // For a program that replaces old (a reloaded material): takes over old's callback
    // attachments and the values of its active uniforms, samplers included, wherever this
    // program has a uniform of the same name and type. Leaves the current program as it was.
    void CopyStateFrom(const k_ShaderProgram& old);
    // Notes the uniform values as they stand; RewindValues puts them back (nothing when none
    // were noted), uploaded when the program is next made current.
    void MarkValues();
    void RewindValues();

private:
    struct Link;
    // One uniform's value as it was last uploaded: the kind of call and its numbers.
    struct Value {
        int upload = 0;      // how it is uploaded (the kind of glUniform call)
        int components = 0;  // numbers that count: 1 to 4, or 4, 9 or 16 for a matrix
        float floats[16] = {};
        int ints[16] = {};
    };

    k_ShaderProgram(IEngine* engine, std::shared_ptr<Link> link);
    void AttachGeometryParameters(IShader* shader);
    void MakeCurrent();
    int Locate(std::map<std::string, int, std::less<>>& cache, std::string_view name, bool uniform);
    // Notes what a setter uploaded at location, for every element the call reached.
    void Record(int location, int upload, int components, const float* floats, const int* ints, int elements);
    template <typename T>
    void ReadUniform(std::string_view name, T* result, size_t count);

    IEngine* m_engine;  // not owned
    std::shared_ptr<Link> m_link;
    std::vector<Value> m_values;  // by the link's uniform slots
    std::vector<Value> m_marked;  // as MarkValues found them; empty when never noted
    std::map<std::wstring, std::pair<IShaderCallback*, void*>> m_callbacks;
};
