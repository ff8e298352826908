// The logo holder.
#include "demo/k_KorvantaLogo.h"

#include "core/IEngine.h"
#include "core/IResourceFactory.h"
#include "scene/UnitQuad.h"

k_KorvantaLogo::k_KorvantaLogo(IEngine* engine)
{
    IResourceFactory* factory = engine->GetResourceFactory();
    m_material = factory->LoadMaterial(L"Korvanta.mat", L"Korvanta.mat");
    m_quad = CreateUnitQuad(factory, m_material);
}
