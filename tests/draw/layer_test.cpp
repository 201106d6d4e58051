#include "draw/layer.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QTemporaryDir>

#include "dataset/binary.h"
#include "dataset/datafile.h"
#include "dataset/writer.h"
#include "draw/drawcontext.h"

using namespace urbica;

namespace {

// One layer "obj" on a 1000-unit grid of 100-unit cells, level 1 at every scale.
struct LayerFixture {
    QTemporaryDir dir;
    DatasetData data;
    Settings settings;
    Tables tables;
    LabelQueue labels;
    PictureBox images;
    PictureBox target{104, 104};

    LayerFixture() {
        data.catalogue.gridExtent = 1000;
        LayerRecord l;
        l.layerName = "Объекты";
        l.baseName = "obj";
        l.shown = l.listed = -1;
        l.levels[0] = {100, -1};
        data.tables.layers.push_back(l);
        data.layerObjects.push_back({});
        addType(1, 0);  // 1: open line
        addType(1, 1);  // 2: closed area
        addType(2, 0);  // 3: rotated sample text
        addType(7, 0);  // 4: icon
    }
    void addType(int mode, int closed) {
        ObjectType t;
        t.typeName = "t";
        t.drawMode = int16_t(mode);
        t.closed = int16_t(closed);
        t.labelMode = 1;
        t.labelScale = 1e9f;
        t.penColor = 0x000000;
        t.fillColor = 0x0000FF;
        t.hiPenColor = 0x00FF00;
        t.penStyle = 0;
        t.fillStyle = 0;
        data.tables.types.push_back(t);
    }
    MapObjectData& add(int type, std::vector<QPoint> pts) {
        MapObjectData o;
        o.typeIndex = int16_t(type);
        o.points = std::move(pts);
        data.layerObjects[1].push_back(o);
        return data.layerObjects[1].back();
    }
    QString dataDir() const { return dir.path() + "/"; }
    void write() {
        QString error;
        ASSERT_TRUE(writeDataset(data, dir.path(), &error)) << error.toStdString();
        settings.dataDirectory = dataDir();
        Catalogue c;
        ASSERT_TRUE(readCatalogue(settings, c, tables));
    }
    // Draws the layer with the view (left, top) and 1 unit per pixel; returns the labels queued.
    int draw(double left, double top, double upp = 1) {
        target.backColor = 0xFFFFFF;
        target.cls();
        labels.reset();
        DrawContext ctx{
            settings.dataDirectory, tables, settings, 1000, {}, labels, images, [](int, int32_t) {
                return QStringLiteral("x");
            }};
        ctx.view = {left, top, 100 * upp, 100 * upp, float(upp), 16};
        target.setScale(left, top, 100 * upp, 100 * upp);
        drawlayer(ctx, target, tables.layers[1]);
        return labels.count;
    }
    QRgb pixel(int x, int y) const { return target.image().pixel(x, y) & 0xFFFFFF; }
};

}  // namespace

TEST(DrawLayer, ObjectInFourCellsIsDrawnOnce) {
    LayerFixture fx;
    // A square across the corner of cells (1,1), (2,1), (1,2), (2,2).
    fx.add(2, {{150, 150}, {250, 150}, {250, 250}, {150, 250}});
    fx.write();
    EXPECT_EQ(fx.draw(100, 100, 2), 1) << "view over all four cells";
    EXPECT_EQ(fx.draw(210, 100), 1) << "view starting in the object's second column";
    EXPECT_EQ(fx.draw(210, 210), 1) << "second column and second row";
    EXPECT_EQ(fx.draw(500, 500), 0) << "outside the view";
}

TEST(DrawLayer, ClosedTypeIsFilledOpenTypeIsNot) {
    LayerFixture fx;
    fx.add(2, {{10, 10}, {60, 10}, {60, 60}, {10, 60}});
    fx.add(1, {{10, 70}, {60, 70}, {60, 95}, {10, 95}});
    fx.write();
    fx.draw(0, 0);
    EXPECT_EQ(fx.pixel(35, 35), qRgb(255, 0, 0) & 0xFFFFFFu) << "closed: filled";
    EXPECT_EQ(fx.pixel(10, 35), 0u) << "closing edge from the last point back to the first";
    EXPECT_EQ(fx.pixel(35, 80), 0xFFFFFFu) << "open line: not filled";
    EXPECT_EQ(fx.pixel(10, 80), 0xFFFFFFu) << "open line: no closing edge";
}

TEST(DrawLayer, RotatedSampleNeedsSixteenPixels) {
    auto inkWith = [](int length) {
        LayerFixture fx;
        MapObjectData& o = fx.add(3, {});
        o.x1 = 20;
        o.y1 = 40;
        o.x2 = 20 + length;
        o.y2 = 40;
        fx.write();
        fx.draw(0, 0);
        // Rows with ink: the text's height on the picture.
        int top = 100, bottom = -1;
        for (int y = 0; y < 100; ++y)
            for (int x = 0; x < 100; ++x)
                if (fx.pixel(x, y) != 0xFFFFFFu) {
                    top = std::min(top, y);
                    bottom = std::max(bottom, y);
                }
        return bottom < top ? 0 : bottom - top + 1;
    };
    EXPECT_EQ(inkWith(14), 0) << "height 7 draws nothing";
    const int h = inkWith(16);
    EXPECT_GT(h, 3) << "16 pixels give a text 8 pixels high";
    EXPECT_LE(h, 8);
    const int h20 = inkWith(40);  // a 20-pixel cell: lower-case letters without descenders
    EXPECT_GE(h20, 10);
    EXPECT_LE(h20, 20);
}

