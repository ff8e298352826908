// The "deltatime" shader callback.
#include "resources/k_DeltaTimeShaderCallback.h"

#include <memory>

#include "core/IEngine.h"
#include "core/ITimeline.h"
#include "core/IResourceFactory.h"
#include "core/IShaderProgram.h"

void k_DeltaTimeShaderCallback::Apply(IShaderProgram* program, void*)
{
    program->SetFloat("deltatime", static_cast<float>(m_engine->GetTimeline()->GetFrameDelta()));
}

bool k_DeltaTimeShaderCallback::Accepts(IShaderProgram* program)
{
    return program->GetUniformLocation("deltatime") >= 0;
}

void RegisterDeltaTimeCallback(IEngine* engine)
{
    engine->GetResourceFactory()->RegisterShaderCallback(std::make_unique<k_DeltaTimeShaderCallback>(engine));
}
