// A linked GLSL program with cached uniform and attribute locations, typed uniform access and
// the shader callbacks it runs whenever it is made current. Owned by the resource factory.
#pragma once

#include <string>
#include <string_view>

#include "math/Matrix.h"
#include "math/Vector.h"

class IShaderProgram {
public:
    // Deletes the GL program object.
    virtual ~IShaderProgram() = default;

    // Every setter first makes the program current (glUseProgram) and does nothing more when
    // the name is not an active uniform. Names are looked up in GL once per program.

    // count 4x4 matrices, column order as OpenGL takes them.
    virtual void SetMatrixArray(std::string_view name, const float* data, int count) = 0;
    // size 1: one float; 2 or 3: a 2x2 matrix from the first four floats; 4: a 4x4 matrix;
    // anything else uploads nothing. Logs pending GL errors afterwards.
    virtual void SetMatrix(std::string_view name, const float* data, int size) = 0;
    // components 1 to 4: a float, vec2, vec3 or vec4; anything else uploads nothing.
    // Logs pending GL errors afterwards.
    virtual void SetVector(std::string_view name, const float* data, int components) = 0;
    virtual void SetFloat(std::string_view name, float value) = 0;
    // Also sets sampler uniforms to a texture unit.
    virtual void SetInt(std::string_view name, int value) = 0;

    // The getters do not bind the program. Unknown names give 0, zeros or the identity.
    virtual int GetInt(std::string_view name) = 0;
    virtual float GetFloat(std::string_view name) = 0;
    virtual Vector GetVector4(std::string_view name) = 0;
    virtual Matrix GetMatrix4(std::string_view name) = 0;

    // -1 for names the program does not use, and always -1 when there is no program object.
    virtual int GetAttributeLocation(std::string_view name) = 0;
    virtual int GetUniformLocation(std::string_view name) = 0;

    // Attaches the callback registered with the resource factory under name, with an opaque
    // argument handed to it on every Use (the "bones" callback takes an IBone*). False, and
    // nothing attached, when no such callback exists or it does not accept this program.
    // Replaces an earlier attachment of the same name.
    virtual bool AddShaderCallback(const std::wstring& name, void* argument) = 0;
    // Makes the program current, then runs the attached callbacks in ascending name order.
    virtual void Use() = 0;

    // Whether the link succeeded, and the driver's link log (empty when it had nothing to say).
    virtual bool IsLinked() = 0;
    virtual const std::string& GetInfoLog() = 0;

protected:
    IShaderProgram() = default;
    IShaderProgram(const IShaderProgram&) = delete;
    IShaderProgram& operator=(const IShaderProgram&) = delete;
};
