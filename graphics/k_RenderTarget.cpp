// An off-screen frame buffer drawn into by a world and sampled through its textures.
#include "graphics/k_RenderTarget.h"

#include <GL/glew.h>
#include <cstdio>
#include <string>

#include "core/IEngine.h"
#include "core/IGraphics.h"
#include "core/IRenderer.h"
#include "graphics/k_RenderTargetTexture.h"
#include "core/IWorld.h"
#include "platform/FatalError.h"
#include "platform/Text.h"

namespace {

constexpr int kMaxDrawAttachments = 4;
constexpr int kSamples = 8;

const char* StatusName(GLenum status)
{
    switch (status) {
    case GL_FRAMEBUFFER_INCOMPLETE_ATTACHMENT_EXT: return "GL_FRAMEBUFFER_INCOMPLETE_ATTACHMENT";
    case GL_FRAMEBUFFER_INCOMPLETE_MISSING_ATTACHMENT_EXT: return "GL_FRAMEBUFFER_INCOMPLETE_MISSING_ATTACHMENT";
    case GL_FRAMEBUFFER_INCOMPLETE_DIMENSIONS_EXT: return "GL_FRAMEBUFFER_INCOMPLETE_DIMENSIONS";
    case GL_FRAMEBUFFER_INCOMPLETE_FORMATS_EXT: return "GL_FRAMEBUFFER_INCOMPLETE_FORMATS";
    case GL_FRAMEBUFFER_INCOMPLETE_DRAW_BUFFER_EXT: return "GL_FRAMEBUFFER_INCOMPLETE_DRAW_BUFFER";
    case GL_FRAMEBUFFER_INCOMPLETE_READ_BUFFER_EXT: return "GL_FRAMEBUFFER_INCOMPLETE_READ_BUFFER";
    case GL_FRAMEBUFFER_UNSUPPORTED_EXT: return "GL_FRAMEBUFFER_UNSUPPORTED";
    case GL_FRAMEBUFFER_INCOMPLETE_MULTISAMPLE_EXT: return "GL_FRAMEBUFFER_INCOMPLETE_MULTISAMPLE";
    case GL_FRAMEBUFFER_UNDEFINED: return "GL_FRAMEBUFFER_UNDEFINED";
    case 0: return "the status query failed";
    default: return "an unknown status";
    }
}

}  // namespace

k_RenderTarget::k_RenderTarget(IEngine* engine, int width, int height)
    : m_engine(engine), m_width(width), m_height(height)
{
    // Room for every list the flags can ask for, so that Bind never allocates.
    m_drawBuffers.reserve(8);
    glGenFramebuffersEXT(1, &m_frameBuffer);
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, m_frameBuffer);

    glGenRenderbuffersEXT(1, &m_colourBuffer);
    glBindRenderbufferEXT(GL_RENDERBUFFER_EXT, m_colourBuffer);
    // Asking for more samples than the driver offers is an error and leaves no storage.
    GLint maxSamples = 0;
    glGetIntegerv(GL_MAX_SAMPLES_EXT, &maxSamples);
    glRenderbufferStorageMultisampleEXT(GL_RENDERBUFFER_EXT, maxSamples < kSamples ? maxSamples : kSamples, GL_RGBA,
                                        width, height);
    glFramebufferRenderbufferEXT(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT0_EXT, GL_RENDERBUFFER_EXT, m_colourBuffer);

    glGenRenderbuffersEXT(1, &m_renderBuffer);
    glBindRenderbufferEXT(GL_RENDERBUFFER_EXT, m_renderBuffer);
    glRenderbufferStorageEXT(GL_RENDERBUFFER_EXT, GL_DEPTH_COMPONENT, width, height);
    glFramebufferRenderbufferEXT(GL_FRAMEBUFFER_EXT, GL_DEPTH_ATTACHMENT_EXT, GL_RENDERBUFFER_EXT, m_renderBuffer);

    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
}

