// The material file's grammar. Keys, words and values compare exactly and case-sensitively.
// No GL here: the words' values are GL's constants written out (a test holds them to GL's).
#include "resources/k_MaterialParser.h"

#include <climits>
#include <cstdlib>

#include "core/PrimitiveTopology.h"
#include "platform/Log.h"
#include "platform/Text.h"
#include "resources/ReportedFailure.h"

namespace {

namespace Gl {
constexpr int Never = 0x0200, Less = 0x0201, Equal = 0x0202, LessEqual = 0x0203, Greater = 0x0204,
              NotEqual = 0x0205, GreaterEqual = 0x0206, Always = 0x0207;
constexpr int Front = 0x0404, Back = 0x0405;
constexpr int Zero = 0, One = 1, SrcColor = 0x0300, OneMinusSrcColor = 0x0301, SrcAlpha = 0x0302,
              OneMinusSrcAlpha = 0x0303, DstAlpha = 0x0304, OneMinusDstAlpha = 0x0305, DstColor = 0x0306,
              OneMinusDstColor = 0x0307, SrcAlphaSaturate = 0x0308;
constexpr int ClampToEdge = 0x812F, Repeat = 0x2901, MirroredRepeat = 0x8370;
}  // namespace Gl

struct Word {
    const char* word;
    int value;
};

// The value of word in table, or false when the table lacks it.
template <size_t N>
bool Look(const Word (&table)[N], const std::string& word, int& value)
{
    for (const Word& row : table)
        if (word == row.word) {
            value = row.value;
            return true;
        }
    return false;
}

const Word kComparisons[] = {
    {"never", Gl::Never},       {"disabled", 0},              {"less", Gl::Less},
    {"equal", Gl::Equal},       {"lessequal", Gl::LessEqual}, {"greater", Gl::Greater},
    {"notequal", Gl::NotEqual}, {"greaterequal", Gl::GreaterEqual}, {"always", Gl::Always},
};
const Word kCulling[] = {{"none", 0}, {"front", Gl::Front}, {"back", Gl::Back}, {"all", Gl::Back}};
const Word kBlendFactors[] = {
    {"zero", Gl::Zero},
    {"one", Gl::One},
    {"srccolor", Gl::SrcColor},
    {"oneminussrccolor", Gl::OneMinusSrcColor},
    {"destcolor", Gl::DstColor},
    {"oneminusdestcolor", Gl::OneMinusDstColor},
    {"srcalpha", Gl::SrcAlpha},
    {"oneminussrcalpha", Gl::OneMinusSrcAlpha},
    {"destalpha", Gl::DstAlpha},
    {"oneminusdestalpha", Gl::OneMinusDstAlpha},
    {"srcalphasaturate", Gl::SrcAlphaSaturate},
};
const Word kWraps[] = {{"clamp", Gl::ClampToEdge}, {"repeat", Gl::Repeat}, {"mirror", Gl::MirroredRepeat}};

Colour ReadColour(const std::vector<std::string>& tokens)
{
    return {static_cast<float>(std::atof(tokens[1].c_str())), static_cast<float>(std::atof(tokens[2].c_str())),
            static_cast<float>(std::atof(tokens[3].c_str())), static_cast<float>(std::atof(tokens[4].c_str()))};
}

// A header's parameters: its tokens without a trailing opening brace.
size_t ParameterCount(const std::vector<std::string>& header)
{
    const bool brace = header.back() == "{" || header.back() == "{{";
    return header.size() - (brace && header.size() > 1 ? 1 : 0);
}

}  // namespace

k_MaterialParser::k_MaterialParser(IEngine* engine, const std::wstring& fileName, k_MaterialParser* includer)
    : k_CFileLoader(engine), m_fileName(fileName), m_root(includer ? includer->m_root : this)
{
}

std::string k_MaterialParser::Where() const
{
    return " (" + Text::ToUtf8(Quoted(m_fileName)) + ":" + std::to_string(GetLineNumber()) + ")";
}

