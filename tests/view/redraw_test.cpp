#include "view/redraw.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "dataset/writer.h"
#include "draw/mapnotice.h"
#include "view/pick.h"
#include "view/pictureexport.h"

using namespace urbica;

namespace {

// A 10000 x 8000 extent; layer 1 holds a labelled square, layer 2 (drawn
// after it) a filled square over the same place; class 1 names the square
// of layer 1 so that it can be marked.
struct ViewFixture {
    QTemporaryDir dir;
    AppState s;
    MapBoxes boxes;
    ViewHooks hooks;
    bool backEnabled = false, forwardEnabled = false;

    ViewFixture() {
        DatasetData d;
        Catalogue& c = d.catalogue;
        c.gridExtent = 10000;
        c.extentLeft = 0;
        c.extentTop = 0;
        c.extentWidth = 10000;
        c.extentHeight = 8000;
        c.minUnitsPerPixel = 0.5f;
        c.overviewLeft = 0;
        c.overviewTop = 0;
        c.overviewWidth = 10000;
        ObjectType label;  // open line with a centred label in blue
        label.drawMode = 1;
        label.labelMode = 1;
        label.labelScale = 1e9f;
        label.labelColor = 0xFF0000;
        label.labelSize = 20;
        label.fontName = "Arial";
        label.hiPenColor = 0x00FF00;
        label.hiFillColor = 0x00FF00;
        label.hiFillStyle = 0;
        label.closed = 1;
        label.fillStyle = 1;
        ObjectType cover;  // filled red square, no label
        cover.drawMode = 1;
        cover.closed = 1;
        cover.fillColor = 0x0000FF;
        cover.penColor = 0x0000FF;
        cover.fillStyle = 0;
        d.tables.types = {ObjectType{}, label, cover};
        for (int i = 1; i <= 2; ++i) {
            LayerRecord l;
            l.layerName = QString("L%1").arg(i);
            l.baseName = QString("l%1").arg(i);
            l.shown = l.listed = l.onOverview = -1;
            l.levels[0] = {1000, -1};
            d.tables.layers.push_back(l);
        }
        MapObjectData a;
        a.typeIndex = 1;
        a.nameKind = 1;
        a.nameIndex = 1;
        a.points = {{1000, 1000}, {3000, 1000}, {3000, 3000}, {1000, 3000}};
        MapObjectData b;
        b.typeIndex = 2;
        b.points = a.points;
        d.layerObjects = {{}, {a}, {b}};
        ClassRecord cls;
        cls.className = "Квадраты";
        cls.baseName = "kv";
        cls.nameStyle = 1;
        cls.hasNames = 1;
        d.tables.classes.push_back(cls);
        NameData n;
        n.name = "WWWWW";
        n.mapObjects = {{1, 1}};
        d.classNames = {{}, {n}};
        QString error;
        EXPECT_TRUE(writeDataset(d, dir.path(), &error)) << error.toStdString();
        s.settings.dataDirectory = dir.path() + "/";
        s.programDirectory = dir.path();
        EXPECT_TRUE(readCatalogue(s.settings, s.catalogue, s.tables));
        boxes.map.resize(404, 304);
        boxes.hidepage.resize(404, 304);
        boxes.originalpage.resize(404, 304);
        boxes.nav.resize(104, 104);
        hooks.setHistoryButtons = [this](bool back, bool fwd) {
            backEnabled = back;
            forwardEnabled = fwd;
        };
    }
    void show(float left, float top, float width, bool record = true) {
        s.view.viewLeft = left;
        s.view.viewTop = top;
        s.view.viewWidth = width;
        redrawView(s, boxes, hooks, record);
    }
};

QRgb px(const PictureBox& b, int x, int y) { return b.image().pixel(x, y) & 0xFFFFFF; }

}  // namespace

