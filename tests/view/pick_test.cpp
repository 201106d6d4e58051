#include "view/pick.h"

#include <gtest/gtest.h>

#include <QFile>

#include "navfixture.h"

using namespace urbica;
using testcity::City;

TEST(HitRules, CircleAndIconTolerancesFollowTheScale) {
    ObjectType circle;
    circle.drawMode = 3;
    ObjectRecord r;
    r.x1 = 1000;
    r.y1 = 1000;
    // Tolerance 7 pixels at 2 units per pixel: within 14 units, not at 14.
    EXPECT_TRUE(hitsObject(circle, r, {}, 1013.9, 1000, 2, 16, 7));
    EXPECT_FALSE(hitsObject(circle, r, {}, 1014, 1000, 2, 16, 7));
    EXPECT_FALSE(hitsObject(circle, r, {}, 1010, 1010, 2, 16, 7)) << "14.14 away";

    ObjectType icon;
    icon.drawMode = 7;
    // A 32-pixel icon at 10 units per pixel: 160 units each way, edges excluded.
    EXPECT_TRUE(hitsObject(icon, r, {}, 1159.9, 840.1, 10, 32, 7));
    EXPECT_FALSE(hitsObject(icon, r, {}, 1160, 1000, 10, 32, 7));
    EXPECT_FALSE(hitsObject(icon, r, {}, 1000, 840, 10, 32, 7));

    ObjectType text;
    text.drawMode = 2;
    EXPECT_FALSE(hitsObject(text, r, {}, 1000, 1000, 10, 32, 7)) << "other modes never hit";
}

TEST(HitRules, LinesByDistanceAreasByInside) {
    const std::vector<QPoint> pts = {{0, 0}, {1000, 0}, {1000, 1000}, {0, 1000}};
    ObjectType line;
    line.drawMode = 4;
    ObjectRecord r;
    EXPECT_TRUE(hitsObject(line, r, pts, 500, 20, 10, 16, 7)) << "2 pixels from the line";
    EXPECT_FALSE(hitsObject(line, r, pts, 500, 500, 10, 16, 7)) << "an open line has no inside";
    ObjectType area = line;
    area.drawMode = 1;
    area.closed = 1;
    EXPECT_TRUE(hitsObject(area, r, pts, 500, 500, 10, 16, 7));
    EXPECT_TRUE(hitsObject(area, r, pts, 20, 980, 10, 16, 7)) << "the ring is closed";
    EXPECT_FALSE(hitsObject(area, r, pts, 1500, 500, 10, 16, 7));
    EXPECT_FALSE(hitsObject(area, r, {}, 500, 500, 10, 16, 7));
}

TEST(Pick, FirstLayerInSelectionOrderWins) {
    City c;
    ASSERT_TRUE(c.ok);
    c.show(0, 0, 4000);
    PickResult p = findObjectAt(c.s, 1500, 1500);
    EXPECT_EQ(p.found, 1);
    EXPECT_EQ(p.layer, 3) << "the cover is first in the selection order";
    c.s.tables.selectOrder = {0, 1, 3, 2};
    p = findObjectAt(c.s, 1500, 1500);
    EXPECT_EQ(p.layer, 1);
    EXPECT_EQ(p.objectNumber, 1);
    // A layer that is not selectable is passed over.
    c.s.tables.layers[1].selectable = 0;
    p = findObjectAt(c.s, 1500, 1500);
    EXPECT_EQ(p.layer, 3);
    // Off every object and off the grid: nothing.
    EXPECT_EQ(findObjectAt(c.s, 100, 100).found, 0);
    EXPECT_EQ(findObjectAt(c.s, -50, 1500).found, 0);
    EXPECT_EQ(findObjectAt(c.s, 1500, 20000).found, 0);
}

TEST(Pick, NamesAndHighlightsTheNamedObjectWithItsParts) {
    City c;
    ASSERT_TRUE(c.ok);
    c.show(0, 0, 4000);
    const int redraws = c.redraws;
    PickResult p = pickAt(c.s, c.boxes, c.hooks, 1200, 1200);
    ASSERT_EQ(p.found, 1);
    EXPECT_EQ(p.layer, 1);
    EXPECT_EQ(p.record.nameKind, 1);
    EXPECT_EQ(c.infoLine, QStringLiteral("Районы Центральный"));
    EXPECT_EQ(c.s.pickActive, 0) << "only set while the parts are drawn";
    EXPECT_EQ(c.mapPixel(1200, 1200), testcity::kHighlight);
    EXPECT_EQ(c.mapPixel(2700, 1200), testcity::kHighlight) << "the park is a part";
    EXPECT_EQ(c.mapPixel(3400, 2200), testcity::kAreaFill) << "unrelated area";
    EXPECT_EQ(c.hiddenPixel(2700, 1200), testcity::kAreaFill);

    // Still over it: nothing changes.
    EXPECT_TRUE(pointerStillOver(c.s, c.boxes, c.hooks, p, 1900, 1900));
    EXPECT_EQ(p.found, 1);
    EXPECT_EQ(c.mapPixel(2700, 1200), testcity::kHighlight);
    // Off it: the line is emptied and the highlight wiped, without a redraw.
    EXPECT_FALSE(pointerStillOver(c.s, c.boxes, c.hooks, p, 2100, 1200));
    EXPECT_EQ(p.found, 0);
    EXPECT_TRUE(c.infoLine.isEmpty());
    EXPECT_EQ(c.mapPixel(2700, 1200), testcity::kAreaFill);
    EXPECT_EQ(c.boxes.map.image().copy(0, 0, 400, 300),
              c.boxes.hidepage.image().copy(0, 0, 400, 300));
    EXPECT_EQ(c.redraws, redraws);
}