std::string k_MaterialParser::Quoted(const std::string& token)
{
    if (token.size() <= kMaxQuoted) return token;
    size_t cut = kMaxQuoted;
    // Whole UTF-8 characters only: back off from the middle of one.
    while (cut > 0 && (static_cast<unsigned char>(token[cut]) & 0xC0) == 0x80) --cut;
    return token.substr(0, cut) + "... (" + std::to_string(token.size()) + " bytes)";
}

std::wstring k_MaterialParser::Quoted(const std::wstring& name)
{
    if (name.size() <= kMaxQuoted) return name;
    return name.substr(0, kMaxQuoted) + L"... (" + std::to_wstring(name.size()) + L" characters)";
}

bool k_MaterialParser::Take(Bound bound)
{
    static const char* const kWhat[BoundCount] = {"passes", "shaders", "shader callbacks"};
    static const int kMax[BoundCount] = {kMaxPasses, kMaxShaders, kMaxCallbacks};
    if (m_root->m_taken[bound] < kMax[bound]) {
        ++m_root->m_taken[bound];
        return true;
    }
    if (!m_root->m_cut[bound]) {
        m_root->m_cut[bound] = true;
        Log::Error() << "MaterialLoader: The material holds more than " << kMax[bound] << " " << kWhat[bound]
                     << "; this one and any further ones left out" << Where();
    }
    return false;
}

bool k_MaterialParser::BeginSection(const std::string& name, const std::vector<std::string>& header)
{
    if (name == "material") {
        m_pass = Pass();
        m_mode = Take(Passes) ? Material : Ignored;
    } else if (name == "include") {
        m_mode = Include;
    } else if (name == "vertexshader") {
        BeginShaderSection(VertexShader, header);
    } else if (name == "pixelshader") {
        BeginShaderSection(PixelShader, header);
    } else if (name == "geometryshader") {
        BeginShaderSection(GeometryShader, header);
    } else {
        Log::Warning() << "MaterialLoader: Unknown section " << Quoted(name) << Where();
        return false;
    }
    return true;
}

void k_MaterialParser::BeginShaderSection(Mode mode, const std::vector<std::string>& header)
{
    const size_t needed = mode == GeometryShader ? 5 : 2;
    if (ParameterCount(header) < needed) {
        Log::Warning() << "MaterialLoader: Shader section needs "
                       << (mode == GeometryShader ? "a name, input, output and maximum vertex count" : "a name")
                       << ", ignored" << Where();
        m_mode = Ignored;
        return;
    }
    if (!Take(Shaders)) {
        m_mode = Ignored;
        return;
    }
    m_mode = mode;
    m_shader = ShaderSource();
    m_shader.name = header[1];
    m_shader.stage = mode == VertexShader ? IShader::Vertex : mode == GeometryShader ? IShader::Geometry : IShader::Pixel;
    m_shader.source.assign(static_cast<size_t>(GetLineNumber()), '\n');
    if (mode != GeometryShader) return;
    m_shader.input = Topology(header[2]);
    m_shader.output = Topology(header[3]);
    m_shader.maxVertices = std::atoi(header[4].c_str());
}

bool k_MaterialParser::ReadLine(const std::vector<std::string>& tokens, const std::string& line)
{
    switch (m_mode) {
    case Material:
        ReadMaterialKey(tokens);
        break;
    case Include:
        m_includes.emplace_back(Text::FromUtf8(tokens[0]), GetLineNumber());
        break;
    case VertexShader:
    case GeometryShader:
    case PixelShader:
        // Every line arrives, blank ones included, so GLSL messages name the file's lines.
        m_shader.source += line;
        m_shader.source += '\n';
        break;
    default:
        break;
    }
    return true;
}

bool k_MaterialParser::TakesRawLines() const
{
    return m_mode == VertexShader || m_mode == GeometryShader || m_mode == PixelShader;
}

void k_MaterialParser::SectionNeverClosed(const std::string& name, int headerLine)
{
    Log::Warning() << "MaterialLoader: Section " << Quoted(name) << " opened on line " << headerLine
                   << " is never closed, ignored" << Where();
}

bool k_MaterialParser::EndSection(const std::string&)
{
    const Mode mode = m_mode;
    m_mode = Between;
    if (mode == Material) PassEnded(std::move(m_pass));
    if (mode == VertexShader || mode == GeometryShader || mode == PixelShader) ShaderSectionEnded(std::move(m_shader));
    return true;
}

