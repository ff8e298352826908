// The marching-cubes triangle table: for every configuration, the triangles cut exactly the
// edges whose corners lie on different sides, face the corners below the level, and close up
// inside the cell (every open triangle side lies on a face of the cell).
#include <gtest/gtest.h>

#include <array>
#include <map>
#include <set>
#include <utility>

#include "scene/MarchingCubesTable.h"

namespace {

using Point = std::array<float, 3>;
const Point kCorners[8] = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {0, 0, 1}, {1, 0, 1}, {1, 1, 1}, {0, 1, 1}};
const int kEdges[12][2] = {{0, 1}, {1, 2}, {2, 3}, {3, 0}, {4, 5}, {5, 6}, {6, 7}, {7, 4}, {0, 4}, {1, 5}, {2, 6}, {3, 7}};

Point Middle(int edge)
{
    const Point& a = kCorners[kEdges[edge][0]];
    const Point& b = kCorners[kEdges[edge][1]];
    return {(a[0] + b[0]) / 2, (a[1] + b[1]) / 2, (a[2] + b[2]) / 2};
}

Point Minus(const Point& a, const Point& b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }
float Dot(const Point& a, const Point& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
Point Cross(const Point& a, const Point& b)
{
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

// Whether both edges lie on one face of the cell.
bool OnOneFace(int first, int second)
{
    for (int axis = 0; axis < 3; ++axis)
        for (float side : {0.0f, 1.0f}) {
            bool all = true;
            for (int edge : {first, second})
                for (int end : kEdges[edge]) all = all && kCorners[end][axis] == side;
            if (all) return true;
        }
    return false;
}

TEST(MarchingCubesTable, EveryConfigurationIsACutOfItsCell)
{
    int triangles = 0;
    for (int c = 0; c < 256; ++c) {
        const int* row = kMarchingCubesTriangles[c];
        auto below = [c](int corner) { return (c >> corner & 1) != 0; };
        std::set<int> cut, used;
        for (int e = 0; e < 12; ++e)
            if (below(kEdges[e][0]) != below(kEdges[e][1])) cut.insert(e);

        int n = 0;
        while (n < 16 && row[n] >= 0) ++n;
        ASSERT_EQ(n % 3, 0) << "configuration " << c;
        ASSERT_LE(n, 15) << "configuration " << c;
        for (int i = n; i < 16; ++i) EXPECT_EQ(row[i], -1) << "padding of configuration " << c;

        std::map<std::pair<int, int>, int> sides;
        for (int t = 0; t < n; t += 3) {
            ++triangles;
            const Point p0 = Middle(row[t]), p1 = Middle(row[t + 1]), p2 = Middle(row[t + 2]);
            const Point normal = Cross(Minus(p1, p0), Minus(p2, p0));
            float towardsBelow = 0;
            for (int k = 0; k < 3; ++k) {
                const int edge = row[t + k];
                ASSERT_GE(edge, 0);
                ASSERT_LT(edge, 12);
                used.insert(edge);
                const int inside = below(kEdges[edge][0]) ? kEdges[edge][0] : kEdges[edge][1];
                towardsBelow += Dot(normal, Minus(kCorners[inside], Middle(edge)));
                ++sides[{edge, row[t + (k + 1) % 3]}];
            }
            EXPECT_GT(towardsBelow, 0) << "triangle " << t / 3 << " of configuration " << c << " faces outwards";
        }
        EXPECT_EQ(used, cut) << "configuration " << c;
        for (const auto& [side, count] : sides) {
            EXPECT_EQ(count, 1) << "configuration " << c << " repeats a side";
            const bool shared = sides.count({side.second, side.first}) > 0;
            EXPECT_TRUE(shared || OnOneFace(side.first, side.second))
                << "configuration " << c << " leaves the side " << side.first << "-" << side.second << " open";
        }
    }
    // The whole table holds 820 triangles: one dropped or doubled anywhere changes the total.
    EXPECT_EQ(triangles, 820);
}

}  // namespace
