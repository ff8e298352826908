// Render targets on a real context: draw-buffer lists by flags, clears with the current world's
// values, kept contents, viewports, texture storage, and no GL error on the way.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>

#include "core/IRenderer.h"
#include "graphics/k_RenderTarget.h"
#include "graphics/k_RenderTargetTexture.h"
#include "support/GlTest.h"
#include "support/LogCapture.h"
#include "engine/k_World.h"

namespace {

// The names keep the values the flags had as bare numbers.
static_assert(IRenderTarget::None == 0x000 && IRenderTarget::ClearDepth == 0x001);
static_assert(IRenderTarget::ClearColour == 0x002);
static_assert(IRenderTarget::DrawAttachment0 == 0x010 && IRenderTarget::DrawAttachment3 == 0x080);
static_assert(IRenderTarget::DrawAll == 0x100 && IRenderTarget::WorldDefault == 0x103);

using Rgba = std::array<int, 4>;

class RenderTarget : public GlTest {
protected:
    static constexpr int kSize = 16;

    void SetUp() override
    {
        GlTest::SetUp();
        DrainErrors();
        engine->GetRenderer()->SetCurrentWorld(&world);
    }

    void TearDown() override
    {
        engine->GetRenderer()->SetCurrentWorld(nullptr);
        GlTest::TearDown();
    }

    void SetWorldColour(float r, float g, float b, float a)
    {
        const float colour[4] = {r, g, b, a};
        world.SetClearColor(colour);
    }

