// One compiled GLSL stage, from an archive file or from source embedded in a material file.
// Owned by the resource factory's shader cache; programs refer to it without owning it.
#pragma once

class IShader {
public:
    // The pipeline stage a shader is compiled for.
    enum Stage { Vertex = 0, Geometry = 1, Pixel = 2 };

    // Deletes the GL shader object.
    virtual ~IShader() = default;

    virtual Stage GetType() = 0;
    // 0 when nothing was compiled (the source file was missing). A failed compile keeps its object.
    virtual unsigned GetShaderObject() = 0;
    // Geometry stage only: GL primitive codes of the input and output primitives and the most
    // vertices one invocation emits. Output must be 0 (points), 3 (line strip) or 5 (triangle
    // strip). Throws a wide message on a non-geometry shader or another output; a later call
    // overwrites. Must be set before a program links the shader.
    virtual void SetGeometryParameters(int input, int output, int maxVertices) = 0;
    // Throws L"Geometry shader parameters were not set!" if SetGeometryParameters never ran.
    virtual void GetGeometryParameters(int& input, int& output, int& maxVertices) = 0;
    // Whether a geometry stage takes its parameters as program parameters (it enables
    // geometry_shader4 before GLSL 1.50) rather than as layout qualifiers in its source.
    virtual bool TakesProgramParameters() = 0;
    // Called by a program before it attaches the stage: a geometry stage that takes no program
    // parameters is compiled with its current ones as layout qualifiers unless it already was.
    // Throws when no parameters were set.
    virtual void PrepareForLinking() = 0;

protected:
    IShader() = default;
    IShader(const IShader&) = delete;
    IShader& operator=(const IShader&) = delete;
};
