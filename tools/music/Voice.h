// A sounding note: renders itself into the mixer until it has died away.
#pragma once

namespace music {

class Voice {
public:
    virtual ~Voice() = default;
    Voice() = default;
    Voice(const Voice&) = delete;
    Voice& operator=(const Voice&) = delete;

    // Adds `count` frames of sound to `left` and `right`. Returns false once the voice
    // has fallen silent for good; the mixer then drops it.
    virtual bool Render(float* left, float* right, int count) = 0;
};

}  // namespace music
