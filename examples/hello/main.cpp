// The smallest production on the engine: a window, one world drawing one material from this
// example's own data folder, and a script of timed events that change its colour and end it.
// Copy this folder to start a new demo.
//
//   hello [--frames N]    plays at 30 steps a second; prints each cue and, at the end, the colour
//                         at the centre of the last frame
#include <GL/glew.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "core/IAnimationManager.h"
#include "core/IEvent.h"
#include "core/IShaderProgram.h"
#include "core/ITimeline.h"
#include "engine/FullScreenPass.h"
#include "engine/k_Engine.h"
#include "engine/k_Window.h"
#include "engine/k_World.h"
#include "platform/Display.h"
#include "platform/Paths.h"

namespace {

// One world: the quad of Hello.mat over the whole window.
class HelloWorld : public k_World {
public:
    explicit HelloWorld(IEngine* engine) : k_World(engine, "Hello") {}

    void Initialize() override { m_quad = std::make_unique<FullScreenPass>(m_engine, this, L"Hello.mat"); }
    void OnRenderStage(RenderStage stage) override
    {
        if (stage == AfterClear) m_quad->Draw();
    }
    IShaderProgram* GetProgram() { return m_quad->GetProgram(); }

private:
    std::unique_ptr<FullScreenPass> m_quad;
};

// The script: its cues, each at an instant of the demo clock.
class Script : public IEvent {
public:
    enum Cue { Red, Green, Blue, End };

    Script(IEngine* engine, HelloWorld* world) : m_engine(engine), m_world(world)
    {
        struct Row {
            double time;
            Cue cue;
        };
        const Row kCues[] = {{0.0, Red}, {1.0, Green}, {2.0, Blue}, {3.0, End}};
        for (const Row& row : kCues) engine->GetAnimationManager()->AddEvent(row.time, this, row.cue);
    }

    void Trigger(int type) override
    {
        static const float kTints[End][4] = {{1, 0.2f, 0.1f, 1}, {0.1f, 1, 0.3f, 1}, {0.2f, 0.4f, 1, 1}};
        std::printf("%.3f s: cue %d\n", m_engine->GetTimeline()->GetTime(), type);
        if (type == End) {
            m_engine->SetFinished(true);
        } else if (IShaderProgram* program = m_world->GetProgram()) {
            program->SetVector("tint", kTints[type], 4);
        }
    }

private:
    IEngine* m_engine;
    HelloWorld* m_world;
};

}  // namespace

int main(int argc, char** argv)
{
    long frames = -1;
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], "--frames") == 0) frames = std::strtol(argv[i + 1], nullptr, 10);

    // The data folder is found beside the program (the build copies it there).
    k_Engine engine(Platform::GetExecutableDirectory(), Platform::GetExecutableDirectory() + L"/hello-data");
    k_Window window(L"Korvanta engine example", 640, 360, &engine, false);
    window.Create();
    engine.Initialize();
    HelloWorld world(&engine);
    engine.AddWorld(&world);
    Script script(&engine, &world);

    const double kStep = 1.0 / 30.0;
    unsigned char centre[4] = {};
    for (long frame = 0; !engine.IsFinished() && frame != frames; ++frame) {
        Platform::Event event;
        while (Platform::PollEvent(event)) {
            if (event.type == Platform::Event::Type::Quit) engine.SetFinished(true);
            window.HandleMessage(event);
        }
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        engine.Advance(kStep);
        if (engine.IsFinished() || frame + 1 == frames) glReadPixels(320, 180, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, centre);
        window.Present();
    }
    std::printf("centre %d %d %d\n", centre[0], centre[1], centre[2]);
    return 0;
}
