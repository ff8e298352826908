// GposKerning: walks FeatureList -> LookupList -> PairPos subtables (formats 1 and 2, also
// behind extension lookups) and answers the x-advance adjustment of a glyph pair.
#include "GposKerning.h"

#include <algorithm>
#include <bitset>

namespace {

constexpr unsigned kPairLookup = 2;
constexpr unsigned kExtensionLookup = 9;
constexpr unsigned kXAdvanceBit = 0x4;

int ValueRecordSize(unsigned format)
{
    return 2 * int(std::bitset<8>(format & 0xff).count());
}

// Offset of XAdvance inside a value record, or -1 when the record has none.
int XAdvanceOffset(unsigned format)
{
    return (format & kXAdvanceBit) ? 2 * int(std::bitset<2>(format & 0x3).count()) : -1;
}

}  // namespace

GposKerning::GposKerning(std::vector<std::uint8_t> gpos) : m_data(std::move(gpos))
{
    if (m_data.size() < 10)
        return;
    const std::size_t features = U16(6);
    const std::size_t lookupList = U16(8);

    // Lookups apply in LookupList order, whichever feature record names them.
    std::vector<unsigned> indices;
    const unsigned featureCount = U16(features);
    for (unsigned i = 0; i < featureCount; ++i) {
        const std::size_t record = features + 2 + 6 * std::size_t(i);
        if (U32(record) != 0x6B65726Eu)  // 'kern'
            continue;
        const std::size_t feature = features + U16(record + 4);
        const unsigned count = U16(feature + 2);
        for (unsigned k = 0; k < count; ++k)
            indices.push_back(U16(feature + 4 + 2 * std::size_t(k)));
    }
    std::sort(indices.begin(), indices.end());
    indices.erase(std::unique(indices.begin(), indices.end()), indices.end());

    for (unsigned index : indices) {
        if (index >= U16(lookupList))
            continue;
        const std::size_t lookup = lookupList + U16(lookupList + 2 + 2 * std::size_t(index));
        const unsigned type = U16(lookup);
        const unsigned subCount = U16(lookup + 4);
        std::vector<std::size_t> subtables;
        for (unsigned s = 0; s < subCount; ++s) {
            std::size_t sub = lookup + U16(lookup + 6 + 2 * std::size_t(s));
            unsigned subType = type;
            if (type == kExtensionLookup) {
                subType = U16(sub + 2);
                sub += U32(sub + 4);
            }
            if (subType == kPairLookup && sub < m_data.size())
                subtables.push_back(sub);
        }
        if (!subtables.empty())
            m_lookups.push_back(std::move(subtables));
    }
}

unsigned GposKerning::U16(std::size_t at) const
{
    return at + 2 <= m_data.size() ? (unsigned(m_data[at]) << 8) | m_data[at + 1] : 0u;
}

std::uint32_t GposKerning::U32(std::size_t at) const
{
    return (std::uint32_t(U16(at)) << 16) | U16(at + 2);
}

int GposKerning::CoverageIndex(std::size_t coverage, unsigned glyph) const
{
    const unsigned format = U16(coverage);
    const unsigned count = U16(coverage + 2);
    if (format == 1) {
        unsigned lo = 0, hi = count;
        while (lo < hi) {
            const unsigned mid = (lo + hi) / 2;
            const unsigned g = U16(coverage + 4 + 2 * std::size_t(mid));
            if (g == glyph)
                return int(mid);
            if (g < glyph)
                lo = mid + 1;
            else
                hi = mid;
        }
    } else if (format == 2) {
        unsigned lo = 0, hi = count;
        while (lo < hi) {
            const unsigned mid = (lo + hi) / 2;
            const std::size_t range = coverage + 4 + 6 * std::size_t(mid);
            if (glyph < U16(range))
                hi = mid;
            else if (glyph > U16(range + 2))
                lo = mid + 1;
            else
                return int(U16(range + 4) + glyph - U16(range));
        }
    }
    return -1;
}

unsigned GposKerning::GlyphClass(std::size_t classDef, unsigned glyph) const
{
    const unsigned format = U16(classDef);
    if (format == 1) {
        const unsigned start = U16(classDef + 2);
        if (glyph >= start && glyph - start < U16(classDef + 4))
            return U16(classDef + 6 + 2 * std::size_t(glyph - start));
    } else if (format == 2) {
        unsigned lo = 0, hi = U16(classDef + 2);
        while (lo < hi) {
            const unsigned mid = (lo + hi) / 2;
            const std::size_t range = classDef + 4 + 6 * std::size_t(mid);
            if (glyph < U16(range))
                hi = mid;
            else if (glyph > U16(range + 2))
                lo = mid + 1;
            else
                return U16(range + 4);
        }
    }
    return 0;
}

bool GposKerning::ApplyPair(std::size_t sub, unsigned left, unsigned right, int& adjust) const
{
    const int covered = CoverageIndex(sub + U16(sub + 2), left);
    if (covered < 0)
        return false;
    const unsigned format1 = U16(sub + 4);
    const unsigned format2 = U16(sub + 6);
    const int xAdvance = XAdvanceOffset(format1);
    const std::size_t recordSize = std::size_t(ValueRecordSize(format1) + ValueRecordSize(format2));

    if (U16(sub) == 1) {
        if (unsigned(covered) >= U16(sub + 8))
            return false;
        const std::size_t pairSet = sub + U16(sub + 10 + 2 * std::size_t(covered));
        unsigned lo = 0, hi = U16(pairSet);
        while (lo < hi) {
            const unsigned mid = (lo + hi) / 2;
            const std::size_t record = pairSet + 2 + std::size_t(mid) * (2 + recordSize);
            const unsigned second = U16(record);
            if (second == right) {
                if (xAdvance >= 0)
                    adjust += int16_t(U16(record + 2 + std::size_t(xAdvance)));
                return true;
            }
            if (second < right)
                lo = mid + 1;
            else
                hi = mid;
        }
        return false;
    }
    if (U16(sub) == 2) {
        const unsigned class1 = GlyphClass(sub + U16(sub + 8), left);
        const unsigned class2 = GlyphClass(sub + U16(sub + 10), right);
        const unsigned class1Count = U16(sub + 12);
        const unsigned class2Count = U16(sub + 14);
        if (class1 >= class1Count || class2 >= class2Count)
            return false;
        const std::size_t record = sub + 16 + (std::size_t(class1) * class2Count + class2) * recordSize;
        if (xAdvance >= 0)
            adjust += int16_t(U16(record + std::size_t(xAdvance)));
        return true;
    }
    return false;
}

int GposKerning::Adjust(unsigned left, unsigned right) const
{
    int adjust = 0;
    for (const std::vector<std::size_t>& lookup : m_lookups)
        for (std::size_t sub : lookup)
            if (ApplyPair(sub, left, right, adjust))
                break;
    return adjust;
}