    // The centre pixel of colour attachment `index` of the bound frame buffer.
    static Rgba Attachment(int index)
    {
        unsigned char rgba[4] = {};
        glReadBuffer(GL_COLOR_ATTACHMENT0_EXT + index);
        glReadPixels(kSize / 2, kSize / 2, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
        return {rgba[0], rgba[1], rgba[2], rgba[3]};
    }

    static float Depth() { return DepthAt(kSize / 2, kSize / 2); }

    static void DrawWhiteSquare()
    {
        ResetToPlainDrawing();
        glColor4f(1, 1, 1, 1);
        glRectf(-1, -1, 1, 1);
    }

    k_World world{nullptr, "Target"};
};

const Rgba kRed{255, 0, 0, 255};
const Rgba kGreen{0, 255, 0, 255};
const Rgba kWhite{255, 255, 255, 255};

TEST_F(RenderTarget, StartsWithoutADrawBufferListAndTheFirstTextureSelectsAttachmentZero)
{
    k_RenderTarget target(engine.get(), kSize, kSize);
    EXPECT_EQ(target.GetCurrentFlags(), IRenderTarget::WorldDefault);
    EXPECT_TRUE(target.GetDrawBuffers().empty());
    EXPECT_TRUE(target.GetTextures().empty());
    ITexture* texture = target.AddTexture(2);
    ASSERT_NE(texture, nullptr);
    EXPECT_EQ(target.GetCurrentFlags(), IRenderTarget::DrawAll);
    EXPECT_EQ(target.GetDrawBuffers(), std::vector<unsigned>{GL_COLOR_ATTACHMENT0_EXT});
    EXPECT_EQ(target.GetTextures(), std::vector<ITexture*>{texture});
    ExpectNoGlErrors();
}

TEST_F(RenderTarget, AMultisampledColourBufferHoldsAttachmentZeroUntilTheFirstTexture)
{
    k_RenderTarget target(engine.get(), kSize, kSize);
    // Bound without clear or draw bits, so that nothing touches the attachments.
    auto attachment = [&target](GLenum point, GLenum parameter) {
        GLint value = -1;
        target.Bind(IRenderTarget::None);
        glGetFramebufferAttachmentParameterivEXT(GL_FRAMEBUFFER_EXT, point, parameter, &value);
        target.Unbind();
        return value;
    };
    const GLint kRenderbuffer = GL_RENDERBUFFER_EXT, kTexture = GL_TEXTURE;
    GLint maxSamples = 0;
    glGetIntegerv(GL_MAX_SAMPLES_EXT, &maxSamples);

    ASSERT_EQ(attachment(GL_COLOR_ATTACHMENT0_EXT, GL_FRAMEBUFFER_ATTACHMENT_OBJECT_TYPE_EXT), kRenderbuffer);
    GLint samples = -1, depthBits = -1;
    glBindRenderbufferEXT(GL_RENDERBUFFER_EXT,
                          attachment(GL_COLOR_ATTACHMENT0_EXT, GL_FRAMEBUFFER_ATTACHMENT_OBJECT_NAME_EXT));
    glGetRenderbufferParameterivEXT(GL_RENDERBUFFER_EXT, GL_RENDERBUFFER_SAMPLES_EXT, &samples);
    EXPECT_EQ(samples, std::min(8, maxSamples));
    EXPECT_EQ(attachment(GL_DEPTH_ATTACHMENT_EXT, GL_FRAMEBUFFER_ATTACHMENT_OBJECT_TYPE_EXT), kRenderbuffer);
    glBindRenderbufferEXT(GL_RENDERBUFFER_EXT,
                          attachment(GL_DEPTH_ATTACHMENT_EXT, GL_FRAMEBUFFER_ATTACHMENT_OBJECT_NAME_EXT));
    glGetRenderbufferParameterivEXT(GL_RENDERBUFFER_EXT, GL_RENDERBUFFER_DEPTH_SIZE_EXT, &depthBits);
    EXPECT_GT(depthBits, 0);
    glBindRenderbufferEXT(GL_RENDERBUFFER_EXT, 0);

    auto* first = static_cast<k_RenderTargetTexture*>(target.AddTexture(2));
    auto* second = static_cast<k_RenderTargetTexture*>(target.AddTexture(2));
    const struct { GLenum point; k_RenderTargetTexture* texture; } cases[] = {
        {GL_COLOR_ATTACHMENT0_EXT, first}, {GL_COLOR_ATTACHMENT0_EXT + 1, second},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.point - GL_COLOR_ATTACHMENT0_EXT);
        EXPECT_EQ(attachment(c.point, GL_FRAMEBUFFER_ATTACHMENT_OBJECT_TYPE_EXT), kTexture);
        EXPECT_EQ(attachment(c.point, GL_FRAMEBUFFER_ATTACHMENT_OBJECT_NAME_EXT),
                  static_cast<GLint>(c.texture->GetTextureObject()));
    }
    EXPECT_EQ(attachment(GL_DEPTH_ATTACHMENT_EXT, GL_FRAMEBUFFER_ATTACHMENT_OBJECT_TYPE_EXT), kRenderbuffer);
    ExpectNoGlErrors();
}

TEST_F(RenderTarget, DrawBufferListsFollowTheFlags)
{
    k_RenderTarget target(engine.get(), kSize, kSize);
    for (int i = 0; i < 3; ++i) target.AddTexture(2);
    const unsigned a0 = GL_COLOR_ATTACHMENT0_EXT;
    using T = IRenderTarget;
    const T::Flags allFour = T::DrawAttachment0 | T::DrawAttachment1 | T::DrawAttachment2 | T::DrawAttachment3;
    const struct { T::Flags flags; std::vector<unsigned> list; } cases[] = {
        {T::DrawAll, {a0, a0 + 1, a0 + 2}},
        {T::ClearColour | T::DrawAttachment0 | T::DrawAttachment2, {a0, a0 + 2}},
        {allFour, {a0, a0 + 1, a0 + 2, a0 + 3}},
        {T::DrawAttachment3, {a0 + 3}},
        {allFour | T::DrawAll, {a0, a0 + 1, a0 + 2}},  // DrawAll takes precedence
        {T::ClearDepth | T::ClearColour, {}},          // no list: the previous selection stays in force
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.flags);
        target.Bind(c.flags);
        EXPECT_EQ(target.GetCurrentFlags(), c.flags);
        EXPECT_EQ(target.GetDrawBuffers(), c.list);
        target.Unbind();
    }
    ExpectNoGlErrors();
}