// The material keys: each with the tokens its line needs, the key included, and what it does.
const k_MaterialParser::Key k_MaterialParser::kKeys[] = {
    {"target", 2, [](k_MaterialParser& p, const Tokens& t) { p.m_pass.settings.target = t[1]; }},
    {"depthfunc", 2, [](k_MaterialParser& p, const Tokens& t) { p.m_pass.settings.depthFunction = p.Comparison(t[1]); }},
    {"alphatestfunc", 2,
     [](k_MaterialParser& p, const Tokens& t) { p.m_pass.settings.alphaTestFunction = p.Comparison(t[1]); }},
    {"alphatestvalue", 2,
     [](k_MaterialParser& p, const Tokens& t) { p.m_pass.settings.alphaReference = static_cast<float>(std::atof(t[1].c_str())); }},
    {"culling", 2, [](k_MaterialParser& p, const Tokens& t) { p.m_pass.settings.cullFace = p.Culling(t[1]); }},
    {"depthwrite", 2, [](k_MaterialParser& p, const Tokens& t) { p.m_pass.settings.depthWrite = p.Boolean(t[1]); }},
    {"alphablend", 2, [](k_MaterialParser& p, const Tokens& t) { p.m_pass.settings.blending = p.Boolean(t[1]); }},
    {"srcblendmode", 2,
     [](k_MaterialParser& p, const Tokens& t) { p.m_pass.settings.sourceBlendFactor = p.BlendFactor(t[1]); }},
    {"destblendmode", 2,
     [](k_MaterialParser& p, const Tokens& t) { p.m_pass.settings.destinationBlendFactor = p.BlendFactor(t[1]); }},
    {"ambient", 5, [](k_MaterialParser& p, const Tokens& t) { p.m_pass.settings.ambient = ReadColour(t); }},
    {"diffuse", 5, [](k_MaterialParser& p, const Tokens& t) { p.m_pass.settings.diffuse = ReadColour(t); }},
    {"specular", 5, [](k_MaterialParser& p, const Tokens& t) { p.m_pass.settings.specular = ReadColour(t); }},
    {"emissive", 5, [](k_MaterialParser& p, const Tokens& t) { p.m_pass.settings.emissive = ReadColour(t); }},
    {"shininess", 2,
     [](k_MaterialParser& p, const Tokens& t) { p.m_pass.settings.shininess = static_cast<float>(std::atof(t[1].c_str())); }},
    {"useshader", 2,
     [](k_MaterialParser& p, const Tokens& t) {
         p.m_pass.shaders.push_back(t[1]);
         p.UseShader(t[1]);
     }},
    {"vertexshader", 2, [](k_MaterialParser& p, const Tokens& t) { p.ReadShaderFile(t, IShader::Vertex); }},
    {"pixelshader", 2, [](k_MaterialParser& p, const Tokens& t) { p.ReadShaderFile(t, IShader::Pixel); }},
    {"geometryshader", 5, [](k_MaterialParser& p, const Tokens& t) { p.ReadShaderFile(t, IShader::Geometry); }},
    {"shadercallback", 2,
     [](k_MaterialParser& p, const Tokens& t) {
         if (p.Take(Callbacks)) p.m_pass.callbacks.push_back(Text::FromUtf8(t[1]));
     }},
    // A texture line checks its own length: its two shapes have two messages.
    {"loadtexture", 1, [](k_MaterialParser& p, const Tokens& t) { p.ReadTextureSlot(t, true); }},
    {"reservetexture", 1, [](k_MaterialParser& p, const Tokens& t) { p.ReadTextureSlot(t, false); }},
};

void k_MaterialParser::ReadMaterialKey(const Tokens& tokens)
{
    const std::string& key = tokens[0];
    for (const Key& row : kKeys) {
        if (key != row.name) continue;
        if (tokens.size() < row.tokens)
            Log::Warning() << "MaterialLoader: Missing values for " << key << ", line ignored" << Where();
        else
            row.read(*this, tokens);
        return;
    }
    Log::Warning() << "MaterialLoader: Unknown contenttype: " << Quoted(key) << Where();
}

