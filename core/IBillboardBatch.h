// Many billboards drawn as one dynamic mesh with one material and one draw call. Billboards are
// added with AddChild (they are referenced, not owned, and cannot be taken out again); any other
// renderable added that way becomes an ordinary child.
#pragma once

class IMaterial;

class IBillboardBatch {
public:
    virtual ~IBillboardBatch() = default;

    // Passed on to the batch's mesh; not owned.
    virtual void SetMaterial(IMaterial* material) = 0;
    virtual IMaterial* GetMaterial() = 0;

protected:
    IBillboardBatch() = default;
    IBillboardBatch(const IBillboardBatch&) = delete;
    IBillboardBatch& operator=(const IBillboardBatch&) = delete;
};
