// An off-screen frame buffer of fixed size whose colour attachments are textures; a world is
// drawn into it instead of the window, and later passes sample its textures.
#pragma once

#include <vector>

class ITexture;

class IRenderTarget {
public:
    // Target flags handed to Bind (a world's default is ClearDepth | ClearColour | DrawAll);
    // combined with |.
    enum Flags : int {
        None = 0x000,             // no clear, and the frame buffer's draw buffers are left as they are
        ClearDepth = 0x001,
        ClearColour = 0x002,
        DrawAttachment0 = 0x010,  // ... DrawAttachment0 << n draws into attachment n (n < 4)
        DrawAttachment1 = 0x020,
        DrawAttachment2 = 0x040,
        DrawAttachment3 = 0x080,
        DrawAll = 0x100,          // every attachment that has a texture; overrides bits 4 to 7
        WorldDefault = ClearDepth | ClearColour | DrawAll,  // 0x103
    };

    // Destroys the target's textures.
    virtual ~IRenderTarget() = default;

    // format: 0 RGB 8-bit, 1 RGB float, 2 RGBA 8-bit, 3 RGBA float, 4 depth, 5 float depth.
    // Attaches a texture of the target's size at the next colour attachment (the first replaces
    // the multisampled colour buffer) and selects every attachment for drawing. Owned by the target.
    virtual ITexture* AddTexture(int format) = 0;
    // Binds the frame buffer, selects the draw buffers, sets the viewport to the target's size
    // and clears as the flags say, with the renderer's current world's colour and depth.
    virtual void Bind(Flags flags) = 0;
    // Binds the window's frame buffer and restores the window's viewport.
    virtual void Unbind() = 0;
    virtual int GetWidth() = 0;
    virtual int GetHeight() = 0;
    // Index i is attached at colour attachment i.
    virtual const std::vector<ITexture*>& GetTextures() = 0;
    // Queries the frame buffer's completeness; the result is not reported.
    virtual void CheckStatus() = 0;

protected:
    IRenderTarget() = default;
    IRenderTarget(const IRenderTarget&) = delete;
    IRenderTarget& operator=(const IRenderTarget&) = delete;
};

constexpr IRenderTarget::Flags operator|(IRenderTarget::Flags a, IRenderTarget::Flags b)
{
    return static_cast<IRenderTarget::Flags>(static_cast<int>(a) | static_cast<int>(b));
}
