#include "view/locate.h"

#include <gtest/gtest.h>

#include "navfixture.h"

using namespace urbica;
using testcity::City;

TEST(FitView, NarrowObjectGetsTheSmallestViewLeftOfItsCentre) {
    // 10 x 4 units: the view is 150 wide and starts 50 left of the centre.
    const ViewRect v = fittedView(404, 304, 5000, 4000, 5010, 4004);
    EXPECT_DOUBLE_EQ(v.width, 150);
    EXPECT_DOUBLE_EQ(v.left, 5005 - 50);
    EXPECT_DOUBLE_EQ(v.height, 150 * 300 / 400.0);
    EXPECT_DOUBLE_EQ(v.top, 4002 - v.height / 2 - 0.4);
}

TEST(FitView, WideObjectGetsATenthOnEachSide) {
    // 1000 x 200: 1200 wide from 100 left of it; the top 20 above centring.
    const ViewRect v = fittedView(404, 304, 2000, 3000, 3000, 3200);
    EXPECT_DOUBLE_EQ(v.width, 1200);
    EXPECT_DOUBLE_EQ(v.left, 1900);
    EXPECT_DOUBLE_EQ(v.height, 900);
    const double centred = 3100 - 900 / 2.0;
    EXPECT_DOUBLE_EQ(v.top, centred - 20);
}

TEST(FitView, TallObjectIsFittedByItsHeight) {
    const ViewRect v = fittedView(404, 304, 1000, 1000, 1100, 2000);
    EXPECT_DOUBLE_EQ(v.height, 1200);
    EXPECT_DOUBLE_EQ(v.width, 1600);
    EXPECT_DOUBLE_EQ(v.top, 900);
    EXPECT_DOUBLE_EQ(v.left, 1050 - 800 - 10);
}

TEST(ShowNamedObject, FitsNamesAndHighlightsAndRecords) {
    City c;
    ASSERT_TRUE(c.ok);
    c.show(5000, 4000, 4000);
    ASSERT_TRUE(showNamedObject(c.s, c.boxes, c.hooks, 1, 1));
    // The district 1000 x 1000: 1200 high, 1600 wide.
    EXPECT_FLOAT_EQ(c.s.view.viewWidth, 1600);
    EXPECT_FLOAT_EQ(c.s.view.viewTop, 900);
    EXPECT_EQ(c.s.history.historyPos, 2);
    EXPECT_EQ(c.infoLine, QStringLiteral("Центральный"));
    EXPECT_EQ(c.mapPixel(1200, 1200), testcity::kHighlight);
    EXPECT_EQ(c.hiddenPixel(1200, 1200), testcity::kAreaFill) << "hidepage stays clean";
}

TEST(ShowNamedObject, BoxStartsFromTheFirstObjectThatCanBeRead) {
    City c;
    ASSERT_TRUE(c.ok);
    // A missing layer, a record past the file and a record 0 come first; the
    // area (3200,2000)-(3600,2400) is the only readable one, and (0, 0) must
    // not take part in the box.
    ObjectBox b;
    ASSERT_TRUE(namedObjectBox(c.s, 4, 1, b));
    EXPECT_EQ(b.x1, 3200);
    EXPECT_EQ(b.y1, 2000);
    EXPECT_EQ(b.x2, 3600);
    EXPECT_EQ(b.y2, 2400);
    c.show(0, 0, 4000);
    ASSERT_TRUE(showNamedObject(c.s, c.boxes, c.hooks, 4, 1));
    EXPECT_FLOAT_EQ(c.s.view.viewLeft, 3040);
    EXPECT_FLOAT_EQ(c.s.view.viewTop, 1960);
    EXPECT_FLOAT_EQ(c.s.view.viewWidth, 640);
    // The record past the layer's object file is noted once, for the window to name.
    ASSERT_TRUE(showNamedObject(c.s, c.boxes, c.hooks, 4, 1));
    const QStringList named = c.s.problems.take();
    ASSERT_EQ(named.size(), 1) << named.join(u'\n').toStdString();
    EXPECT_EQ(named[0].count(QStringLiteral("areas.zgs")), 1) << named[0].toStdString();
    EXPECT_TRUE(named[0].contains(QStringLiteral("999")));
}

