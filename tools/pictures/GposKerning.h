// GposKerning: horizontal pair kerning read from the 'kern' feature of an OpenType GPOS table.
#pragma once

#include <cstdint>
#include <vector>

class GposKerning {
public:
    // `gpos` is the raw GPOS table (may be empty: no kerning). Malformed data never reads out of
    // bounds; it only yields wrong or zero adjustments.
    explicit GposKerning(std::vector<std::uint8_t> gpos);

    // True when the table holds no pair-adjustment lookup for 'kern'.
    bool Empty() const { return m_lookups.empty(); }

    // Change of the advance of glyph `left` when glyph `right` follows it, in font units.
    int Adjust(unsigned left, unsigned right) const;

private:
    unsigned U16(std::size_t at) const;
    std::uint32_t U32(std::size_t at) const;
    int CoverageIndex(std::size_t coverage, unsigned glyph) const;  // -1 when not covered
    unsigned GlyphClass(std::size_t classDef, unsigned glyph) const;
    // Applies one PairPos subtable; false when it does not cover the pair.
    bool ApplyPair(std::size_t subtable, unsigned left, unsigned right, int& adjust) const;

    std::vector<std::uint8_t> m_data;
    std::vector<std::vector<std::size_t>> m_lookups;  // per lookup, absolute offsets of its PairPos subtables
};