TEST(RedrawView, ClampsToTheExtentInOrder) {
    ViewFixture f;
    f.show(-500, -700, 20000);
    EXPECT_EQ(f.s.view.viewWidth, 10000.f) << "narrowed to the extent's width";
    EXPECT_EQ(f.s.view.viewLeft, 0.f);
    EXPECT_EQ(f.s.view.viewTop, 0.f) << "above the extent: moved to its edge";
    EXPECT_EQ(f.s.view.viewHeight, 7500.f);

    // A square box: the derived height passes the extent's and narrows the width.
    f.boxes.map.resize(304, 304);
    f.show(0, 0, 9000);
    EXPECT_EQ(f.s.view.viewHeight, 8000.f);
    EXPECT_EQ(f.s.view.viewWidth, 8000.f);

    f.show(9000, 7900, 2000);
    EXPECT_EQ(f.s.view.viewLeft, 8000.f) << "right part shifted back";
    EXPECT_EQ(f.s.view.viewTop, 6000.f);
}

TEST(RedrawView, ZoomInLimitKeepsTheCentre) {
    ViewFixture f;
    f.show(5000, 4000, 100);  // 0.25 units per pixel asked, 0.5 allowed
    EXPECT_FLOAT_EQ(f.s.view.unitsPerPixel, 0.5f);
    EXPECT_FLOAT_EQ(f.s.view.viewWidth, 200.f);
    EXPECT_FLOAT_EQ(f.s.view.viewLeft + f.s.view.viewWidth / 2, 5050.f);
    EXPECT_FLOAT_EQ(f.s.view.viewTop + f.s.view.viewHeight / 2, 4000.f + 75.f / 2);
    EXPECT_FLOAT_EQ(f.boxes.navfrag.width, 100.f) << "the frame shows the rectangle asked for";
}

TEST(RedrawView, IconSizeFollowsTheThreshold) {
    ViewFixture f;
    f.show(0, 0, 4000);  // 10 units per pixel
    EXPECT_EQ(f.s.view.iconSize, 32);
    f.show(0, 0, 4200);  // 10.5
    EXPECT_EQ(f.s.view.iconSize, 16);
}

TEST(RedrawView, HistoryIsCutAfterGoingBack) {
    ViewFixture f;
    f.show(0, 0, 4000);
    EXPECT_EQ(f.s.history.historyPos, 1);
    EXPECT_FALSE(f.backEnabled);
    EXPECT_FALSE(f.forwardEnabled);
    for (int i = 1; i < 5; ++i) f.show(float(i * 100), 0, 4000);
    ASSERT_EQ(f.s.history.upperBound(), 5);
    // Back twice, without recording.
    f.s.history.historyPos = 3;
    f.show(200, 0, 4000, false);
    EXPECT_TRUE(f.backEnabled);
    EXPECT_TRUE(f.forwardEnabled);
    f.show(900, 0, 4000);
    EXPECT_EQ(f.s.history.historyPos, 4);
    EXPECT_EQ(f.s.history.upperBound(), 4) << "the two later views are dropped";
    EXPECT_EQ(f.s.history.entries[4].viewLeft, 900.f);
    EXPECT_FALSE(f.forwardEnabled);
}

TEST(RenderMap, LabelsAboveLayersAndMarksAboveLabels) {
    ViewFixture f;
    f.show(0, 0, 4000);  // 10 units per pixel: the square spans pixels 100..300 x 100..300
    auto blueInk = [](const PictureBox& b) {
        int n = 0;
        for (int y = 195; y < 240; ++y)
            for (int x = 195; x < 300; ++x) {
                QColor c(b.image().pixel(x, y));
                n += c.blue() > 150 && c.red() < 100;
            }
        return n;
    };
    EXPECT_EQ(px(f.boxes.map, 150, 150), qRgb(255, 0, 0) & 0xFFFFFFu) << "layer 2 covers layer 1";
    EXPECT_GT(blueInk(f.boxes.map), 10) << "the label of layer 1 lies above layer 2";

    f.s.marksList.add({1, 1});
    f.show(0, 0, 4000);
    EXPECT_EQ(px(f.boxes.hidepage, 150, 150), qRgb(0, 255, 0) & 0xFFFFFFu) << "the mark on top";
    EXPECT_EQ(px(f.boxes.originalpage, 150, 150), qRgb(255, 0, 0) & 0xFFFFFFu)
        << "the clean copy has no marks";
}

