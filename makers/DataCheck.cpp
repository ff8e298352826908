// The content check behind "meridian --check-data": a hidden window and a real engine load
// everything, and the log tells what a demo maker must fix.
#include "makers/DataCheck.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <set>
#include <vector>

#include "engine/Music.h"
#include "engine/k_Engine.h"
#include "core/IGraphics.h"
#include "core/IRenderer.h"
#include "platform/Display.h"
#include "platform/Files.h"
#include "platform/Log.h"
#include "platform/OggTune.h"
#include "platform/Paths.h"
#include "platform/Text.h"
#include "core/IFile.h"
#include "core/IFileSystem.h"
#include "core/IMaterial.h"
#include "core/IResourceFactory.h"
#include "core/IShader.h"
#include "core/IShaderProgram.h"
#include "scene/k_Camera.h"
#include "engine/k_World.h"

namespace {

// What the log said while the check ran. The sink is a plain function, hence the one pointer.
struct Report {
    std::string subject;  // the entry being checked
    int errors = 0;
    int warnings = 0;
};
Report* g_report = nullptr;

void Print(Report& report, const char* level, const std::string& text)
{
    std::printf("%s: %s: %s\n", Text::Shown(report.subject).c_str(), level, text.c_str());
    std::fflush(stdout);
}

void CollectLine(Log::Level level, const std::string& text)
{
    Report& report = *g_report;
    // GL errors are logged as information by the graphics device; here they are problems.
    const bool glError = text.rfind("OPENGL :: ERROR", 0) == 0 || text.rfind("OPENGL :: UNKNOWN ERROR", 0) == 0;
    if (level == Log::Level::Error || glError) {
        ++report.errors;
        Print(report, "error", text);
    } else if (level == Log::Level::Warning) {
        ++report.warnings;
        Print(report, "warning", text);
    }
}

void Fail(Report& report, const std::string& text)
{
    ++report.errors;
    Print(report, "error", text);
}

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

bool EndsWith(const std::string& text, const std::string& suffix)
{
    return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// Shader stage by file extension; false for a file that is no shader.
bool StageOf(const std::string& lowerName, IShader::Stage& stage)
{
    if (EndsWith(lowerName, ".vs")) stage = IShader::Vertex;
    else if (EndsWith(lowerName, ".gs")) stage = IShader::Geometry;
    else if (EndsWith(lowerName, ".ps") || EndsWith(lowerName, ".fs")) stage = IShader::Pixel;
    else return false;
    return true;
}

// Programs that code links from archive files, with the geometry parameters the code sets.
struct CodeProgram {
    const char* vertex;
    const char* geometry;
    const char* pixel;
    int input, output, maxVertices;
};
const CodeProgram kCodePrograms[] = {
    {"MarchingCubes/Cubes.vs", "MarchingCubes/Cubes.gs", "MarchingCubes/Cubes.ps", 0, 5, 16},
};

class DataCheck {
public:
    DataCheck(IEngine& engine, Report& report) : m_engine(engine), m_report(report) {}

    void CheckMaterial(const std::string& name)
    {
        IResourceFactory* factory = m_engine.GetResourceFactory();
        const std::wstring wide = Text::FromUtf8(name);
        const int errors = m_report.errors;
        IMaterial* material = factory->LoadMaterial(wide, wide);
        if (!material) {
            if (m_report.errors == errors) Fail(m_report, "the material cannot be loaded");
            return;
        }
        std::set<std::string> targets = {""};
        for (const auto& pass : material->GetPasses()) {
            targets.insert(pass->target);
            IShaderProgram* program = pass->program;
            if (program && !program->IsLinked())
                Fail(m_report, "the program of the pass for '" + pass->target + "' does not link: " + program->GetInfoLog());
        }
        // Applying every pass in a world of its target's name finds GL errors of the state it sets.
        k_Camera camera(&m_engine);
        for (const std::string& target : targets) {
            k_World world(&m_engine, target);
            world.SetCamera(&camera);
            m_engine.GetRenderer()->SetCurrentWorld(&world);
            material->Apply();
            m_engine.GetGraphics()->CheckErrors();
            m_engine.GetRenderer()->SetCurrentWorld(nullptr);
        }
    }

    void CheckShader(const std::string& name, IShader::Stage stage)
    {
        const std::wstring wide = Text::FromUtf8(name);
        IShader* shader = m_engine.GetResourceFactory()->LoadShader(wide, stage, wide);
        if (!shader || stage != IShader::Geometry) return;
        int input, output, maxVertices;
        try {
            shader->GetGeometryParameters(input, output, maxVertices);
            shader->PrepareForLinking();
        } catch (const wchar_t*) {
            // Only a program names the parameters: the stage is compiled with the programs below.
        }
    }

    void CheckCodeProgram(const CodeProgram& code, const std::set<std::string>& entries)
    {
        if (!entries.count(code.vertex) || !entries.count(code.geometry) || !entries.count(code.pixel)) return;
        IResourceFactory* factory = m_engine.GetResourceFactory();
        const std::wstring vertexFile = Text::FromUtf8(code.vertex);
        const std::wstring geometryFile = Text::FromUtf8(code.geometry);
        const std::wstring pixelFile = Text::FromUtf8(code.pixel);
        IShader* vertex = factory->LoadShader(vertexFile, IShader::Vertex, vertexFile);
        IShader* geometry = factory->LoadShader(geometryFile, IShader::Geometry, geometryFile);
        IShader* pixel = factory->LoadShader(pixelFile, IShader::Pixel, pixelFile);
        try {
            geometry->SetGeometryParameters(code.input, code.output, code.maxVertices);
        } catch (const wchar_t* message) {
            Fail(m_report, Text::ToUtf8(message));
            return;
        }
        IShaderProgram* program = factory->CreateShaderProgram({pixel, vertex, geometry});
        if (program && !program->IsLinked()) Fail(m_report, "the program does not link: " + program->GetInfoLog());
    }

    void CheckImage(const std::string& name)
    {
        const std::wstring wide = Text::FromUtf8(name);
        const int errors = m_report.errors;
        if (m_engine.GetResourceFactory()->LoadTexture(wide, wide) || m_report.errors != errors) return;
        const std::string lower = Lower(name);
        if (!EndsWith(name, ".png") && !EndsWith(name, ".jpg") && (EndsWith(lower, ".png") || EndsWith(lower, ".jpg")))
            Fail(m_report, "image extensions must be lower-case, or the image is never loaded");
        else
            Fail(m_report, "the image cannot be loaded");
    }

    // Decoded end to end: a tune that opens may still stop half-way.
    void CheckTune(const std::string& name)
    {
        std::unique_ptr<IFile> tune = m_engine.GetFileSystem()->OpenFile(Text::FromUtf8(name));
        if (!tune) {
            Fail(m_report, "the tune cannot be read");
            return;
        }
        OggTune::Decoder decoder(tune->GetData(), tune->GetSize());
        std::string problem;
        if (!OggTune::DecodeWhole(decoder, problem))
            Fail(m_report, "the tune cannot be played in full: " + problem);
        if (!decoder.Trailing().empty())
            Log::Warning() << "The tune has " << decoder.Trailing();
    }

private:
    IEngine& m_engine;
    Report& m_report;
};

}  // namespace

int RunDataCheck(const std::string& requested)
{
    const std::filesystem::path path = requested.empty()
                                           ? Files::FromUtf8(Text::ToUtf8(Platform::GetExecutableDirectory())) / "data.pak"
                                           : std::filesystem::absolute(Files::FromUtf8(requested));
    Report report;
    report.subject = Files::ToUtf8(path);
    if (!Platform::InitializeVideo()) {
        Fail(report, "no display for the OpenGL context");
        return 1;
    }
    Platform::NativeWindow* window = Platform::CreateNativeWindow(L"meridian --check-data", {64, 64}, false);
    if (!window) {
        Fail(report, "cannot create a window");
        return 1;
    }

    int materials = 0, shaders = 0, images = 0, tunes = 0;
    g_report = &report;
    Log::SetSink(CollectLine);
    try {
        auto engine = std::make_unique<k_Engine>(L".");
        IGraphics* graphics = engine->GetGraphics();
        graphics->CreateContext(window);
        graphics->Resize(64, 64);
        graphics->Initialize();
        IFileSystem* files = engine->GetFileSystem();
        if (!files->Mount(Text::FromUtf8(path.string()))) Fail(report, "neither a folder nor a readable archive");
        std::vector<std::string> entries;
        for (const std::wstring& name : files->ListFiles()) entries.push_back(Text::ToUtf8(name));

        DataCheck check(*engine, report);
        for (const std::string& entry : entries) {
            report.subject = entry;
            const std::string lower = Lower(entry);
            IShader::Stage stage = IShader::Vertex;
            if (EndsWith(lower, ".mat")) {
                ++materials;
                check.CheckMaterial(entry);
            } else if (StageOf(lower, stage)) {
                ++shaders;
                check.CheckShader(entry, stage);
            } else if (EndsWith(lower, ".png") || EndsWith(lower, ".jpg")) {
                ++images;
                check.CheckImage(entry);
            } else if (EndsWith(lower, ".ogg")) {
                ++tunes;
                check.CheckTune(entry);
            }
        }
        const std::string tuneName = Text::ToUtf8(Music::kTuneName);
        if (std::find(entries.begin(), entries.end(), tuneName) == entries.end()) {
            report.subject = tuneName;
            Fail(report, "the music is missing: the demo would play in silence");
        }
        const std::set<std::string> names(entries.begin(), entries.end());
        for (const CodeProgram& code : kCodePrograms) {
            report.subject = code.geometry;
            check.CheckCodeProgram(code, names);
        }
        engine.reset();
    } catch (const wchar_t* message) {
        Fail(report, Text::ToUtf8(message));
    }
    Log::SetSink(nullptr);
    g_report = nullptr;
    Platform::DestroyNativeWindow(window);

    std::printf("Checked %d materials, %d shaders, %d images and %d tunes in %s: %d errors, %d warnings.\n", materials,
                shaders, images, tunes, Text::Shown(path.string()).c_str(), report.errors, report.warnings);
    return report.errors + report.warnings == 0 ? 0 : 1;
}