k_RenderTarget::~k_RenderTarget() = default;

ITexture* k_RenderTarget::AddTexture(int format)
{
    const int attachment = static_cast<int>(m_textures.size());
    m_ownTextures.push_back(
        std::make_unique<k_RenderTargetTexture>(format, m_engine, m_width, m_height, m_frameBuffer, attachment));
    m_textures.push_back(m_ownTextures.back().get());
    if (attachment == 0 && m_colourBuffer) {
        // Replaced by the texture and never drawn into: 66 MB of video memory at 1920x1080.
        glDeleteRenderbuffersEXT(1, &m_colourBuffer);
        m_colourBuffer = 0;
    }
    BuildDrawBuffers(DrawAll);
    CheckStatus();
    return m_textures.back();
}

void k_RenderTarget::BuildDrawBuffers(Flags flags)
{
    m_drawBuffers.clear();
    if (flags & DrawAll) {
        for (size_t i = 0; i < m_textures.size(); ++i)
            m_drawBuffers.push_back(GL_COLOR_ATTACHMENT0_EXT + static_cast<unsigned>(i));
    } else {
        for (int i = 0; i < kMaxDrawAttachments; ++i)
            if (flags & (DrawAttachment0 << i)) m_drawBuffers.push_back(GL_COLOR_ATTACHMENT0_EXT + i);
    }
    m_currentFlags = flags;
}

void k_RenderTarget::Bind(Flags flags)
{
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, m_frameBuffer);
    if (flags != m_currentFlags) BuildDrawBuffers(flags);
    if (!m_drawBuffers.empty()) glDrawBuffers(static_cast<GLsizei>(m_drawBuffers.size()), m_drawBuffers.data());
    glViewport(0, 0, m_width, m_height);
    glDepthMask(GL_TRUE);

    if (IWorld* world = m_engine->GetRenderer()->GetCurrentWorld()) {
        if (flags & ClearColour) {
            const float* colour = world->GetClearColor();
            glClearColor(colour[0], colour[1], colour[2], colour[3]);
        }
        if (flags & ClearDepth) glClearDepth(world->GetClearDepth());
    }
    GLbitfield clear = 0;
    if (flags & ClearColour) clear |= GL_COLOR_BUFFER_BIT;
    if (flags & ClearDepth) clear |= GL_DEPTH_BUFFER_BIT;
    if (clear) glClear(clear);
    glEnable(GL_MULTISAMPLE);
}

void k_RenderTarget::Unbind()
{
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
    const IGraphics::Viewport window = m_engine->GetGraphics()->GetViewport();
    glViewport(window.x, window.y, window.width, window.height);
}

unsigned k_RenderTarget::Status()
{
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, m_frameBuffer);
    const GLenum status = glCheckFramebufferStatusEXT(GL_FRAMEBUFFER_EXT);
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
    return status;
}

void k_RenderTarget::CheckStatus()
{
    GLenum status = Status();
    if (status == GL_FRAMEBUFFER_COMPLETE_EXT) return;
    bool changed = false;
    for (const auto& texture : m_ownTextures) changed = texture->UseDrawableStorage() || changed;
    if (changed) status = Status();
    if (status == GL_FRAMEBUFFER_COMPLETE_EXT) return;

    // Out of memory leaves a texture without storage: say so, it is the likely cause.
    const bool outOfMemory = glGetError() == GL_OUT_OF_MEMORY;
    std::string formats;
    for (const auto& texture : m_ownTextures) formats += (formats.empty() ? "" : ", ") + texture->DescribeStorage();
    char size[64];
    std::snprintf(size, sizeof size, "%dx%d", m_width, m_height);
    Platform::ThrowFatal(Text::FromUtf8(std::string("Cannot draw into a render target of ") + size + " (" +
                                        (formats.empty() ? std::string("no texture") : formats) + "): the frame buffer is " +
                                        StatusName(status) + (outOfMemory ? ", out of video memory." : ".")));
}
