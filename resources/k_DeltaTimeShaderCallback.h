// The "deltatime" shader callback: uploads the timeline's last step as "deltatime".
#pragma once

#include "core/IShaderCallback.h"

class IEngine;

class k_DeltaTimeShaderCallback : public IShaderCallback {
public:
    explicit k_DeltaTimeShaderCallback(IEngine* engine) : m_engine(engine) {}

    std::wstring GetName() override { return L"deltatime"; }
    // The argument is not used.
    void Apply(IShaderProgram* program, void* argument) override;
    bool Accepts(IShaderProgram* program) override;

private:
    IEngine* m_engine;  // not owned
};

// Offers a new callback to the engine's resource factory; when one of that name is registered
// already, the new one is destroyed and the registered one serves.
void RegisterDeltaTimeCallback(IEngine* engine);