TEST(RedrawView, NothingWithoutADataset) {
    ViewFixture f;
    f.s.catalogue.gridExtent = 0;
    f.show(0, 0, 4000);
    EXPECT_EQ(f.s.history.historyPos, 0);
}

TEST(BuildOverview, DrawsOverviewLayersAndKeepsTheView) {
    ViewFixture f;
    f.s.view.viewLeft = 100;
    f.s.view.viewTop = 200;
    f.s.view.viewWidth = 4000;
    buildOverview(f.s, f.boxes, f.hooks);
    EXPECT_EQ(f.s.view.viewLeft, 100.f);
    EXPECT_EQ(f.s.view.viewWidth, 4000.f);
    EXPECT_FLOAT_EQ(f.s.view.unitsPerPixel, 10.f) << "recomputed from the map box";
    // 100 units per pixel: the square lies at pixels 10..30.
    EXPECT_EQ(px(f.boxes.nav, 20, 20), qRgb(255, 0, 0) & 0xFFFFFFu);
    EXPECT_EQ(f.boxes.tempnav.image(), f.boxes.nav.image());
    f.s.settings.allwindow = 1;
    f.boxes.nav.cls();
    buildOverview(f.s, f.boxes, f.hooks);
    EXPECT_NE(px(f.boxes.nav, 20, 20), qRgb(255, 0, 0) & 0xFFFFFFu);
}

TEST(RenderMap, HidepageLargerThanTheMapIsClearedBeyondTheDrawnPart) {
    ViewFixture f;
    // The off-screen pages are as large as the screen, the map smaller; old
    // ink beyond the map's part must not survive a redraw.
    f.boxes.hidepage.resize(604, 404);
    f.boxes.hidepage.foreColor = 0x0000FF;
    f.boxes.hidepage.drawWidth = 9;
    f.boxes.hidepage.setScale(0, 0, 600, 400);
    f.boxes.hidepage.line(0, 0, 600, 400);
    f.show(0, 0, 4000);
    const QImage& hide = f.boxes.hidepage.image();
    const QImage& map = f.boxes.map.image();
    EXPECT_EQ(hide.copy(0, 0, map.width(), map.height()), map);
    for (int y = 0; y < hide.height(); y += 7) {
        for (int x = 0; x < hide.width(); x += 7) {
            if (x >= map.width() || y >= map.height()) {
                ASSERT_EQ(hide.pixel(x, y) & 0xFFFFFF, 0xFFFFFFu) << x << "," << y;
            }
        }
    }
}

