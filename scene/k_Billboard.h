// One billboard drawn in immediate mode; BeforeTransform strips the rotation from the modelview so the
// billboard's own transform applies in a camera-aligned frame.
#pragma once

#include "core/IBillboard.h"
#include "scene/k_Renderable.h"

class k_Billboard : public IBillboard, public k_Renderable {
public:
    explicit k_Billboard(IEngine* engine) : k_Renderable(engine) {}

    int GetMode() override { return m_mode; }
    void SetMode(int mode) override { m_mode = mode; }
    void SetTexture(ITexture* texture) override { m_texture = texture; }
    ITexture* GetTexture() override { return m_texture; }

    void DrawStage(Stage stage) override;

private:
    ITexture* m_texture = nullptr;  // not owned
    int m_mode = Fixed;
};
