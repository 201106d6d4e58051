#include "draw/clip.h"

#include <gtest/gtest.h>

#include <random>

namespace urbica {
namespace {

using Line = std::vector<QPoint>;

// The view used throughout: borders 0 and 100 on both axes, so the reference
// point is (50, 0) and the corners are C0 (0,0), C1 (100,0), C2 (100,100), C3 (0,100).
const ClipRect kView{0, 0, 100, 100};

Line clipped(Line line, const ClipRect& rect = kView) {
    clip(line, rect);
    return line;
}

bool within(QPoint p, const ClipRect& r) {
    return r.left <= p.x() && p.x() <= r.right && r.top <= p.y() && p.y() <= r.bottom;
}

std::string describe(const Line& line, const ClipRect& r) {
    std::string text = " in (" + std::to_string(r.left) + ", " + std::to_string(r.top) + ", " +
                       std::to_string(r.right) + ", " + std::to_string(r.bottom) + "), line";
    for (QPoint p : line) text += " (" + std::to_string(p.x()) + ", " + std::to_string(p.y()) + ")";
    return text;
}

TEST(ViewClipRect, RoundsCornersHalfToEven) {
    const ClipRect r = viewClipRect(10.5f, 11.5f, 100.0f, 100.0f);
    EXPECT_EQ(r.left, 10);
    EXPECT_EQ(r.top, 12);
    EXPECT_EQ(r.right, 110);
    EXPECT_EQ(r.bottom, 112);
}

TEST(LineClip, LineInsideIsUnchanged) {
    const Line line{{10, 10}, {50, 20}, {90, 80}, {20, 90}, {20, 90}};
    EXPECT_EQ(clipped(line), line);
}

TEST(LineClip, EndsOnTheBorderAreKept) {
    const Line line{{0, 50}, {50, 50}, {100, 70}};
    EXPECT_EQ(clipped(line), line);
}

TEST(LineClip, RepeatedClosingPointIsDropped) {
    EXPECT_EQ(clipped({{20, 20}, {80, 20}, {80, 80}, {20, 80}, {20, 20}, {20, 20}}),
              (Line{{20, 20}, {80, 20}, {80, 80}, {20, 80}}));
}

TEST(LineClip, DegenerateLinesGiveTheirFirstPoint) {
    EXPECT_EQ(clipped({{30, 40}}), (Line{{30, 40}}));
    EXPECT_EQ(clipped({{30, 40}, {30, 40}}), (Line{{30, 40}}));
    EXPECT_EQ(clipped({{300, 40}, {300, 40}, {300, 40}}), (Line{{300, 40}}));
    EXPECT_EQ(clipped({}), Line{});
    // A rectangle without area meets nothing.
    EXPECT_EQ(clipped({{10, 10}, {20, 20}}, ClipRect{0, 0, 0, 100}), (Line{{10, 10}}));
}

TEST(LineClip, LineThatNeverMeetsTheViewGivesItsFirstPoint) {
    EXPECT_EQ(clipped({{200, 200}, {300, 250}, {400, 200}}), (Line{{200, 200}}));
    // Goes round the view on three sides without touching it.
    EXPECT_EQ(clipped({{-50, -50}, {150, -50}, {150, 150}, {-50, 150}}), (Line{{-50, -50}}));
}

TEST(LineClip, EntryFromOutsideStartsAtTheBorder) {
    EXPECT_EQ(clipped({{-50, 50}, {50, 50}, {60, 60}}), (Line{{0, 50}, {50, 50}, {60, 60}}));
}

TEST(LineClip, BorderOrdinatesRoundHalfToEven) {
    // The exits lie at y = 50.5 and 51.5.
    EXPECT_EQ(clipped({{50, 50}, {150, 51}}), (Line{{50, 50}, {100, 50}}));
    EXPECT_EQ(clipped({{50, 51}, {150, 52}}), (Line{{50, 51}, {100, 52}}));
}

TEST(LineClip, OutThroughRightBackThroughTopInsertsCornerC1) {
    EXPECT_EQ(clipped({{50, 50}, {150, 50}, {150, -50}, {50, -50}, {40, 60}}),
              (Line{{50, 50}, {100, 50}, {100, 0}, {45, 0}, {40, 60}}));
}

TEST(LineClip, OutAndBackThroughTheSameSideInsertsNoCorner) {
    const Line expected{{50, 50}, {100, 50}, {100, 80}, {50, 80}};
    EXPECT_EQ(clipped({{50, 50}, {150, 50}, {150, 80}, {50, 80}}), expected);
    // Round the bottom right corner and back again: the corner cancels out.
    EXPECT_EQ(clipped({{50, 50}, {150, 50}, {120, 200}, {150, 80}, {50, 80}}), expected);
}

TEST(LineClip, GoingRoundTwoCornersInsertsBoth) {
    // Out through the right, one vertex below, in through the left.
    EXPECT_EQ(clipped({{50, 50}, {150, 50}, {50, 200}, {-50, 50}, {40, 50}}),
              (Line{{50, 50}, {100, 50}, {100, 100}, {0, 100}, {0, 50}, {40, 50}}));
}

TEST(LineClip, OneOutsideStepToTheOppositeSideTakesTheWayItTurned) {
    // One edge runs from the right of the view to its left, passing below it.
    EXPECT_EQ(clipped({{50, 50}, {1000, 500}, {-1000, 500}, {50, 60}}),
              (Line{{50, 50}, {100, 74}, {100, 100}, {0, 100}, {0, 81}, {50, 60}}));
    // From above to below, passing right of the view, then passing left of it.
    EXPECT_EQ(clipped({{50, 50}, {50, -50}, {200, -50}, {60, 1000}, {50, 60}}),
              (Line{{50, 50}, {50, 0}, {100, 0}, {100, 100}, {50, 100}, {50, 60}}));
    EXPECT_EQ(clipped({{50, 50}, {50, -50}, {-100, -50}, {40, 1000}, {50, 60}}),
              (Line{{50, 50}, {50, 0}, {0, 0}, {0, 100}, {50, 100}, {50, 60}}));
}

TEST(LineClip, FirstOutsideVertexAfterAnExitCounts) {
    // Out through the right to a vertex below, on past the left to one above,
    // in through the left: the line went round C2 and C3, not over the top.
    EXPECT_EQ(clipped({{90, 50}, {150, 300}, {-200, -50}, {30, 40}}),
              (Line{{90, 50}, {100, 92}, {100, 100}, {0, 100}, {0, 28}, {30, 40}}));
}

TEST(LineClip, SegmentThroughTheViewGivesItsBorderPointsInTravelOrder) {
    EXPECT_EQ(clipped({{-50, 50}, {150, 50}}), (Line{{0, 50}, {100, 50}}));
    EXPECT_EQ(clipped({{150, 50}, {-50, 50}}), (Line{{100, 50}, {0, 50}}));
    EXPECT_EQ(clipped({{-5, -5}, {15, 5}}, ClipRect{0, 0, 10, 10}),
              (Line{{5, 0}, {10, 2}}));  // exit ordinate 2.5 goes to 2
}

TEST(LineClip, VerticalSegmentThroughTheView) {
    EXPECT_EQ(clipped({{30, -50}, {30, 150}}), (Line{{30, 0}, {30, 100}}));
    EXPECT_EQ(clipped({{30, 150}, {30, -50}}), (Line{{30, 100}, {30, 0}}));
}

TEST(LineClip, SegmentsCrossingInsideTheWalk) {
    // Out through the left, then one edge right across the view top to bottom,
    // then back across bottom to top.
    EXPECT_EQ(clipped({{20, 50}, {-10, 50}, {-10, -20}, {10, -20}, {20, 150}, {30, -20}}),
              (Line{{20, 50}, {0, 50}, {0, 0}, {11, 0}, {17, 100}, {23, 100}, {29, 0}}));
}

TEST(LineClip, EdgeThroughACornerKeepsItsOtherCrossing) {
    // The edge from (-10,-20) to (60,120) passes exactly through C0 and leaves
    // through the bottom at (50,100).
    EXPECT_EQ(clipped({{20, 50}, {-10, 50}, {-10, -20}, {60, 120}}),
              (Line{{20, 50}, {0, 50}, {0, 0}, {0, 0}, {50, 100}}));
}

TEST(LineClip, EdgeGrazingACornerStaysInTheView) {
    // The edge passes 0.4 units right of the corner (29, 51), which rounding puts
    // on the border: the line touches the view at that one point.
    EXPECT_EQ(clipped({{-5, 239}, {64, -138}}, ClipRect{-50, -11, 29, 51}), (Line{{29, 51}}));
}

TEST(LineClip, ManyRoundsOutsideKeepAllCorners) {
    // Leaves through the top and circles the view ten times before coming back.
    Line line{{50, 50}, {50, -100}};
    for (int round = 0; round < 10; ++round) {
        line.insert(line.end(), {{300, 50}, {50, 300}, {-200, 50}, {50, -100}});
    }
    line.push_back({50, 40});
    Line expected{{50, 50}, {50, 0}};
    for (int round = 0; round < 10; ++round) {
        expected.insert(expected.end(), {{100, 0}, {100, 100}, {0, 100}, {0, 0}});
    }
    expected.insert(expected.end(), {{50, 0}, {50, 40}});
    EXPECT_EQ(clipped(line), expected);
}

TEST(LineClip, ClipperCanBeReused) {
    LineClipper clipper;
    Line a{{-50, 50}, {150, 50}};
    Line b{{50, 50}, {150, 50}, {150, -50}, {50, -50}, {40, 60}};
    clipper.clip(a, kView);
    clipper.clip(b, kView);
    clipper.clip(a, ClipRect{0, 0, 50, 100});
    EXPECT_EQ(a, (Line{{0, 50}, {50, 50}}));
    EXPECT_EQ(b, (Line{{50, 50}, {100, 50}, {100, 0}, {45, 0}, {40, 60}}));
}

TEST(LineClip, HugeCoordinatesDoNotOverflow) {
    const int32_t big = 2'000'000'000;
    EXPECT_EQ(clipped({{-big, 50}, {big, 50}}), (Line{{0, 50}, {100, 50}}));
    EXPECT_EQ(clipped({{50, -big}, {50, big}}), (Line{{50, 0}, {50, 100}}));
    // Out through C1, round the top left corner far away, back in through the left.
    EXPECT_EQ(clipped({{50, 50}, {big, -big}, {-big, -big}, {-big, big}, {40, 40}}),
              (Line{{50, 50}, {100, 0}, {0, 0}, {0, 80}, {40, 40}}));
}

// Random lines against random views: every point of a clipped line lies in the
// view, unless the line gave its first point back; a line inside comes back whole.
TEST(LineClipProperty, OutputStaysInTheView) {
    std::mt19937 rng(20240611);
    std::uniform_int_distribution<int> corner(-50, 50), count(1, 30);
    LineClipper clipper;
    for (int iter = 0; iter < 30000; ++iter) {
        // Views of ordinary and tiny size, with points near them and far away.
        const int kind = iter % 3;
        std::uniform_int_distribution<int> size(1, kind == 1 ? 3 : 120);
        const int reach = kind == 2 ? 100000 : 200;
        const ClipRect r{corner(rng), corner(rng), 0, 0};
        const ClipRect rect{r.left, r.top, r.left + size(rng), r.top + size(rng)};
        std::uniform_int_distribution<int> xs(rect.left - reach, rect.right + reach);
        std::uniform_int_distribution<int> ys(rect.top - reach, rect.bottom + reach);
        Line line(count(rng));
        for (QPoint& p : line) p = QPoint(xs(rng), ys(rng));
        Line out = line;
        clipper.clip(out, rect);
        ASSERT_FALSE(out.empty());
        if (out.size() == 1 && out[0] == line[0]) continue;
        for (QPoint p : out) {
            ASSERT_TRUE(within(p, rect)) << "iteration " << iter << ": (" << p.x() << ", " << p.y()
                                         << ")" << describe(line, rect);
        }
    }
}

TEST(LineClipProperty, LineInsideComesBackWhole) {
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> coord(0, 100), count(2, 30);
    for (int iter = 0; iter < 5000; ++iter) {
        Line line(count(rng));
        for (QPoint& p : line) p = QPoint(coord(rng), coord(rng));
        if (line.back() == line.front()) line.back() += QPoint(1, 0);
        if (line.back().x() > 100) line.back() -= QPoint(2, 0);
        EXPECT_EQ(clipped(line), line) << "iteration " << iter;
    }
}

}  // namespace
}  // namespace urbica
