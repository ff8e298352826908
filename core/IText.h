// A line of 8-bit text drawn as extruded 3-D glyph outlines. The implementation is also a
// renderable: cast to IRenderable to hang it in a world or under a parent.
#pragma once

#include <string>

class IMaterial;

class IText {
public:
    // Style bits of CreateText.
    enum Style {
        Bold = 1,
        Italic = 2,
        StrikeOut = 4,
        Underline = 8,
    };

    // The glyph lists belong to the process-wide font cache, not to the text.
    virtual ~IText() = default;

    // Bytes of the 8-bit (Latin-1) code page; byte 255 draws nothing.
    virtual std::string GetText() = 0;
    // Takes effect at the next draw; every character's lists exist already.
    virtual void SetText(const std::string& text) = 0;
    // The em height in logical units.
    virtual int GetFontSize() = 0;
    // The advance of the whole text in logical units of the font at its size; glyphs are drawn
    // one unit per em.
    virtual int GetTextWidth() = 0;
    // Extrusion along -z, in em units.
    virtual float GetDepth() = 0;
    virtual std::wstring GetFaceName() = 0;
    // Bits of Style.
    virtual int GetStyle() = 0;
    // Not owned. Without a material, or when it has no pass for the world, nothing is drawn.
    virtual void SetMaterial(IMaterial* material) = 0;
    virtual IMaterial* GetMaterial() = 0;

protected:
    IText() = default;
    IText(const IText&) = delete;
    IText& operator=(const IText&) = delete;
};