TEST(ShowNamedObject, NothingReadableOrMissingChangesNothing) {
    City c;
    ASSERT_TRUE(c.ok);
    c.show(0, 0, 4000);
    const int before = c.redraws;
    for (auto [cls, rec] : {std::pair{4, 2}, {4, 3}, {9, 1}, {0, 0}, {-1, 1}, {1, -5}})
        EXPECT_FALSE(showNamedObject(c.s, c.boxes, c.hooks, cls, rec)) << cls << " " << rec;
    EXPECT_EQ(c.redraws, before);
    EXPECT_EQ(c.s.history.historyPos, 1);
    EXPECT_FLOAT_EQ(c.s.view.viewWidth, 4000);
}

TEST(NearestMetro, WidensAboutTheCentreUntilTheStationIsOnTheEdge) {
    City c;
    ASSERT_TRUE(c.ok);
    c.show(1500, 1125, 1000);  // centre (2000, 1500)
    ASSERT_FLOAT_EQ(c.s.view.viewTop + c.s.view.viewHeight / 2, 1500);
    ASSERT_TRUE(nearestMetro(c.s, c.boxes, c.hooks, 3));
    // Station (500, 2500): farther out horizontally, so the width is 2 x 1500
    // plus a tenth.
    EXPECT_FLOAT_EQ(c.s.view.viewWidth, 3300);
    EXPECT_FLOAT_EQ(c.s.view.viewLeft, 350);
    EXPECT_FLOAT_EQ(c.s.view.viewLeft + c.s.view.viewWidth / 2, 2000);
    EXPECT_FLOAT_EQ(c.s.view.viewTop + c.s.view.viewHeight / 2, 1500);
    EXPECT_EQ(c.s.history.historyPos, 2);
}

TEST(NearestMetro, StationOnALineThroughTheCentreIsFittedByTheOtherSide) {
    City c;
    ASSERT_TRUE(c.ok);
    // Straight above the centre: fitted by the height, no division by zero.
    c.setView(3600 - 400, 1400 - 300, 800);
    ASSERT_TRUE(nearestMetro(c.s, c.boxes, c.hooks, 3));
    EXPECT_FLOAT_EQ(c.s.view.viewHeight, 2200);
    EXPECT_FLOAT_EQ(c.s.view.viewTop, 300);
    EXPECT_FLOAT_EQ(c.s.view.viewLeft + c.s.view.viewWidth / 2, 3600);
    // Straight beside it: fitted by the width.
    c.setView(2600 - 400, 400 - 300, 800);
    ASSERT_TRUE(nearestMetro(c.s, c.boxes, c.hooks, 3));
    EXPECT_FLOAT_EQ(c.s.view.viewWidth, 2200);
    EXPECT_FLOAT_EQ(c.s.view.viewLeft, 1500);
    EXPECT_TRUE(std::isfinite(c.s.view.viewTop));
}

TEST(NearestMetro, OutOfRangeAtTheCentreOrNoClassChangesNothing) {
    City c;
    ASSERT_TRUE(c.ok);
    c.show(7000, 5000, 2000);
    const ViewState before = c.s.view;
    const int redraws = c.redraws;
    EXPECT_FALSE(nearestMetro(c.s, c.boxes, c.hooks, 3)) << "nearest station beyond 2000";
    c.setView(500 - 400, 2500 - 300, 800);  // centred on a station
    EXPECT_FALSE(nearestMetro(c.s, c.boxes, c.hooks, 3));
    EXPECT_FALSE(nearestMetro(c.s, c.boxes, c.hooks, 0));
    EXPECT_FALSE(nearestMetro(c.s, c.boxes, c.hooks, 5));
    EXPECT_EQ(c.redraws, redraws);
    EXPECT_EQ(c.s.history.historyPos, 1);
    c.s.view = before;
    EXPECT_FALSE(nearestMetro(c.s, c.boxes, c.hooks, 3));
    EXPECT_FLOAT_EQ(c.s.view.viewLeft, before.viewLeft);
    EXPECT_FLOAT_EQ(c.s.view.viewWidth, before.viewWidth);
}
