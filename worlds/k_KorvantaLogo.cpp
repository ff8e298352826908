// The logo holder.
#include "worlds/k_KorvantaLogo.h"

#include "app/IEngine.h"
#include "resources/IResourceFactory.h"
#include "scene/UnitQuad.h"

k_KorvantaLogo::k_KorvantaLogo(IEngine* engine)
{
    IResourceFactory* factory = engine->GetResourceFactory();
    m_material = factory->LoadMaterial(L"Korvanta.mat", L"Korvanta.mat");
    m_quad = CreateUnitQuad(factory, m_material);
}