void k_MaterialParser::ReadShaderFile(const Tokens& tokens, IShader::Stage stage)
{
    if (!Take(Shaders)) return;
    ShaderFile file;
    file.file = tokens[1];
    file.stage = stage;
    if (stage == IShader::Geometry) {
        file.input = tokens[2];
        file.output = tokens[3];
        file.maxVertices = std::atoi(tokens[4].c_str());
    }
    m_pass.shaders.push_back(file.file);
    UseShaderFile(file);
}

void k_MaterialParser::ReadTextureSlot(const Tokens& tokens, bool load)
{
    if (tokens.size() == 1) {
        Log::Warning() << "MaterialLoader: " << tokens[0] << " needs a texture unit and "
                       << (load ? "an image file" : "a wrap mode") << ", line ignored" << Where();
        return;
    }
    if (tokens.size() < 3) {
        Log::Warning() << "MaterialLoader: Unknown contenttype: " << tokens[0] << Where();
        return;
    }
    // Read as atoi reads, but saturating: 4294967296 must not wrap round to unit 0.
    const long long unit = std::strtoll(tokens[1].c_str(), nullptr, 10);
    if (!TextureUnitUsable(unit, tokens[1])) return;
    TextureSlot slot;
    size_t wrap = 3;  // the first wrap word's token
    std::string file;
    if (load) {
        file = tokens[2];
        slot.texture = LoadTexture(file);
    } else {
        wrap = 2;
    }
    if (tokens.size() > wrap) slot.wrapS = slot.wrapT = Wrap(tokens[wrap]);
    if (tokens.size() > wrap + 1) slot.wrapT = Wrap(tokens[wrap + 1]);
    m_pass.settings.textures[static_cast<int>(unit)] = slot;
    m_pass.textureFiles[static_cast<int>(unit)] = file;
}

void k_MaterialParser::ShaderSectionEnded(ShaderSource&& shader) { m_parsed.shaders.push_back(std::move(shader)); }

void k_MaterialParser::UseShader(const std::string&) {}

void k_MaterialParser::UseShaderFile(const ShaderFile& file)
{
    if (file.stage != IShader::Geometry) return;
    Topology(file.input);
    Topology(file.output);
}

bool k_MaterialParser::TextureUnitUsable(long long unit, const std::string& token)
{
    if (unit >= 0 && unit <= INT_MAX) return true;
    Log::Warning() << "MaterialLoader: Texture unit " << Quoted(token) << " is not between 0 and " << INT_MAX
                   << ", line ignored" << Where();
    return false;
}

ITexture* k_MaterialParser::LoadTexture(const std::string&) { return nullptr; }

void k_MaterialParser::PassEnded(Pass&& pass) { m_parsed.passes.push_back(std::move(pass)); }

int k_MaterialParser::Topology(const std::string& word)
{
    try {
        return static_cast<int>(ParsePrimitiveTopology(word));
    } catch (const wchar_t* message) {
        Log::Error() << message << " Unknown topology: " << Quoted(word) << Where();
        throw ReportedFailure();
    }
}

int k_MaterialParser::Comparison(const std::string& word)
{
    int value = 0;
    if (!Look(kComparisons, word, value)) WarnUnknownValue(word);
    return value;
}

int k_MaterialParser::Culling(const std::string& word)
{
    int value = 0;
    if (!Look(kCulling, word, value)) WarnUnknownValue(word);
    return value;
}

int k_MaterialParser::BlendFactor(const std::string& word)
{
    int value = Gl::Zero;
    if (!Look(kBlendFactors, word, value)) WarnUnknownValue(word);
    return value;
}

int k_MaterialParser::Wrap(const std::string& word)
{
    int value = Gl::ClampToEdge;
    if (!Look(kWraps, word, value)) WarnUnknownValue(word);
    return value;
}

bool k_MaterialParser::Boolean(const std::string& word)
{
    if (word != "true" && word != "false") WarnUnknownValue(word);
    return word == "true";
}

void k_MaterialParser::WarnUnknownValue(const std::string& word)
{
    Log::Warning() << "MaterialLoader: Unknown value " << Quoted(word) << Where();
}