TEST(RenderMap, ScaleBarAndNoticeLieOverMarksAndHighlights) {
    ViewFixture f;
    f.s.marksList.add({1, 1});
    // 10 units per pixel: the marked square (pixels 100..300) runs under the
    // scale bar (1 km, pixels 10..110 at row 290).
    f.show(0, 0, 4000);
    EXPECT_EQ(px(f.boxes.hidepage, 105, 290), 0u) << "the bar over the mark";
    EXPECT_EQ(px(f.boxes.hidepage, 150, 250), qRgb(0, 255, 0) & 0xFFFFFFu);
    const QImage withoutNotice = f.boxes.hidepage.image().copy();

    // A dataset that names its source shows the notice in the lower-right
    // corner, and only there.
    f.s.source = openStreetMapSource();
    f.show(0, 0, 4000);
    const QImage& shown = f.boxes.hidepage.image();
    const QRect notice = mapNoticeRect(f.boxes.hidepage, f.s.source->notice, 400, 300);
    ASSERT_FALSE(notice.isEmpty());
    EXPECT_EQ(notice.bottomRight(), QPoint(399, 299));
    int changedOutside = 0, inkInside = 0;
    for (int y = 0; y < 300; ++y)
        for (int x = 0; x < 400; ++x) {
            const bool differs = shown.pixel(x, y) != withoutNotice.pixel(x, y);
            if (!notice.contains(x, y)) changedOutside += differs;
            inkInside += notice.contains(x, y) && qGray(shown.pixel(x, y)) < 128;
        }
    EXPECT_EQ(changedOutside, 0);
    EXPECT_GT(inkInside, 20) << "the text is drawn";

    // A picked highlight is drawn under them too.
    f.s.marksList.clear();
    f.s.tables.layers[1].selectable = -1;
    f.show(0, 0, 4000);
    const PickResult pick = pickAt(f.s, f.boxes, f.hooks, 1050, 2900);
    ASSERT_EQ(pick.found, 1);
    EXPECT_EQ(px(f.boxes.map, 105, 290), 0u);
    EXPECT_EQ(px(f.boxes.map, 150, 250), qRgb(0, 255, 0) & 0xFFFFFFu);

    // A cut-out keeps the notice in its own corner.
    const QImage part = pictureWithNotice(QImage(200, 100, QImage::Format_RGB32), QString());
    EXPECT_EQ(part.size(), QSize(200, 100));
    QImage blank(400, 200, QImage::Format_RGB32);
    blank.fill(Qt::black);
    const QImage marked = pictureWithNotice(blank, f.s.source->notice);
    EXPECT_EQ(marked.size(), blank.size());
    EXPECT_EQ(marked.pixel(399, 199) & 0xFFFFFF, 0xFFFFFFu) << "the notice's white strip";
    EXPECT_EQ(marked.pixel(0, 0) & 0xFFFFFF, 0u);
}

// A layer file cut inside a record, while the city is open: the picture holds
// what can be read (the other layer, its label) and the file is noted once
// however often the view is drawn; cut again, it is noted again.
TEST(RenderMap, DamagedLayerFileIsNotedOnceAndTheRestIsDrawn) {
    ViewFixture f;
    f.s.tables.layers[2].shown = 0;
    f.show(0, 0, 4000);
    const QImage withoutCover = f.boxes.map.image();
    f.s.tables.layers[2].shown = -1;
    f.show(0, 0, 4000);
    EXPECT_TRUE(f.s.problems.take().isEmpty());

    QStringList named;
    const QString cover = f.dir.filePath(QStringLiteral("l2.zgs"));
    for (const qint64 size : {qint64(7), qint64(3)}) {
        ASSERT_TRUE(QFile::resize(cover, size));
        for (int i = 0; i < 3; ++i) {
            f.show(float(i * 100), 0, 4000);
            named += f.s.problems.take();
        }
        f.show(0, 0, 4000);
        EXPECT_EQ(f.boxes.map.image(), withoutCover) << size;
    }
    ASSERT_EQ(named.size(), 2) << named.join(u'\n').toStdString();
    for (const QString& text : named) EXPECT_EQ(text.count(QStringLiteral("l2.zgs")), 1);
}

TEST(RenderMap, RedrawsDrawOverTheShownBufferAndBothCopiesGetTheNewPicture) {
    ViewFixture f;
    f.show(0, 0, 4000);
    f.show(1000, 1000, 4000);  // the buffers have settled after the first pictures
    const uchar* shown = f.boxes.map.image().constBits();
    for (float left : {0.f, 2000.f}) {
        const QImage before = f.boxes.map.image().copy();
        f.show(left, 0, 4000);
        EXPECT_EQ(f.boxes.map.image().constBits(), shown) << "no other buffer filled";
        EXPECT_NE(f.boxes.map.image(), before);
        EXPECT_EQ(f.boxes.hidepage.image(), f.boxes.map.image());
        EXPECT_EQ(f.boxes.originalpage.image(), f.boxes.map.image());
    }
}
