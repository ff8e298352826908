// Every stage the loader hands the driver, as the driver received it (the text the loader adds
// included), through the Khronos reference compiler: each stage compiled alone and each program
// linked. Drivers other than the one CI runs on hold to GLSL as written, not to what Mesa lets through.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "core/IMaterial.h"
#include "core/IResourceFactory.h"
#include "core/MaterialPass.h"
#include "platform/Text.h"
#include "resources/k_ShaderProgram.h"
#include "support/GlTest.h"
#include "support/ScratchFolder.h"

namespace {

// GL names are small integers handed out in order; the content makes far fewer than this.
constexpr GLuint kHighestName = 4096;

const char* StageSuffix(GLint type)
{
    switch (type) {
    case GL_VERTEX_SHADER: return "vert";
    case GL_GEOMETRY_SHADER: return "geom";
    default: return "frag";
    }
}

std::string SourceOf(GLuint shader)
{
    GLint length = 0;
    glGetShaderiv(shader, GL_SHADER_SOURCE_LENGTH, &length);
    std::string text(static_cast<size_t>(length > 0 ? length : 1), '\0');
    glGetShaderSource(shader, length, nullptr, text.data());
    return text.c_str();
}

using ShaderReference = GlTest;

TEST_F(ShaderReference, EveryStageCompilesAndEveryProgramLinksInTheReferenceCompiler)
{
    ScratchFolder folder;
    ASSERT_EQ(folder.Run("glslangValidator --version > /dev/null 2>&1"), 0)
        << "glslangValidator is missing (Debian's glslang-tools; scripts/deps.sh installs it)";
    UseBuiltArchive();
    IResourceFactory* factory = engine->GetResourceFactory();

    // What the demo and its viewer link: every material of the archive, and the voxel box's
    // program, which code links with its geometry parameters.
    std::map<GLuint, std::string> names;
    for (const std::wstring& file : engine->GetFileSystem()->ListFiles()) {
        const std::string name = Text::ToUtf8(file);
        if (name.size() < 4 || name.compare(name.size() - 4, 4, ".mat") != 0) continue;
        IMaterial* material = factory->LoadMaterial(file, file);
        ASSERT_NE(material, nullptr) << name;
        for (const auto& pass : material->GetPasses())
            if (auto* program = dynamic_cast<k_ShaderProgram*>(pass->program))
                names[program->GetProgramObject()] = name + " (pass '" + pass->target + "')";
    }
    GLuint beforeBox = 0;
    for (GLuint program = 1; program < kHighestName; ++program)
        if (glIsProgram(program)) beforeBox = program;
    ASSERT_NE(factory->CreateVoxelBox(8, 8, 8), nullptr);

    int programs = 0, stages = 0;
    for (GLuint program = 1; program < kHighestName; ++program) {
        if (!glIsProgram(program)) continue;
        const std::string name = names.count(program) ? names[program]
                                 : program > beforeBox ? "MarchingCubes/Cubes.vs, .gs, .ps (the voxel box)"
                                                       : "program " + std::to_string(program);
        GLuint attached[8] = {};
        GLsizei count = 0;
        glGetAttachedShaders(program, 8, &count, attached);
        std::string files;
        for (GLsizei i = 0; i < count; ++i) {
            GLint type = 0;
            glGetShaderiv(attached[i], GL_SHADER_TYPE, &type);
            const std::string file = "p" + std::to_string(program) + "." + StageSuffix(type);
            folder.Write(file, SourceOf(attached[i]));
            const int code = folder.Run("glslangValidator " + file + " > out 2>&1");
            EXPECT_EQ(code, 0) << name << ", " << StageSuffix(type) << " stage:\n"
                               << folder.Read("out") << "\n--- as the driver got it:\n" << SourceOf(attached[i]);
            files += " " + file;
            ++stages;
        }
        const int code = folder.Run("glslangValidator -l" + files + " > out 2>&1");
        EXPECT_EQ(code, 0) << name << " does not link:\n" << folder.Read("out");
        std::printf("reference compiler: %s: %d stages compile, %s\n", name.c_str(), static_cast<int>(count),
                    code == 0 ? "the program links" : "LINK FAILS");
        ++programs;
    }
    // The shipped content has 16 materials and the voxel box; each has a program.
    EXPECT_GE(programs, 17);
    EXPECT_GE(stages, 2 * programs);
    DrainErrors();
}

}  // namespace
