// The logo: "Korvanta.mat" on its own unit quad. Owns neither (the resource factory does).
#pragma once

class IEngine;
class IMaterial;
class IMeshBuffer;

class k_KorvantaLogo {
public:
    explicit k_KorvantaLogo(IEngine* engine);
    virtual ~k_KorvantaLogo() = default;

    IMaterial* GetMaterial() { return m_material; }
    IMeshBuffer* GetQuad() { return m_quad; }

private:
    IMaterial* m_material = nullptr;
    IMeshBuffer* m_quad = nullptr;
};
