// Outline text: glyphs extruded into display lists, one per character code, shared through a
// process-wide font cache keyed by face, size, depth and style.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/IText.h"
#include "scene/k_Renderable.h"

class k_Text : public IText, public k_Renderable {
public:
    // Takes the font's lists from the cache, building them on the first use of the key (the
    // face name compared exactly). Needs the GL context; throws a wide message when no font
    // opens or no lists can be had.
    k_Text(IEngine* engine, const std::string& text, const std::wstring& faceName, int size, float depth, int style);

    std::string GetText() override { return m_text; }
    void SetText(const std::string& text) override { m_text = text; }
    int GetFontSize() override { return m_size; }
    int GetTextWidth() override;
    float GetDepth() override { return m_depth; }
    std::wstring GetFaceName() override { return m_faceName; }
    int GetStyle() override { return m_style; }
    void SetMaterial(IMaterial* material) override { m_material = material; }
    IMaterial* GetMaterial() override { return m_material; }

    // Geometry draws the text from the origin along +x, one unit per em, front face at z = 0.
    void DrawStage(Stage stage) override;

    // The first of the font's 256 list names: code c draws list base + c.
    unsigned GetListBase() const { return m_listBase; }

    // Deletes every cached font and its lists. The lists live in the GL context that built them,
    // so the resource factory empties the cache when it releases the texts at the end of a run;
    // a later context then builds its own.
    static void ReleaseFontCache();

private:
    struct Font;
    // Never shrunk during a run: every text with a key draws the entry's lists.
    static std::vector<std::unique_ptr<Font>>& FontCache();

    Font* m_font = nullptr;  // owned by the cache
    unsigned m_listBase = 0;
    std::string m_text;
    std::wstring m_faceName;
    int m_size;
    float m_depth;
    int m_style;
    IMaterial* m_material = nullptr;
};