TEST(DrawLayer, IconIsMaskAndThenPicture) {
    LayerFixture fx;
    MapObjectData& o = fx.add(4, {{50, 50}});
    o.x1 = o.x2 = 50;
    o.y1 = o.y2 = 50;
    o.iconNumber = 7;
    IconData icon;
    icon.number = 7;
    auto solid = [](int s, QColor c) {
        QImage i(s, s, QImage::Format_RGB32);
        i.fill(c);
        return i;
    };
    // Opaque left half (mask black), red picture there.
    icon.mask16 = solid(16, Qt::white);
    icon.picture16 = solid(16, Qt::black);
    {
        QPainter p(&icon.mask16);
        p.fillRect(0, 0, 8, 16, Qt::black);
        QPainter q(&icon.picture16);
        q.fillRect(0, 0, 8, 16, Qt::red);
    }
    icon.mask32 = solid(32, Qt::white);
    icon.picture32 = solid(32, Qt::black);
    fx.data.icons.push_back(icon);
    fx.write();
    EXPECT_EQ(iconPath(fx.dataDir(), 16, 7, true),
              fx.dataDir() + "icons" + QDir::separator() + "ic167.msk");
    ASSERT_TRUE(QFile::exists(iconPath(fx.dataDir(), 16, 7, false)));
    fx.draw(0, 0);
    EXPECT_EQ(fx.pixel(44, 50), qRgb(255, 0, 0) & 0xFFFFFFu) << "opaque part shows the picture";
    EXPECT_EQ(fx.pixel(54, 50), 0xFFFFFFu) << "transparent part keeps the map";

    // A missing icon picture skips the icon and draws the rest.
    QFile::remove(iconPath(fx.dataDir(), 16, 7, false));
    EXPECT_EQ(fx.draw(0, 0), 1);
    EXPECT_EQ(fx.pixel(44, 50), 0xFFFFFFu);
}

TEST(DrawLayer, DamagedFilesSkipWhatTheyHold) {
    LayerFixture fx;
    fx.add(2, {{10, 10}, {60, 10}, {60, 60}, {10, 60}});
    fx.add(1, {{10, 70}, {60, 70}});
    fx.write();
    ASSERT_EQ(fx.draw(0, 0), 2);

    // Points running past the pool: that object is skipped.
    {
        QFile f(fx.dir.filePath("obj.xy4"));
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        f.resize(f.size() - 8);
    }
    EXPECT_EQ(fx.draw(0, 0), 1);

    // A cell claiming more entries than a cell may hold is skipped.
    {
        QFile f(fx.dir.filePath("obj.tb1"));
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        char rec[6];
        putI16(rec, 20000);
        putI32(rec + 2, 1);
        f.seek(0);  // cell (0, 0)
        f.write(rec, 6);
    }
    EXPECT_EQ(fx.draw(0, 0), 0);

    // A type number past the table, and a missing entry file.
    LayerFixture fy;
    fy.add(9, {{10, 10}, {20, 20}});
    fy.add(1, {{10, 30}, {20, 30}});
    fy.write();
    EXPECT_EQ(fy.draw(0, 0), 1);
    QFile::remove(fy.dir.filePath("obj.sr1"));
    EXPECT_EQ(fy.draw(0, 0), 0);
}

TEST(DrawObject, IconBoxAndLabelAtEveryScale) {
    LayerFixture fx;
    MapObjectData& o = fx.add(4, {{50, 50}});
    o.x1 = o.x2 = 50;
    o.y1 = o.y2 = 50;
    o.iconNumber = 3;
    fx.data.tables.types[4].labelScale = 0;  // the layer would not label it
    fx.write();
    fx.target.backColor = 0xFFFFFF;
    fx.target.cls();
    fx.target.setScale(0, 0, 100, 100);
    DrawContext ctx{fx.settings.dataDirectory,
                    fx.tables,
                    fx.settings,
                    1000,
                    {},
                    fx.labels,
                    fx.images,
                    [](int, int32_t) { return QStringLiteral("M"); }};
    ctx.view = {0, 0, 100, 100, 1, 32};
    drawobject(ctx, fx.target, 1, 1, true);
    // A box 34 pixels wide around the 32-pixel icon at (50, 50): edges at 33 and 67.
    EXPECT_EQ(fx.pixel(33, 50), qRgb(0, 255, 0) & 0xFFFFFFu);
    EXPECT_EQ(fx.pixel(67, 50), qRgb(0, 255, 0) & 0xFFFFFFu);
    EXPECT_EQ(fx.pixel(40, 50), 0xFFFFFFu) << "the icon itself is not drawn";
    EXPECT_EQ(fx.target.fillStyle, 0);
    EXPECT_EQ(fx.labels.count, 1) << "label drawn whatever the label scale";

    fx.labels.reset();
    drawobject(ctx, fx.target, 0, 1, true);
    drawobject(ctx, fx.target, 1, 0, true);
    drawobject(ctx, fx.target, 99, 1, true);
    EXPECT_EQ(fx.labels.count, 0);
}
