// Fuzz target: a material text loaded by the real loader, with a few files beside it for its
// includes and shader files. Shaders and programs are compiled by the driver, so it needs a
// display (Xvfb and llvmpipe); the window and context are made once.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "engine/k_Engine.h"
#include "fuzz/FuzzTarget.h"
#include "core/IGraphics.h"
#include "platform/Display.h"
#include "platform/Text.h"
#include "core/IFileSystem.h"
#include "core/IResourceFactory.h"
#include "resources/k_Material.h"

namespace {

// Files a material may name: an include that includes back, and one shader of each stage.
const struct {
    const char* name;
    const char* text;
} kFiles[] = {
    {"inc.mat", "include {\nfuzz.mat\n}\nmaterial {\ntarget Inc\nvertexshader plain.vs\npixelshader plain.ps\n}\n"},
    {"plain.vs", "void main() { gl_Position = ftransform(); }\n"},
    {"plain.ps", "void main() { gl_FragColor = vec4(1.0); }\n"},
};

struct Setup {
    std::string folder;
    Platform::NativeWindow* window = nullptr;  // lives as long as the process
    std::unique_ptr<k_Engine> engine;
};

Setup* Prepare()
{
    auto* setup = new Setup;
    char folder[] = "/tmp/material-fuzz-XXXXXX";
    if (!mkdtemp(folder) || !Platform::InitializeVideo()) std::abort();
    setup->folder = folder;
    for (const auto& file : kFiles) {
        std::FILE* out = std::fopen((setup->folder + "/" + file.name).c_str(), "wb");
        if (!out) std::abort();
        std::fputs(file.text, out);
        std::fclose(out);
    }
    setup->window = Platform::CreateNativeWindow(L"material fuzz", {64, 64}, false);
    if (!setup->window) std::abort();
    setup->engine = std::make_unique<k_Engine>(L".");
    setup->engine->GetGraphics()->CreateContext(setup->window);
    setup->engine->GetGraphics()->Initialize();
    setup->engine->GetFileSystem()->UseDirectory(Text::FromUtf8(setup->folder));
    return setup;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    SilenceLog();
    static Setup* setup = Prepare();
    std::FILE* out = std::fopen((setup->folder + "/fuzz.mat").c_str(), "wb");
    if (!out) return 0;
    std::fwrite(data, 1, size, out);
    std::fclose(out);
    try {
        k_Material material(L"fuzz.mat", setup->engine.get());
    } catch (...) {
        // A refused material is a result too; only crashes, leaks and hangs are findings.
    }
    // Shaders and programs of this input go, so memory stays flat over millions of inputs.
    setup->engine->GetResourceFactory()->ReleaseAll();
    return 0;
}
