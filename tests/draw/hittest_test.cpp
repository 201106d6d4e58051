#include "draw/hittest.h"

#include <gtest/gtest.h>

#include <vector>

namespace urbica {
namespace {

using Points = std::vector<QPoint>;

constexpr float kUnits = 2.5f;  // map units per pixel in these tests

bool near(const Points& points, double x, double y) { return nearline(points, x, y, kUnits); }

TEST(NearLine, DistanceBesideTheSegment) {
    const Points line{{0, 0}, {1000, 0}};
    EXPECT_TRUE(near(line, 500, 4 * kUnits));
    EXPECT_TRUE(near(line, 500, -4 * kUnits));
    EXPECT_FALSE(near(line, 500, 5 * kUnits));
    EXPECT_FALSE(near(line, 500, -5 * kUnits));
    // A slanted segment of length 5000; its unit normal is (0.8, -0.6).
    const Points slanted{{0, 0}, {3000, 4000}};
    EXPECT_TRUE(near(slanted, 1500 + 0.8 * 4 * kUnits, 2000 - 0.6 * 4 * kUnits));
    EXPECT_FALSE(near(slanted, 1500 + 0.8 * 5 * kUnits, 2000 - 0.6 * 5 * kUnits));
}

TEST(NearLine, ReachBeyondTheEndsIsTwoPixels) {
    for (int length : {10, 1000, 100000}) {
        const Points line{{0, 0}, {length, 0}};
        EXPECT_TRUE(near(line, length + 1 * kUnits, 0)) << length;
        EXPECT_FALSE(near(line, length + 3 * kUnits, 0)) << length;
        EXPECT_TRUE(near(line, -1 * kUnits, 0)) << length;
        EXPECT_FALSE(near(line, -3 * kUnits, 0)) << length;
    }
}

TEST(NearLine, EverySegmentOfAPolylineCounts) {
    const Points line{{0, 0}, {1000, 0}, {1000, 1000}, {2000, 1000}};
    EXPECT_TRUE(near(line, 1000 + 2 * kUnits, 500));
    EXPECT_TRUE(near(line, 1500, 1000 - 2 * kUnits));
    EXPECT_FALSE(near(line, 500, 500));
}

TEST(NearLine, ShortLinesAndRepeatedPoints) {
    EXPECT_FALSE(near({}, 0, 0));
    EXPECT_FALSE(near({{10, 10}}, 10, 10));
    EXPECT_FALSE(near({{10, 10}, {10, 10}}, 10, 10));
    // A repeated point does not end the test of the segments after it.
    EXPECT_TRUE(near({{0, 0}, {0, 0}, {1000, 0}}, 500, kUnits));
}

TEST(NearLine, LargeCoordinatesKeepTheirPrecision) {
    const int32_t base = 100'000'000;
    const Points line{{base, base}, {base + 1000, base}};
    EXPECT_TRUE(near(line, base + 500, base + 4 * kUnits));
    EXPECT_FALSE(near(line, base + 500, base + 5 * kUnits));
}

TEST(NearLine, CoefficientsOutOfRangeAnswerFalse) {
    const int32_t big = 2'000'000'000;
    EXPECT_FALSE(near({{-big, big}, {big, big}}, 0, big));
}

TEST(InArea, UnitSquare) {
    const Points square{{0, 0}, {1, 0}, {1, 1}, {0, 1}, {0, 0}};
    EXPECT_TRUE(inarea(square, 0.5, 0.5));
    EXPECT_FALSE(inarea(square, 2, 0.5));
    EXPECT_FALSE(inarea(square, -0.5, 1.5));
    // The other way round.
    const Points reversed{{0, 0}, {0, 1}, {1, 1}, {1, 0}, {0, 0}};
    EXPECT_TRUE(inarea(reversed, 0.5, 0.5));
    EXPECT_FALSE(inarea(reversed, 2, 0.5));
}

TEST(InArea, VertexIsInside) {
    const Points square{{0, 0}, {1, 0}, {1, 1}, {0, 1}, {0, 0}};
    EXPECT_TRUE(inarea(square, 1, 1));
    EXPECT_TRUE(inarea(square, 0, 1));
}

TEST(InArea, PointOnTheExtensionOfAnEdge) {
    const Points square{{0, 0}, {1, 0}, {1, 1}, {0, 1}, {0, 0}};
    EXPECT_FALSE(inarea(square, 2, 0));
    // An L-shaped ring: the extension of the inner edge from (90,40) to (40,40)
    // runs on through the inside of the ring.
    const Points ell{{0, 0}, {90, 0}, {90, 40}, {40, 40}, {40, 100}, {0, 100}, {0, 0}};
    for (double x : {3.3, 10.0, 17.7, 25.1, 33.9}) EXPECT_TRUE(inarea(ell, x, 40)) << x;
    // The same along a slanted edge, whose cosines rounding can carry past 1.
    const Points slanted{{0, 0}, {70, 0}, {70, 30}, {40, 10}, {0, 80}, {0, 0}};
    for (double t : {0.1, 0.2, 0.3, 0.45}) {
        const double x = 40 - 30 * t, y = 10 - 20 * t;
        EXPECT_TRUE(inarea(slanted, x, y)) << t;
    }
}

TEST(InArea, ConcaveRing) {
    const Points u{{0, 0},  {30, 0},   {30, 90}, {60, 90}, {60, 0},
                   {90, 0}, {90, 100}, {0, 100}, {0, 0}};
    EXPECT_TRUE(inarea(u, 15, 50));
    EXPECT_TRUE(inarea(u, 75, 50));
    EXPECT_TRUE(inarea(u, 45, 95));
    EXPECT_FALSE(inarea(u, 45, 50));
}

TEST(InArea, StoredClosingPointIsNotUsed) {
    // Were the last point part of the ring, (50, 50.2) would lie in its long spike.
    const Points square{{0, 0}, {1, 0}, {1, 1}, {0, 1}, {100, 100}};
    EXPECT_TRUE(inarea(square, 0.5, 0.5));
    EXPECT_FALSE(inarea(square, 50, 50.2));
}

TEST(InArea, ShortRingsAndLargeCoordinates) {
    EXPECT_FALSE(inarea({}, 0, 0));
    EXPECT_FALSE(inarea(Points{{5, 5}}, 5, 5));
    EXPECT_FALSE(inarea(Points{{0, 0}, {10, 0}, {0, 0}}, 5, 1));
    const int32_t b = 1'000'000'000;
    const Points far{{b, b}, {b + 1000, b}, {b + 1000, b + 1000}, {b, b + 1000}, {b, b}};
    EXPECT_TRUE(inarea(far, b + 500.5, b + 500.5));
    EXPECT_FALSE(inarea(far, b + 1500.5, b + 500.5));
}

}  // namespace
}  // namespace urbica
