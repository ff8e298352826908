// A render target's colour attachment: storage by format code, linear and repeating, no mipmaps.
#include "graphics/k_RenderTargetTexture.h"

#include <GL/glew.h>

#include "platform/Log.h"

namespace {

struct StorageFormat {
    GLint internalFormat;
    GLenum pixelFormat;
    GLenum componentType;
};

// Indexed by the format code.
constexpr StorageFormat kFormats[] = {
    {3, GL_RGB, GL_UNSIGNED_BYTE},
    {GL_RGB32F_ARB, GL_RGB, GL_FLOAT},
    {4, GL_RGBA, GL_UNSIGNED_BYTE},
    {GL_RGBA32F_ARB, GL_RGBA, GL_FLOAT},
    {1, GL_DEPTH_COMPONENT, GL_UNSIGNED_BYTE},
    {1, GL_DEPTH_COMPONENT, GL_FLOAT},
};

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
    if (format >= 0 && format < static_cast<int>(sizeof kFormats / sizeof kFormats[0])) {
        const StorageFormat& f = kFormats[format];
        glTexImage2D(GL_TEXTURE_2D, 0, f.internalFormat, width, height, 0, f.pixelFormat, f.componentType, nullptr);
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