TEST(Pick, StraightStreetBesideThePointer) {
    // Level and plumb streets over the district: their boxes have no height or width.
    DatasetData data = testcity::city();
    ObjectType street;
    street.typeName = "Улица";
    street.drawMode = 4;
    data.tables.types.push_back(street);
    MapObjectData level, plumb;
    level.typeIndex = plumb.typeIndex = 4;
    level.points = {{1100, 1200}, {1900, 1200}};
    plumb.points = {{1800, 1100}, {1800, 1300}};
    data.layerObjects[3].push_back(level);
    data.layerObjects[3].push_back(plumb);
    City c(data);
    ASSERT_TRUE(c.ok);
    c.show(0, 0, 4000);  // 10 units per pixel
    PickResult p = findObjectAt(c.s, 1500, 1220);
    EXPECT_EQ(p.layer, 3) << "two pixels beside the level street";
    EXPECT_EQ(p.objectNumber, 2);
    p = findObjectAt(c.s, 1780, 1150);
    EXPECT_EQ(p.layer, 3) << "two pixels beside the plumb street";
    EXPECT_EQ(p.objectNumber, 3);
    p = findObjectAt(c.s, 1500, 1300);
    EXPECT_EQ(p.layer, 1) << "ten pixels off: the district under it";
}

TEST(Pick, UnnamedObjectIsNamedByItsTypeAndDrawnAlone) {
    City c;
    ASSERT_TRUE(c.ok);
    c.show(0, 0, 4000);
    const PickResult p = pickAt(c.s, c.boxes, c.hooks, 3400, 2200);
    ASSERT_EQ(p.found, 1);
    EXPECT_EQ(c.infoLine.trimmed(), QStringLiteral("Территория"));
    EXPECT_EQ(c.mapPixel(3400, 2200), testcity::kHighlight);
    EXPECT_EQ(c.mapPixel(1200, 1200), testcity::kAreaFill);
}

TEST(Pick, MissesChangeNothingOnScreen) {
    City c;
    ASSERT_TRUE(c.ok);
    c.show(0, 0, 4000);
    const QImage before = c.boxes.map.image();
    const PickResult p = pickAt(c.s, c.boxes, c.hooks, 100, 100);
    EXPECT_EQ(p.found, 0);
    EXPECT_TRUE(c.infoLine.isEmpty());
    EXPECT_EQ(c.boxes.map.image(), before);
}

TEST(Pick, DamagedObjectFileGivesNoHitAndNoCrash) {
    City c;
    ASSERT_TRUE(c.ok);
    c.show(0, 0, 4000);
    c.s.tables.selectOrder = {0, 1, 2, 3};
    // Cut the area layer's object file after its first record, and its points.
    QFile zgs(c.dir.filePath("areas.zgs"));
    ASSERT_TRUE(zgs.resize(32));
    QFile xy4(c.dir.filePath("areas.xy4"));
    ASSERT_TRUE(xy4.resize(8));
    EXPECT_EQ(findObjectAt(c.s, 2700, 1200).found, 0) << "record 2 is gone";
    EXPECT_EQ(findObjectAt(c.s, 1200, 1200).found, 0) << "its points are gone";
    EXPECT_EQ(findObjectAt(c.s, 1500, 1500).layer, 3) << "the next layer still answers";
    QFile::remove(c.dir.filePath("cover.tb1"));
    EXPECT_EQ(findObjectAt(c.s, 1500, 1500).found, 0);
}

TEST(Pick, PartialRestoreGivesTheSamePictureAsAWholeOne) {
    City c;
    ASSERT_TRUE(c.ok);
    c.show(0, 0, 4000);
    const std::vector<QPointF> points = {{1500, 1500}, {2700, 1200}, {3400, 2200}, {1500, 1500}};
    for (size_t i = 0; i < points.size(); ++i) {
        pickAt(c.s, c.boxes, c.hooks, points[i].x(), points[i].y());
        const QImage partial = c.boxes.map.image().copy();
        // The same pick after a whole restore.
        c.boxes.mapRestoredFrom = ~quint64(0);
        pickAt(c.s, c.boxes, c.hooks, points[i].x(), points[i].y());
        EXPECT_EQ(partial, c.boxes.map.image()) << "pick " << i;
    }
    // Drawing on hidepage after a pick is noticed: the next restore is whole.
    c.boxes.hidepage.foreColor = 0x00FF00;
    c.boxes.hidepage.line(0, 0, 4000, 3000);
    PickResult p = findObjectAt(c.s, 1500, 1500);
    pickAt(c.s, c.boxes, c.hooks, 1500, 1500);
    EXPECT_FALSE(pointerStillOver(c.s, c.boxes, c.hooks, p, -100, -100));
    EXPECT_EQ(c.boxes.map.image().copy(0, 0, 400, 300),
              c.boxes.hidepage.image().copy(0, 0, 400, 300));
}
