// Caption typesetting: the fonts are found and the serif's pair kerning is applied.
#include <gtest/gtest.h>

#include "tools/pictures/Typesetter.h"

namespace {

TEST(Typesetter, SerifPairsAreKerned)
{
    Typesetter typesetter;
    const TextStyle style{Face::Serif, 200.0f};
    const float pair = typesetter.Measure(style, "AV");
    const float apart = typesetter.Measure(style, "A") + typesetter.Measure(style, "V");
    EXPECT_LT(pair, apart - 5.0f);
    EXPECT_FLOAT_EQ(typesetter.Measure(style, "HH"), 2 * typesetter.Measure(style, "H"));
}

TEST(Typesetter, TrackingWidensEveryGapButTheLast)
{
    Typesetter typesetter;
    const TextStyle plain{Face::SansBold, 100.0f};
    const TextStyle tracked{Face::SansBold, 100.0f, 0.2f};
    EXPECT_NEAR(typesetter.Measure(tracked, "THANKS") - typesetter.Measure(plain, "THANKS"), 5 * 0.2f * 100.0f, 0.5f);
}

}  // namespace