TEST_F(RenderTarget, Flags052ClearColourOnlyAndDrawIntoAttachmentsZeroAndTwo)
{
    k_RenderTarget target(engine.get(), kSize, kSize);
    for (int i = 0; i < 3; ++i) target.AddTexture(2);

    SetWorldColour(1, 0, 0, 1);
    world.SetClearDepth(0.5f);
    target.Bind(IRenderTarget::WorldDefault);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(Attachment(i), kRed) << i;
    EXPECT_FLOAT_EQ(Depth(), 0.5f);

    SetWorldColour(0, 1, 0, 1);
    world.SetClearDepth(1.0f);
    target.Bind(IRenderTarget::ClearColour | IRenderTarget::DrawAttachment0 | IRenderTarget::DrawAttachment2);
    EXPECT_EQ(Attachment(0), kGreen);
    EXPECT_EQ(Attachment(1), kRed);
    EXPECT_EQ(Attachment(2), kGreen);
    EXPECT_FLOAT_EQ(Depth(), 0.5f);  // depth was not cleared

    DrawWhiteSquare();
    EXPECT_EQ(Attachment(0), kWhite);
    EXPECT_EQ(Attachment(1), kRed);
    EXPECT_EQ(Attachment(2), kWhite);
    target.Unbind();
    ExpectNoGlErrors();
}

TEST_F(RenderTarget, BindWithoutClearBitsKeepsThePreviousContents)
{
    k_RenderTarget target(engine.get(), kSize, kSize);
    target.AddTexture(2);
    SetWorldColour(1, 0, 0, 1);
    target.Bind(IRenderTarget::WorldDefault);
    target.Unbind();
    SetWorldColour(0, 1, 0, 1);
    target.Bind(IRenderTarget::DrawAll);
    EXPECT_EQ(Attachment(0), kRed);
    target.Unbind();
    ExpectNoGlErrors();
}

TEST_F(RenderTarget, ClearingDepthWorksAfterAPassThatTurnedDepthWritesOff)
{
    k_RenderTarget target(engine.get(), kSize, kSize);
    target.AddTexture(2);
    world.SetClearDepth(0.25f);
    target.Bind(IRenderTarget::WorldDefault);
    EXPECT_NEAR(Depth(), 0.25f, 1e-6f);
    glDepthMask(GL_FALSE);  // as a pass with "depthwrite false" leaves it
    world.SetClearDepth(0.75f);
    target.Bind(IRenderTarget::ClearDepth | IRenderTarget::DrawAll);
    EXPECT_NEAR(Depth(), 0.75f, 1e-6f);
    target.Unbind();
    ExpectNoGlErrors();
}

TEST_F(RenderTarget, ClearsWithWhateverColourGlHoldsWhenNoWorldIsCurrent)
{
    k_RenderTarget target(engine.get(), kSize, kSize);
    target.AddTexture(2);
    SetWorldColour(1, 0, 0, 1);
    engine->GetRenderer()->SetCurrentWorld(nullptr);
    glClearColor(0, 1, 0, 1);
    target.Bind(IRenderTarget::ClearColour | IRenderTarget::DrawAll);
    EXPECT_EQ(Attachment(0), kGreen);
    target.Unbind();
    ExpectNoGlErrors();
}

TEST_F(RenderTarget, BindSetsTheTargetsViewportAndUnbindRestoresTheWindows)
{
    k_RenderTarget target(engine.get(), 64, 32);
    target.AddTexture(3);
    GLint viewport[4];
    target.Bind(IRenderTarget::WorldDefault);
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(std::vector<GLint>(viewport, viewport + 4), (std::vector<GLint>{0, 0, 64, 32}));
    GLint frameBuffer = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING_EXT, &frameBuffer);
    EXPECT_NE(frameBuffer, 0);
    EXPECT_TRUE(glIsEnabled(GL_MULTISAMPLE));
    GLboolean depthMask = GL_FALSE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depthMask);
    EXPECT_EQ(depthMask, GL_TRUE);

    target.Unbind();
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(std::vector<GLint>(viewport, viewport + 4),
              (std::vector<GLint>{0, 0, graphics->GetWidth(), graphics->GetHeight()}));
    EXPECT_EQ(graphics->GetWidth(), kWidth);
    glGetIntegerv(GL_FRAMEBUFFER_BINDING_EXT, &frameBuffer);
    EXPECT_EQ(frameBuffer, 0);
    ExpectNoGlErrors();
}

