#include "draw/alongline.h"

#include <gtest/gtest.h>

#include "dataset/objects.h"
#include "draw/drawcontext.h"

using namespace urbica;

namespace {

struct Along {
    Tables tables;
    Settings settings;
    LabelQueue labels;
    PictureBox images, box{404, 404};
    QString dir;
    ObjectRecord record;
    DrawContext ctx{dir, tables, settings, 100000, {}, labels, images, {}};

    explicit Along(int labelSize = 10) {
        ObjectType t;
        t.labelSize = int16_t(labelSize);
        tables.types.push_back(t);
        record.typeIndex = 1;
        ctx.view = {0, 0, 400, 400, 1, 16};  // one map unit per pixel
        box.setScale(0, 0, 400, 400);
    }
    const LabelEntry& entry(int i) const { return labels.entries[size_t(i)]; }
};

}  // namespace

TEST(SpreadPlacement, TenPixelsPerCharacterAtHalfSteps) {
    Along a;
    spreadPlacement(a.ctx, {{100, 100}, {140, 100}}, "abcde", 7, a.record);
    EXPECT_EQ(a.labels.count, 0) << "8 pixels per character is too tight";
    spreadPlacement(a.ctx, {{100, 100}, {120, 100}, {140, 100}}, " abcd ", 7, a.record);
    ASSERT_EQ(a.labels.count, 4);
    for (int i = 1; i <= 4; ++i) {
        EXPECT_NEAR(a.entry(i).x, 100 + 5 + 10 * (i - 1) - 5, 1e-3);
        EXPECT_NEAR(a.entry(i).y, 100 - 5, 0.05);  // the direction constant 1.57 is not pi/2
        EXPECT_EQ(a.entry(i).text, QString(QChar('a' + i - 1)));
        EXPECT_EQ(a.entry(i).colour, 7);
        EXPECT_EQ(a.entry(i).angle, 0.f);
    }
}

TEST(SpreadPlacement, RightToLeftLineReadsFromTheLeft) {
    Along a;
    spreadPlacement(a.ctx, {{140, 100}, {100, 100}}, "abcd", 0, a.record);
    ASSERT_EQ(a.labels.count, 4);
    EXPECT_EQ(a.entry(1).text, QString("a"));
    EXPECT_LT(a.entry(1).x, a.entry(4).x);
}

TEST(PitchedPlacement, LongSegmentsOnlyAndRepeated) {
    Along a;
    pitchedPlacement(a.ctx, a.box, {{0, 50}, {36, 50}}, "abc", 0, a.record);
    EXPECT_EQ(a.labels.count, 0) << "36 pixels is not longer than 4 x 9";
    pitchedPlacement(a.ctx, a.box, {{0, 50}, {37, 50}, {37, 100}}, "abc", 0, a.record);
    EXPECT_EQ(a.labels.count, 6) << "both segments are long enough";
    EXPECT_NEAR(a.entry(1).y, 50 - 6, 0.05);
    EXPECT_LT(a.entry(1).x, 5.0f) << "first character centred 5 pixels in";
    EXPECT_NEAR(a.entry(2).x - a.entry(1).x, 10, 3) << "10-pixel pitch";
}

TEST(RotatedPlacement, AnglesAreNeverNegative) {
    Along a(10);
    std::vector<QPoint> flat{{0, 200}, {300, 200}};
    rotatedPlacement(a.ctx, flat, "Невский", 0, a.record);
    ASSERT_EQ(a.labels.count, 1);
    EXPECT_NEAR(a.entry(1).angle, 0, 0.1);
    EXPECT_EQ(a.entry(1).text, QString("Невский"));

    std::vector<QPoint> rising{{0, 300}, {200, 100}};
    rotatedPlacement(a.ctx, rising, "abc", 0, a.record);
    ASSERT_EQ(a.labels.count, 2);
    EXPECT_GT(a.entry(2).angle, 0);
    EXPECT_LT(a.entry(2).angle, 90);

    std::vector<QPoint> falling{{0, 100}, {200, 300}};
    rotatedPlacement(a.ctx, falling, "abc", 0, a.record);
    ASSERT_EQ(a.labels.count, 3);
    EXPECT_GT(a.entry(3).angle, 270);
    EXPECT_LT(a.entry(3).angle, 360);

    std::vector<QPoint> tooShort{{0, 100}, {20, 100}};
    rotatedPlacement(a.ctx, tooShort, "abc", 0, a.record);
    EXPECT_EQ(a.labels.count, 3) << "6.7 pixels a character is not above 8";
}

TEST(SimplifyLine, CollinearAndZigzag) {
    std::vector<QPoint> straight;
    for (int i = 0; i < 10; ++i) straight.push_back({i * 7, i * 3});
    auto s = simplifyLine(straight, 1);
    ASSERT_EQ(s.size(), 2u);
    EXPECT_EQ(s.front(), straight.front());
    EXPECT_EQ(s.back(), straight.back());

    // The middle point lies exactly 2 from the chord: a distance of t rejects it.
    std::vector<QPoint> tooth{{0, 0}, {10, 2}, {20, 0}};
    EXPECT_EQ(simplifyLine(tooth, 2).size(), 3u);
    EXPECT_EQ(simplifyLine(tooth, 3).size(), 2u);
    // A rejected candidate is looked past: the chord 0-3 passes within 2 of points 1 and 2.
    std::vector<QPoint> zigzag{{0, 0}, {10, 2}, {20, 0}, {30, 2}, {40, 0}};
    EXPECT_EQ(simplifyLine(zigzag, 2), (std::vector<QPoint>{{0, 0}, {30, 2}, {40, 0}}));

    EXPECT_EQ(simplifyLine({{5, 5}}, 3).size(), 1u);
}

TEST(PlaceAlongLine, ClipsToTheViewFirst) {
    Along a;
    std::vector<QPoint> pts{{-1000, 200}, {1000, 200}};
    placeAlongLine(a.ctx, a.box, 3, a.record, "abcd", pts, 0);
    ASSERT_GE(pts.size(), 2u);
    for (const QPoint& p : pts) {
        EXPECT_GE(p.x(), 0);
        EXPECT_LE(p.x(), 400);
    }
    ASSERT_EQ(a.labels.count, 4);
    EXPECT_NEAR(a.entry(1).x, 50 - 5, 1) << "spread over the visible 400 units only";
}
