// The demo's OpenGL floor: GL 2.1 with GLSL 1.20 (every shader's #version), and the extension
// entry points the render targets call (frame buffer objects, their multisampled render buffers)
// and the float formats of the HDR targets.
#include "app/GlFeatures.h"

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
    return {};
}

void RequireGlFeatures()
{
    const std::string missing = MissingGlFeature(ReadGlCapabilities());
    if (!missing.empty()) Platform::ThrowFatal(L"This demo cannot run here. " + Text::FromUtf8(missing));
}