TEST_F(RenderTarget, TexturesGetTheirFormatsStorageAndSampling)
{
    // GL reports the legacy component counts 3 and 4 as they were given.
    const struct { int code; GLint internalFormat; } cases[] = {
        {0, 3}, {1, GL_RGB32F_ARB}, {2, 4}, {3, GL_RGBA32F_ARB},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        k_RenderTarget target(engine.get(), 512, 512);
        auto* texture = static_cast<k_RenderTargetTexture*>(target.AddTexture(c.code));
        EXPECT_EQ(texture->GetFormat(), c.code);
        EXPECT_EQ(texture->GetWidth(), 512);
        EXPECT_EQ(texture->GetHeight(), 512);
        EXPECT_FALSE(texture->HasMipmaps());

        glBindTexture(GL_TEXTURE_2D, texture->GetTextureObject());
        GLint value = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &value);
        EXPECT_EQ(value, c.internalFormat);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &value);
        EXPECT_EQ(value, 512);
        for (GLenum parameter : {GL_TEXTURE_MIN_FILTER, GL_TEXTURE_MAG_FILTER}) {
            glGetTexParameteriv(GL_TEXTURE_2D, parameter, &value);
            EXPECT_EQ(value, GL_LINEAR);
        }
        for (GLenum parameter : {GL_TEXTURE_WRAP_S, GL_TEXTURE_WRAP_T}) {
            glGetTexParameteriv(GL_TEXTURE_2D, parameter, &value);
            EXPECT_EQ(value, GL_REPEAT);
        }
        glBindTexture(GL_TEXTURE_2D, 0);

        glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
        target.Bind(IRenderTarget::DrawAll);
        EXPECT_EQ(glCheckFramebufferStatusEXT(GL_FRAMEBUFFER_EXT), static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE_EXT));
        target.Unbind();
    }
    ExpectNoGlErrors();
}

TEST_F(RenderTarget, CheckStatusLeavesTheWindowBound)
{
    k_RenderTarget target(engine.get(), kSize, kSize);
    target.AddTexture(2);
    target.CheckStatus();
    GLint frameBuffer = -1;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING_EXT, &frameBuffer);
    EXPECT_EQ(frameBuffer, 0);
    ExpectNoGlErrors();
}

TEST_F(RenderTarget, AnUnknownFormatIsReportedAndEndsAsAFatalError)
{
    LogCapture log;
    k_RenderTarget target(engine.get(), kSize, kSize);
    // A texture without storage leaves the frame buffer incomplete: nothing may draw into it.
    try {
        target.AddTexture(9);
        ADD_FAILURE() << "an unknown format must not make a target";
    } catch (const wchar_t* message) {
        EXPECT_EQ(std::wstring(message), L"Cannot draw into a render target of 16x16 (unknown format 9): the frame "
                                         L"buffer is GL_FRAMEBUFFER_INCOMPLETE_ATTACHMENT.");
    }
    EXPECT_TRUE(log.Contains("Unknown render target texture format: 9"));
    ExpectNoGlErrors();
}

// Stores the texture again in a format no driver has to draw into, as a driver that refuses
// the texture's own format sees it.
void StoreUndrawable(k_RenderTargetTexture* texture)
{
    glBindTexture(GL_TEXTURE_2D, texture->GetTextureObject());
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB9_E5, texture->GetWidth(), texture->GetHeight(), 0, GL_RGB, GL_FLOAT,
                 nullptr);
    glBindTexture(GL_TEXTURE_2D, 0);
}

