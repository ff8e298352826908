// The engine's shut-down: what the resource factory made goes while its GL context is current.
#include <gtest/gtest.h>

#include <GL/glew.h>
#include <memory>

#include "core/IResourceFactory.h"
#include "core/IShaderCallback.h"
#include "engine/k_Engine.h"
#include "engine/k_Window.h"

namespace {

// Owned by the factory like every GL resource; notes whether a context was current when it went.
struct ContextProbe : IShaderCallback {
    explicit ContextProbe(int& seen) : seen(seen) {}
    ~ContextProbe() override { seen = glGetString(GL_VERSION) ? 1 : 0; }
    std::wstring GetName() override { return L"probe"; }
    void Apply(IShaderProgram*, void*) override {}
    bool Accepts(IShaderProgram*) override { return false; }
    int& seen;
};

void Probe(IEngine& engine, int& seen)
{
    ASSERT_EQ(engine.GetResourceFactory()->RegisterShaderCallback(std::make_unique<ContextProbe>(seen)), nullptr);
}

TEST(EngineShutDown, ReleasingTheContextEmptiesTheFactoryFirst)
{
    int seen = -1;
    k_Engine engine(L".");
    k_Window window(L"test", 64, 64, &engine, false);
    window.Create();
    Probe(engine, seen);
    engine.ReleaseContext();
    EXPECT_EQ(seen, 1) << "the factory's objects went while the context was current";
    EXPECT_EQ(engine.GetResourceFactory()->GetShaderCallback(L"bones"), nullptr) << "nothing made is left";
    EXPECT_EQ(glGetString(GL_VERSION), nullptr) << "the context is gone";
}

TEST(EngineShutDown, AnEngineEndedBeforeItsWindowReleasesWhatItMadeFirst)
{
    int first = -1, second = -1;
    auto engine = std::make_unique<k_Engine>(L".");
    auto window = std::make_unique<k_Window>(L"test", 64, 64, engine.get(), false);
    window->Create();
    Probe(*engine, first);
    engine.reset();  // the window outlives it and takes another
    EXPECT_EQ(first, 1);

    auto next = std::make_unique<k_Engine>(L".");
    window->AttachEngine(next.get());
    Probe(*next, second);
    window.reset();
    EXPECT_EQ(second, 1);
    next.reset();
    EXPECT_EQ(second, 1);
}

}  // namespace
