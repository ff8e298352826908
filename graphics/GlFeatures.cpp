// The demo's OpenGL floor: GL 2.1 with GLSL 1.20 (every shader's #version), the extension
// entry points the render targets call (frame buffer objects, their multisampled render buffers),
// the float formats of the HDR targets, a float frame buffer the driver really draws into, and
// the two colour outputs of the terrain's passes.
#include "graphics/GlFeatures.h"

#include <GL/glew.h>
#include <cstdio>

#include "platform/FatalError.h"
#include "platform/Text.h"

namespace {

struct Extension {
    const char* name;
    const char* feature;
};

const Extension kNeeded[] = {
    {"GL_EXT_framebuffer_object", "frame buffer objects"},
    {"GL_ARB_texture_float", "float textures"},
    {"GL_EXT_framebuffer_multisample", "multisampled render buffers"},
};

bool HasExtension(const std::string& list, const char* name)
{
    const std::string word(name);
    for (size_t at = list.find(word); at != std::string::npos; at = list.find(word, at + 1)) {
        const bool startsWord = at == 0 || list[at - 1] == ' ';
        const size_t end = at + word.size();
        if (startsWord && (end == list.size() || list[end] == ' ')) return true;
    }
    return false;
}

// "4.5 (Compatibility Profile) Mesa 22.3.6" and "OpenGL ES 3.2 ..." alike: the first "N.M".
void ReadVersion(const char* text, int& major, int& minor)
{
    major = minor = 0;
    if (!text) return;
    for (; *text; ++text)
        if (std::sscanf(text, "%d.%d", &major, &minor) == 2) return;
    major = minor = 0;
}

bool AtLeast(int major, int minor, int wantMajor, int wantMinor)
{
    return major > wantMajor || (major == wantMajor && minor >= wantMinor);
}

// The terrain's passes write gl_FragData[0] and [1]; GL 2.x guarantees one draw buffer.
constexpr int kDrawBuffersNeeded = 2;
// The voxel scene's stages are GLSL 1.50 with a geometry stage, an integer and a 3-D float texture.
constexpr int kVoxelGlslMajor = 1;
constexpr int kVoxelGlslMinor = 50;

// The float format the scene and terrain targets draw into, on a small frame buffer of its own.
bool FloatTargetCompletes()
{
    constexpr int kSide = 4;
    GLuint frameBuffer = 0, texture = 0;
    glGenFramebuffersEXT(1, &frameBuffer);
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, frameBuffer);
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA32F_ARB, kSide, kSide, 0, GL_RGBA, GL_FLOAT, nullptr);
    glFramebufferTexture2DEXT(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT0_EXT, GL_TEXTURE_2D, texture, 0);
    const bool complete = glCheckFramebufferStatusEXT(GL_FRAMEBUFFER_EXT) == GL_FRAMEBUFFER_COMPLETE_EXT;
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
    glBindTexture(GL_TEXTURE_2D, 0);
    glDeleteTextures(1, &texture);
    glDeleteFramebuffersEXT(1, &frameBuffer);
    return complete;
}

[[noreturn]] void ThrowMissing(const char* head, const std::string& missing)
{
    Platform::ThrowFatal(Text::FromUtf8(head + missing));
}

}  // namespace