GLint InternalFormat(k_RenderTargetTexture* texture)
{
    GLint value = 0;
    glBindTexture(GL_TEXTURE_2D, texture->GetTextureObject());
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &value);
    glBindTexture(GL_TEXTURE_2D, 0);
    return value;
}

TEST_F(RenderTarget, AnRgbFloatTargetTheDriverRefusesDrawsIntoRgbaFloat)
{
    k_RenderTarget target(engine.get(), kSize, kSize);
    auto* texture = static_cast<k_RenderTargetTexture*>(target.AddTexture(ITexture::RgbFloat));
    EXPECT_EQ(InternalFormat(texture), GL_RGB32F_ARB) << "the format of its code where the driver draws into it";
    StoreUndrawable(texture);
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
    {
        k_RenderTarget probe(engine.get(), kSize, kSize);
        ASSERT_NO_THROW(probe.AddTexture(ITexture::Rgb8));
    }
    LogCapture log;
    ASSERT_NO_THROW(target.CheckStatus());
    EXPECT_EQ(InternalFormat(texture), GL_RGBA32F_ARB);
    EXPECT_EQ(texture->GetFormat(), ITexture::RgbFloat);
    EXPECT_TRUE(log.Contains("OPENGL :: The driver does not draw into RGB 32-bit float (GL_RGB32F): using RGBA "
                             "32-bit float (GL_RGBA32F) instead"));

    // It really draws: white reaches the texture.
    target.Bind(IRenderTarget::DrawAll);
    EXPECT_EQ(glCheckFramebufferStatusEXT(GL_FRAMEBUFFER_EXT), static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE_EXT));
    DrawWhiteSquare();
    EXPECT_EQ(Attachment(0), (Rgba{255, 255, 255, 255}));
    target.Unbind();
    ExpectNoGlErrors();
}

TEST_F(RenderTarget, AnIncompleteTargetIsAFatalErrorNamingItsSizeAndFormats)
{
    k_RenderTarget target(engine.get(), 64, 32);
    target.AddTexture(ITexture::Rgba8);
    auto* second = static_cast<k_RenderTargetTexture*>(target.AddTexture(ITexture::RgbaFloat));
    StoreUndrawable(second);  // RGBA float has no other format to fall back on
    try {
        target.CheckStatus();
        ADD_FAILURE() << "an incomplete target must not pass";
    } catch (const wchar_t* message) {
        // Which incompleteness a driver reports for a format it refuses is its own choice.
        const std::wstring text(message);
        const std::wstring head = L"Cannot draw into a render target of 64x32 (RGBA 8-bit, RGBA 32-bit float "
                                  L"(GL_RGBA32F)): the frame buffer is GL_FRAMEBUFFER_";
        EXPECT_EQ(text.substr(0, head.size()), head);
    }
    GLint frameBuffer = -1;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING_EXT, &frameBuffer);
    EXPECT_EQ(frameBuffer, 0);
    ExpectNoGlErrors();
}

TEST_F(RenderTarget, TheMultisampledColourBufferIsFreedOnceATextureReplacesIt)
{
    k_RenderTarget target(engine.get(), kSize, kSize);
    GLint colourBuffer = 0;
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
    target.Bind(IRenderTarget::None);
    glGetFramebufferAttachmentParameterivEXT(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT0_EXT,
                                             GL_FRAMEBUFFER_ATTACHMENT_OBJECT_NAME_EXT, &colourBuffer);
    target.Unbind();
    ASSERT_NE(colourBuffer, 0);
    EXPECT_TRUE(glIsRenderbufferEXT(static_cast<GLuint>(colourBuffer)));
    target.AddTexture(ITexture::Rgba8);
    EXPECT_FALSE(glIsRenderbufferEXT(static_cast<GLuint>(colourBuffer)));
    ExpectNoGlErrors();
}

}  // namespace
