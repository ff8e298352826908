// The material file's grammar without GL: sections, keys and value tables, embedded shader
// sources, shader and texture names and includes, with the warnings for lines it cannot use.
// Alone it records what it read; k_MaterialLoader builds the objects at each step as it reads.
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "core/IShader.h"
#include "core/MaterialPass.h"
#include "resources/k_CFileLoader.h"

class k_MaterialParser : public k_CFileLoader {
public:
    // What one material may hold, its file and all its includes together. Real ones hold one
    // pass, two shaders and a callback; the bounds keep a hostile file from taking the memory.
    // What lies beyond is left out, reported once for each bound with file and line.
    static constexpr int kMaxPasses = 256;
    static constexpr int kMaxShaders = 128;  // embedded sections and shader files
    static constexpr int kMaxCallbacks = 256;
    // The largest material file read (the demo's largest is 5.4 KB).
    static constexpr size_t kMaxFileSize = 1 << 20;
    // The most bytes of one token a log line quotes; a longer one is cut and its length given.
    static constexpr size_t kMaxQuoted = 200;

    // An embedded shader section, at its end.
    struct ShaderSource {
        std::string name;
        IShader::Stage stage = IShader::Vertex;
        // Starts with one "\n" per line before the section's first, so the driver's messages
        // give the material file's line numbers.
        std::string source;
        // Geometry stage: GL primitive codes and the most vertices one invocation emits.
        int input = 0, output = 0, maxVertices = 0;
    };
    // A shader file named by a key. Topology words stay as written: they are only checked once
    // the file has given a shader.
    struct ShaderFile {
        std::string file;
        IShader::Stage stage = IShader::Vertex;
        std::string input, output;
        int maxVertices = 0;
    };
    // A material section, at its end.
    struct Pass {
        MaterialPass settings;  // no program; textures only where a builder gave them
        std::map<int, std::string> textureFiles;  // by unit; empty for a reserved slot
        std::vector<std::string> shaders;         // "useshader" names and shader files, in order
        std::vector<std::wstring> callbacks;
    };
    // What a parser alone keeps of a file.
    struct Parsed {
        std::vector<ShaderSource> shaders;
        std::vector<Pass> passes;
    };

    // fileName names the text in messages. Parse the text, then read Result and Includes.
    explicit k_MaterialParser(const std::wstring& fileName) : k_MaterialParser(nullptr, fileName, nullptr) {}

    const Parsed& Result() const { return m_parsed; }
    // The include sections' file names, each with the line that names it, in file order.
    const std::vector<std::pair<std::wstring, int>>& Includes() const { return m_includes; }

protected:
    // engine: for Load's file system (may be null for Parse). includer: the parser of the file
    // whose include list named this one; the bounds count over the whole chain.
    k_MaterialParser(IEngine* engine, const std::wstring& fileName, k_MaterialParser* includer);

    // The steps of a material in file order. The parser alone records them in Result; a
    // builder overrides them, and may log and throw ReportedFailure to abandon the material.
    virtual void ShaderSectionEnded(ShaderSource&& shader);
    virtual void UseShader(const std::string& name);
    virtual void UseShaderFile(const ShaderFile& file);
    // Whether unit (read from token) can hold a texture; a refused line is left out after the
    // override has said why. Alone: units 0 to INT_MAX.
    virtual bool TextureUnitUsable(long long unit, const std::string& token);
    // The texture of a "loadtexture" line; null leaves its slot empty (the parser alone).
    virtual ITexture* LoadTexture(const std::string& file);
    virtual void PassEnded(Pass&& pass);

    // The GL code of a topology word; an unknown one is logged and throws ReportedFailure.
    int Topology(const std::string& word);
    // The parser of the material's own file, at the head of the include chain.
    k_MaterialParser& Root() { return *m_root; }
    // " (file:line)", appended to every line logged about the file.
    std::string Where() const;
    // The token, or its first kMaxQuoted bytes and its length when it is longer.
    static std::string Quoted(const std::string& token);
    static std::wstring Quoted(const std::wstring& name);

    const std::wstring m_fileName;

    bool BeginSection(const std::string& name, const std::vector<std::string>& header) override;
    bool ReadLine(const std::vector<std::string>& tokens, const std::string& line) override;
    bool EndSection(const std::string& name) override;
    // Shader sections take every line: GLSL may hold lines of separators alone.
    bool TakesRawLines() const override;
    void SectionNeverClosed(const std::string& name, int headerLine) override;

private:
    enum Mode { Between, Material, Include, VertexShader, GeometryShader, PixelShader, Ignored };
    enum Bound { Passes, Shaders, Callbacks, BoundCount };

    using Tokens = std::vector<std::string>;
    // One material key: the tokens its line needs (the key included) and what the line does.
    struct Key {
        const char* name;
        size_t tokens;
        void (*read)(k_MaterialParser& parser, const Tokens& tokens);
    };
    static const Key kKeys[];

    void BeginShaderSection(Mode mode, const Tokens& header);
    void ReadMaterialKey(const Tokens& tokens);
    void ReadShaderFile(const Tokens& tokens, IShader::Stage stage);
    void ReadTextureSlot(const Tokens& tokens, bool load);
    // Counts one more of bound for the material; false (reported once) when it is full.
    bool Take(Bound bound);

    int Comparison(const std::string& word);
    int Culling(const std::string& word);
    int BlendFactor(const std::string& word);
    int Wrap(const std::string& word);
    bool Boolean(const std::string& word);
    void WarnUnknownValue(const std::string& word);

    k_MaterialParser* m_root;  // the material's own file: keeps the counts of the whole chain
    int m_taken[BoundCount] = {};
    bool m_cut[BoundCount] = {};
    Mode m_mode = Between;
    Pass m_pass;
    ShaderSource m_shader;
    std::vector<std::pair<std::wstring, int>> m_includes;
    Parsed m_parsed;
};
