// A textured quad that turns to face the camera, one unit high and as wide as its texture's
// aspect ratio, centred on its position.
#pragma once

class ITexture;

class IBillboard {
public:
    // How the billboard turns towards the camera.
    enum Facing {
        Fixed = 0,    // keeps its own orientation
        Upright = 1,  // turns about the vertical axis only
        Full = 2,     // faces the camera fully
    };

    virtual ~IBillboard() = default;

    virtual int GetMode() = 0;
    virtual void SetMode(int mode) = 0;
    // Not owned; must be set before the billboard is drawn on its own.
    virtual void SetTexture(ITexture* texture) = 0;
    virtual ITexture* GetTexture() = 0;

protected:
    IBillboard() = default;
    IBillboard(const IBillboard&) = delete;
    IBillboard& operator=(const IBillboard&) = delete;
};
