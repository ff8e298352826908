// The "deltatime" shader callback.
#include "resources/k_DeltaTimeShaderCallback.h"

#include "app/IEngine.h"
#include "app/ITimeline.h"
#include "resources/IShaderProgram.h"

void k_DeltaTimeShaderCallback::Apply(IShaderProgram* program, void*)
{
    program->SetFloat("deltatime", static_cast<float>(m_engine->GetTimeline()->GetFrameDelta()));
}

bool k_DeltaTimeShaderCallback::Accepts(IShaderProgram* program)
{
    return program->GetUniformLocation("deltatime") >= 0;
}