GlCapabilities ReadGlCapabilities()
{
    GlCapabilities capabilities;
    ReadVersion(reinterpret_cast<const char*>(glGetString(GL_VERSION)), capabilities.major, capabilities.minor);
    ReadVersion(reinterpret_cast<const char*>(glGetString(GL_SHADING_LANGUAGE_VERSION)), capabilities.glslMajor,
                capabilities.glslMinor);
    if (const GLubyte* list = glGetString(GL_EXTENSIONS)) {
        capabilities.extensions = reinterpret_cast<const char*>(list);
    } else if (glGetStringi) {  // a core context has no single list
        GLint count = 0;
        glGetIntegerv(GL_NUM_EXTENSIONS, &count);
        for (GLint i = 0; i < count; ++i)
            if (const GLubyte* name = glGetStringi(GL_EXTENSIONS, static_cast<GLuint>(i)))
                capabilities.extensions.append(reinterpret_cast<const char*>(name)).append(" ");
    }
    // A 1.1 renderer resolves no later entry point: nothing past 1.1 is called through a null one.
    if (AtLeast(capabilities.major, capabilities.minor, 2, 0) && glDrawBuffers)
        glGetIntegerv(GL_MAX_DRAW_BUFFERS, &capabilities.maxDrawBuffers);
    if (HasExtension(capabilities.extensions, "GL_EXT_framebuffer_object") && glGenFramebuffersEXT &&
        glBindFramebufferEXT && glFramebufferTexture2DEXT && glCheckFramebufferStatusEXT && glDeleteFramebuffersEXT)
        capabilities.floatTargetCompletes = FloatTargetCompletes();
    glGetError();  // a refused query must not show up in the first frame's error log
    return capabilities;
}

std::string MissingGlFeature(const GlCapabilities& capabilities)
{
    char line[160];
    if (!AtLeast(capabilities.major, capabilities.minor, 2, 1)) {
        std::snprintf(line, sizeof line, "OpenGL 2.1 is needed; this driver offers OpenGL %d.%d.", capabilities.major,
                      capabilities.minor);
        return line;
    }
    if (!AtLeast(capabilities.glslMajor, capabilities.glslMinor, 1, 20)) {
        std::snprintf(line, sizeof line, "GLSL 1.20 is needed; this driver offers GLSL %d.%02d.",
                      capabilities.glslMajor, capabilities.glslMinor);
        return line;
    }
    for (const Extension& extension : kNeeded)
        if (!HasExtension(capabilities.extensions, extension.name)) {
            std::snprintf(line, sizeof line, "The driver lacks %s (%s).", extension.feature, extension.name);
            return line;
        }
    if (capabilities.maxDrawBuffers < kDrawBuffersNeeded) {
        std::snprintf(line, sizeof line, "%d draw buffers are needed; this driver offers %d (GL_MAX_DRAW_BUFFERS).",
                      kDrawBuffersNeeded, capabilities.maxDrawBuffers);
        return line;
    }
    if (!capabilities.floatTargetCompletes)
        return "The driver cannot draw into a float frame buffer (GL_RGBA32F colour attachment incomplete).";
    return {};
}

std::string MissingVoxelFeature(const GlCapabilities& capabilities)
{
    char line[160];
    if (!AtLeast(capabilities.glslMajor, capabilities.glslMinor, kVoxelGlslMajor, kVoxelGlslMinor)) {
        std::snprintf(line, sizeof line, "GLSL %d.%02d is needed; this driver offers GLSL %d.%02d.", kVoxelGlslMajor,
                      kVoxelGlslMinor, capabilities.glslMajor, capabilities.glslMinor);
        return line;
    }
    const bool geometry = AtLeast(capabilities.major, capabilities.minor, 3, 2) ||
                          HasExtension(capabilities.extensions, "GL_ARB_geometry_shader4") ||
                          HasExtension(capabilities.extensions, "GL_EXT_geometry_shader4");
    if (!geometry) return "The driver lacks geometry shaders (OpenGL 3.2 or GL_ARB_geometry_shader4).";
    const bool integer = AtLeast(capabilities.major, capabilities.minor, 3, 0) ||
                         HasExtension(capabilities.extensions, "GL_EXT_texture_integer");
    if (!integer) return "The driver lacks integer textures (OpenGL 3.0 or GL_EXT_texture_integer).";
    // 3-D float textures: 3-D textures are OpenGL 1.2, float formats are in the demo's own floor.
    return {};
}

void RequireGlFeatures(const GlCapabilities& capabilities)
{
    const std::string missing = MissingGlFeature(capabilities);
    if (!missing.empty()) ThrowMissing("This demo cannot run here. ", missing);
}

void RequireVoxelFeatures()
{
    const std::string missing = MissingVoxelFeature(ReadGlCapabilities());
    if (!missing.empty()) ThrowMissing("The voxel scene cannot run here. ", missing);
}
