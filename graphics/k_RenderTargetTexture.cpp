// A render target's colour attachment: storage by format code, linear and repeating, no mipmaps.
#include "graphics/k_RenderTargetTexture.h"

#include <GL/glew.h>

#include "platform/Log.h"

namespace {

struct StorageFormat {
    GLint internalFormat;
    GLenum pixelFormat;
    GLenum componentType;
    const char* name;
};

// Indexed by the format code.
constexpr StorageFormat kFormats[] = {
    {3, GL_RGB, GL_UNSIGNED_BYTE, "RGB 8-bit"},
    {GL_RGB32F_ARB, GL_RGB, GL_FLOAT, "RGB 32-bit float (GL_RGB32F)"},
    {4, GL_RGBA, GL_UNSIGNED_BYTE, "RGBA 8-bit"},
    {GL_RGBA32F_ARB, GL_RGBA, GL_FLOAT, "RGBA 32-bit float (GL_RGBA32F)"},
    {1, GL_DEPTH_COMPONENT, GL_UNSIGNED_BYTE, "depth"},
    {1, GL_DEPTH_COMPONENT, GL_FLOAT, "depth float"},
};
constexpr int kFormatCount = static_cast<int>(sizeof kFormats / sizeof kFormats[0]);

// RGB32F is no format GL requires drivers to draw into (Intel drivers refuse it); RGBA32F is, with
// the same precision, and the HDR passes write an alpha of 1 and sample colour only.
constexpr int kRgbFloat = 1;
constexpr StorageFormat kRgbFloatDrawable = kFormats[3];

}  // namespace

k_RenderTargetTexture::k_RenderTargetTexture(int format, IEngine* engine, int width, int height,
                                             unsigned frameBuffer, int attachment)
    : k_TextureBase(engine, format)
{
    m_width = width;
    m_height = height;
    glGenTextures(1, &m_texture);
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, frameBuffer);
    glBindTexture(GL_TEXTURE_2D, m_texture);
    if (format >= 0 && format < kFormatCount) {
        const StorageFormat& f = kFormats[format];
        Store(f.internalFormat, f.pixelFormat, f.componentType);
    } else {
        // The texture stays without storage, so the target is incomplete but nothing reads past the table.
        Log::Error() << "Unknown render target texture format: " << format;
    }
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glFramebufferTexture2DEXT(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT0_EXT + attachment, GL_TEXTURE_2D, m_texture, 0);
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
}

void k_RenderTargetTexture::Store(int internalFormat, unsigned pixelFormat, unsigned componentType)
{
    glTexImage2D(GL_TEXTURE_2D, 0, internalFormat, m_width, m_height, 0, pixelFormat, componentType, nullptr);
}

bool k_RenderTargetTexture::UseDrawableStorage()
{
    if (m_format != kRgbFloat || m_drawable) return false;
    Log::Info() << "OPENGL :: The driver does not draw into " << kFormats[kRgbFloat].name << ": using "
                << kRgbFloatDrawable.name << " instead";
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    glBindTexture(GL_TEXTURE_2D, m_texture);
    Store(kRgbFloatDrawable.internalFormat, kRgbFloatDrawable.pixelFormat, kRgbFloatDrawable.componentType);
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(bound));
    m_drawable = true;
    return true;
}

std::string k_RenderTargetTexture::DescribeStorage() const
{
    if (m_drawable) return kRgbFloatDrawable.name;
    if (m_format >= 0 && m_format < kFormatCount) return kFormats[m_format].name;
    return "unknown format " + std::to_string(m_format);
}
