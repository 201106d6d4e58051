#include "dataset/writer.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <map>
#include <random>
#include <set>

#include "dataset/binary.h"
#include "dataset/datafile.h"
#include "dataset/settings.h"

using namespace urbica;

namespace {

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

LayerRecord makeLayer(const QString& name, const QString& base, int32_t c1, int32_t c2,
                      int32_t c3) {
    LayerRecord l;
    l.layerName = name;
    l.baseName = base;
    l.shown = -1;
    l.listed = -1;
    l.selectable = -1;
    l.onOverview = 0;
    l.levels[0] = {c1, 3};
    l.levels[1] = {c2, 15};
    l.levels[2] = {c3, -1};
    return l;
}

ClassRecord makeClass(const QString& name, const QString& base, int16_t style) {
    ClassRecord c;
    c.className = name;
    c.baseName = base;
    c.nameStyle = style;
    c.searchable = -1;
    c.hasNames = -1;
    return c;
}

MapObjectData line(int16_t type, std::initializer_list<QPoint> pts, int16_t maxLevel = 3) {
    MapObjectData o;
    o.typeIndex = type;
    o.points = pts;
    o.maxLevel = maxLevel;
    return o;
}

QImage filled(int size, QColor colour) {
    QImage img(size, size, QImage::Format_RGB32);
    img.fill(colour);
    return img;
}

// A small city: two layers, four classes (street, houses, a long-name class
// and a plain one), two icons.
DatasetData smallDataset() {
    DatasetData d;
    d.catalogue.startX = 100;
    d.catalogue.startY = 200;
    d.catalogue.startWidth = 3000;
    d.catalogue.minUnitsPerPixel = 0.25f;
    d.catalogue.extentWidth = 8000;
    d.catalogue.extentHeight = 8000;
    d.catalogue.gridExtent = 8000;
    d.catalogue.metroRangeDivisor = 4;
    d.catalogue.streetClass = 1;
    d.catalogue.metroClass = 4;
    d.catalogue.overviewWidth = 8000;

    ObjectType road;
    road.typeName = QStringLiteral("Улица");
    road.drawMode = 1;
    road.labelMode = 6;
    road.labelScale = 5;
    ObjectType icon;
    icon.typeName = QStringLiteral("Аптека");
    icon.drawMode = 7;
    icon.labelMode = 4;
    d.tables.types = {ObjectType{}, road, icon};
    d.tables.layers = {LayerRecord{}, makeLayer(QStringLiteral("Улицы"), "ul", 1000, 2000, 4000),
                       makeLayer(QStringLiteral("Значки"), "zn", 500, 0, 8000)};
    d.tables.classes = {ClassRecord{}, makeClass(QStringLiteral("Улицы"), "ulicy", 2),
                        makeClass(QStringLiteral("Дома"), "doma", 3),
                        makeClass(QStringLiteral("Организации"), "org", 4),
                        makeClass(QStringLiteral("Станции метро"), "metro", 1)};
    d.tables.classExtra = {0, 7};

    d.layerObjects.resize(3);
    auto& streets = d.layerObjects[1];
    streets.push_back(line(1, {{100, 100}, {2500, 100}, {2500, 1800}}));
    streets.back().nameKind = 1;
    streets.back().nameIndex = 1;
    streets.push_back(line(1, {{7000, 7500}, {7990, 7990}}, 1));
    MapObjectData text;  // rotated text: two points, no point list
    text.typeIndex = 1;
    text.x1 = 3000;
    text.y1 = 3100;
    text.x2 = 2000;
    text.y2 = 2900;
    streets.push_back(text);
    auto& icons = d.layerObjects[2];
    MapObjectData pharmacy;
    pharmacy.typeIndex = 2;
    pharmacy.points = {{4000, 4000}};
    pharmacy.iconNumber = 5;
    pharmacy.nameKind = 3;
    pharmacy.nameIndex = 1;
    icons.push_back(pharmacy);

    d.classNames.resize(5);
    NameData street;
    street.name = QStringLiteral("Садовая улица");
    street.mapObjects = {{1, 1}};
    street.parts = {{2, 1}, {2, 2}};
    d.classNames[1] = {street};
    NameData h1, h2;
    h1.number = QStringLiteral("12А");
    h1.parentClass = 1;
    h1.parentRecord = 1;
    h2.number = QStringLiteral("12");
    h2.fraction = QStringLiteral("3");
    h2.building = QStringLiteral("2");
    h2.parentClass = 1;
    h2.parentRecord = 1;
    h2.mapObjects = {{1, 2}, {1, 3}};
    d.classNames[2] = {h1, h2};
    NameData org;
    org.name = QStringLiteral("Городская аптека номер один");
    org.shortName = QStringLiteral("Аптека №1");
    org.mapObjects = {{2, 1}};
    d.classNames[3] = {org};
    NameData station;
    station.name = QStringLiteral("Площадь Мира");
    d.classNames[4] = {station};

    d.icons.push_back({5, filled(16, Qt::black), filled(16, Qt::red), filled(32, Qt::black),
                       filled(32, Qt::red)});
    d.icons.push_back({9, filled(16, Qt::white), filled(16, Qt::blue), QImage(), QImage()});
    return d;
}

struct ObjectRecord {
    int16_t typeIndex, nameKind;
    int32_t nameIndex, x1, y1, x2, y2;
    int16_t pointCount;
    int32_t pointOffset;
    int16_t maxLevel;
};

ObjectRecord readObject(const QString& path, int n) {
    RecordFile f(path, 32);
    char b[32];
    EXPECT_TRUE(f.read(n, b)) << "object " << n;
    return {getI16(b),      getI16(b + 2),  getI32(b + 4),  getI32(b + 8),
            getI32(b + 12), getI32(b + 16), getI32(b + 20), getI16(b + 24),
            getI32(b + 26), getI16(b + 30)};
}

std::vector<QPoint> readPoints(const QString& path, const ObjectRecord& o) {
    DataFile f(path);
    std::vector<QPoint> pts;
    QByteArray bytes;
    if (!f.readAt(o.pointOffset - 1, qint64(o.pointCount) * 8, bytes)) return pts;
    for (int i = 0; i < o.pointCount; ++i)
        pts.emplace_back(getI32(bytes.constData() + i * 8), getI32(bytes.constData() + i * 8 + 4));
    return pts;
}

// A level's grid as read from disk: per cell the (object, flags) list.
using DiskGrid = std::map<std::pair<int, int>, std::vector<std::pair<int32_t, int16_t>>>;

DiskGrid readGrid(const QString& base, int level, int32_t gridExtent, int32_t cellSize) {
    DiskGrid grid;
    RecordFile tb(base + ".tb" + QString::number(level), 6);
    DataFile sr(base + ".sr" + QString::number(level));
    const int n = gridExtent / cellSize;
    EXPECT_EQ(tb.recordCount(), qint64(n) * n);
    for (int col = 0; col < n; ++col) {
        for (int row = 0; row < n; ++row) {
            char rec[6];
            const qint64 number = qint64(gridExtent) * col / cellSize + row + 1;
            if (!tb.read(number, rec)) {
                ADD_FAILURE() << "grid record " << number;
                return grid;
            }
            const int16_t count = getI16(rec);
            const int32_t first = getI32(rec + 2);
            if (count < 1) continue;
            QByteArray entries;
            EXPECT_TRUE(sr.readAt(qint64(first - 1) * 6, qint64(count) * 6, entries));
            for (int i = 0; i < count && entries.size() == count * 6; ++i) {
                const char* e = entries.constData() + i * 6;
                const int32_t object = int32_t(getI16(e + 2)) * 65536 + int32_t(getU16(e));
                grid[{col, row}].emplace_back(object, getI16(e + 4));
            }
        }
    }
    return grid;
}

// The cells a box overlaps, by the reader's rule col = x \ cellSize, kept inside the grid.
void expectedCells(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t cellSize, int n,
                   int& c0, int& c1, int& r0, int& r1) {
    c0 = std::min(x1 / cellSize, n - 1);
    c1 = std::min(x2 / cellSize, n - 1);
    r0 = std::min(y1 / cellSize, n - 1);
    r1 = std::min(y2 / cellSize, n - 1);
}

TEST(WriterTest, TablesAndCatalogueReadBack) {
    QTemporaryDir dir;
    const DatasetData d = smallDataset();
    QString error;
    ASSERT_TRUE(writeDataset(d, dir.path(), &error)) << error.toStdString();

    Settings s;
    s.dataDirectory = dir.path() + "/";
    s.savedClassIndex = 9;
    Catalogue cat;
    Tables t;
    ASSERT_TRUE(readCatalogue(s, cat, t));
    EXPECT_EQ(cat.startX, 100);
    EXPECT_EQ(cat.startWidth, 3000);
    EXPECT_FLOAT_EQ(cat.minUnitsPerPixel, 0.25f);
    EXPECT_EQ(cat.gridExtent, 8000);
    EXPECT_EQ(cat.extentHeight, 8000);
    EXPECT_EQ(cat.streetClass, 1);
    EXPECT_EQ(cat.metroClass, 4);
    EXPECT_EQ(s.savedClassIndex, 1);  // past the four classes

    ASSERT_EQ(t.layerCount(), 2);
    EXPECT_EQ(t.layers[2].layerName.trimmed(), QStringLiteral("Значки"));
    EXPECT_EQ(t.layers[2].fileBase(), "zn");
    EXPECT_EQ(t.layers[1].levels[2].cellSize, 4000);
    EXPECT_FLOAT_EQ(t.layers[1].levels[2].scaleLimit, -1);
    // Empty orders are written as the layers in table order.
    EXPECT_EQ(t.drawOrder, (std::vector<int16_t>{0, 1, 2}));
    EXPECT_EQ(t.selectOrder, (std::vector<int16_t>{0, 1, 2}));
    ASSERT_EQ(t.typeCount(), 2);
    EXPECT_EQ(t.types[2].drawMode, 7);
    EXPECT_EQ(t.types[1].labelMode, 6);
    ASSERT_EQ(t.classCount(), 4);
    EXPECT_EQ(t.classes[3].nameStyle, 4);
    EXPECT_EQ(t.classes[1].className.trimmed(), QStringLiteral("Улицы"));
    EXPECT_EQ(t.classExtra, (std::vector<int16_t>{0, 7, 0, 0, 0}));

    readIconTable(s.dataDirectory, t);
    EXPECT_EQ(t.iconCodes, (std::vector<int16_t>{0, 5, 9}));

    const QImage mask = QImage(dir.filePath("icons/ic325.msk"));
    ASSERT_FALSE(mask.isNull());
    EXPECT_EQ(mask.size(), QSize(32, 32));
    EXPECT_EQ(QImage(dir.filePath("icons/ic165.pic")).pixelColor(3, 3), QColor(Qt::red));
    EXPECT_TRUE(QFile::exists(dir.filePath("icons/ic169.msk")));
    EXPECT_FALSE(QFile::exists(dir.filePath("icons/ic329.msk")));  // no picture given
    EXPECT_EQ(readFile(dir.filePath("gor.cls")).size(), 100);
}

TEST(WriterTest, ObjectRecordsAndPointsByOffset) {
    QTemporaryDir dir;
    const DatasetData d = smallDataset();
    ASSERT_TRUE(writeDataset(d, dir.path()));
    const QString zgs = dir.filePath("ul.zgs"), xy4 = dir.filePath("ul.xy4");
    EXPECT_EQ(readFile(zgs).size(), 3 * 32);
    EXPECT_EQ(readFile(xy4).size(), 5 * 8);

    const ObjectRecord a = readObject(zgs, 1);
    EXPECT_EQ(a.typeIndex, 1);
    EXPECT_EQ(a.nameKind, 1);
    EXPECT_EQ(a.nameIndex, 1);
    // The box comes from the points.
    EXPECT_EQ(a.x1, 100);
    EXPECT_EQ(a.y1, 100);
    EXPECT_EQ(a.x2, 2500);
    EXPECT_EQ(a.y2, 1800);
    EXPECT_EQ(a.pointCount, 3);
    EXPECT_EQ(a.pointOffset, 1);
    EXPECT_EQ(a.maxLevel, 3);
    EXPECT_EQ(readPoints(xy4, a), (std::vector<QPoint>{{100, 100}, {2500, 100}, {2500, 1800}}));

    const ObjectRecord b = readObject(zgs, 2);
    EXPECT_EQ(b.pointOffset, 25);
    EXPECT_EQ(b.maxLevel, 1);
    EXPECT_EQ(readPoints(xy4, b), (std::vector<QPoint>{{7000, 7500}, {7990, 7990}}));

    // Without points the given values stay as they are, in their order.
    const ObjectRecord c = readObject(zgs, 3);
    EXPECT_EQ(c.pointCount, 0);
    EXPECT_EQ(c.pointOffset, 1);
    EXPECT_EQ(c.x1, 3000);
    EXPECT_EQ(c.x2, 2000);

    // An icon keeps its number in place of the offset; the pool covers a
    // read of its points from there.
    const QString iconPool = dir.filePath("zn.xy4");
    const ObjectRecord i = readObject(dir.filePath("zn.zgs"), 1);
    EXPECT_EQ(i.pointOffset, 5);
    EXPECT_EQ(i.pointCount, 1);
    EXPECT_EQ(i.x1, 4000);
    EXPECT_EQ(i.x2, 4000);
    EXPECT_EQ(i.y1, 4000);
    EXPECT_GE(readFile(iconPool).size(), 5 - 1 + 8);
}

TEST(WriterTest, NameFilesInEveryLayout) {
    QTemporaryDir dir;
    ASSERT_TRUE(writeDataset(smallDataset(), dir.path()));

    // Street: one map object, two parts (the houses).
    const QByteArray streetIndex = readFile(dir.filePath("ulicy.cl2"));
    ASSERT_EQ(streetIndex.size(), 18);
    EXPECT_EQ(getI16(streetIndex.constData()), 1);
    EXPECT_EQ(getI32(streetIndex.constData() + 2), 1);
    EXPECT_EQ(getI16(streetIndex.constData() + 6), 2);
    EXPECT_EQ(getI32(streetIndex.constData() + 8), 1);
    const QByteArray parts = readFile(dir.filePath("ulicy.dnl"));
    ASSERT_EQ(parts.size(), 12);
    EXPECT_EQ(getI16(parts.constData() + 6), 2);
    EXPECT_EQ(getI32(parts.constData() + 8), 2);
    const QByteArray street = readFile(dir.filePath("ulicy.cls"));
    ASSERT_EQ(street.size(), 68);
    EXPECT_EQ(getText(street.constData(), 32).trimmed(), QStringLiteral("Садовая улица"));

    // Houses: the first has no map objects, the second's start after them.
    const QByteArray houses = readFile(dir.filePath("doma.cl2"));
    ASSERT_EQ(houses.size(), 36);
    EXPECT_EQ(getI16(houses.constData()), 0);
    EXPECT_EQ(getI32(houses.constData() + 2), 0);
    EXPECT_EQ(getI16(houses.constData() + 12), 1);
    EXPECT_EQ(getI32(houses.constData() + 14), 1);
    EXPECT_EQ(getI16(houses.constData() + 18), 2);
    EXPECT_EQ(getI32(houses.constData() + 20), 1);
    const QByteArray houseRefs = readFile(dir.filePath("doma.ssl"));
    ASSERT_EQ(houseRefs.size(), 12);
    EXPECT_EQ(getI32(houseRefs.constData() + 8), 3);
    const QByteArray numbers = readFile(dir.filePath("doma.cls"));
    ASSERT_EQ(numbers.size(), 20);
    EXPECT_EQ(getText(numbers.constData(), 4), QStringLiteral("12А "));
    EXPECT_EQ(getText(numbers.constData() + 10, 10), QStringLiteral("12  3  2  "));

    const QByteArray org = readFile(dir.filePath("org.cls"));
    ASSERT_EQ(org.size(), 300);
    EXPECT_EQ(getText(org.constData(), 80).trimmed(), QStringLiteral("Городская аптека номер один"));
    EXPECT_EQ(getText(org.constData() + 175, 25).trimmed(), QStringLiteral("Аптека №1"));

    const QByteArray station = readFile(dir.filePath("metro.cls"));
    ASSERT_EQ(station.size(), 100);
    EXPECT_EQ(getText(station.constData(), 94).trimmed(), QStringLiteral("Площадь Мира"));
    EXPECT_TRUE(readFile(dir.filePath("metro.ssl")).isEmpty());
    EXPECT_TRUE(QFile::exists(dir.filePath("metro.dnl")));
}

// Random objects of every size: each level's grid must list an object in
// exactly the cells its box overlaps, once, with the flags the renderer uses
// to draw it once; objects above their maxLevel are absent.
TEST(WriterTest, GridListsEveryObjectInEveryOverlappedCellOnce) {
    DatasetData d;
    d.catalogue.gridExtent = 6000;
    d.tables.layers = {LayerRecord{}, makeLayer("Всё", "all", 500, 1500, 6000)};
    d.tables.types.resize(2);
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> pos(0, 6000), size(0, 2500), level(1, 3);
    auto& objects = d.layerObjects.emplace_back();
    for (int i = 0; i < 600; ++i) {
        const int x = pos(rng), y = pos(rng);
        MapObjectData o;
        o.maxLevel = int16_t(level(rng));
        if (i % 3 == 0) {  // no points: the given box
            o.x1 = x;
            o.y1 = y;
            o.x2 = std::min(6000, x + size(rng) / 4);
            o.y2 = std::min(6000, y + size(rng) / 4);
        } else {
            o.points = {{x, y}, {std::min(6000, x + size(rng)), std::max(0, y - size(rng))}};
        }
        objects.push_back(o);
    }
    objects[5].points = {{6000, 6000}};  // on the far corner: the last cell
    objects[5].maxLevel = 3;

    QTemporaryDir dir;
    QString error;
    ASSERT_TRUE(writeDataset(d, dir.path(), &error)) << error.toStdString();
    for (int lv = 1; lv <= 3; ++lv) {
        SCOPED_TRACE(lv);
        const int32_t cell = d.tables.layers[1].levels[size_t(lv - 1)].cellSize;
        const int n = 6000 / cell;
        const DiskGrid grid = readGrid(dir.filePath("all"), lv, 6000, cell);
        std::map<std::pair<int, int>, std::map<int32_t, int16_t>> expected;
        for (size_t i = 0; i < objects.size(); ++i) {
            if (objects[i].maxLevel < lv) continue;
            const ObjectRecord r = readObject(dir.filePath("all.zgs"), int(i + 1));
            int c0, c1, r0, r1;
            expectedCells(r.x1, r.y1, r.x2, r.y2, cell, n, c0, c1, r0, r1);
            for (int c = c0; c <= c1; ++c)
                for (int row = r0; row <= r1; ++row)
                    expected[{c, row}][int32_t(i + 1)] =
                        int16_t((c > c0 ? 1 : 0) | (row > r0 ? 2 : 0));
        }
        size_t listed = 0;
        for (const auto& [cellKey, entries] : grid) {
            std::map<int32_t, int16_t> got;
            for (const auto& [object, flags] : entries) {
                EXPECT_TRUE(got.emplace(object, flags).second) << "listed twice: " << object;
                ++listed;
            }
            EXPECT_EQ(got, expected[cellKey]) << cellKey.first << "," << cellKey.second;
        }
        size_t wanted = 0;
        for (const auto& [k, v] : expected) wanted += v.size();
        EXPECT_EQ(listed, wanted);
        EXPECT_TRUE(grid.count({n - 1, n - 1}) && !grid.at({n - 1, n - 1}).empty());
    }
}

// The renderer's walk over the cells of a view, keeping an entry unless its
// flags say an earlier visited cell held it: every object in the view once.
TEST(WriterTest, GridFlagsLetAViewDrawEachObjectOnce) {
    std::vector<MapObjectData> objects;
    std::mt19937 rng(11);
    std::uniform_int_distribution<int> pos(0, 3800), size(0, 1200);
    for (int i = 0; i < 300; ++i) {
        const int x = pos(rng), y = pos(rng);
        objects.push_back(line(1, {{x, y}, {std::min(4000, x + size(rng)), std::min(4000, y + size(rng))}}));
    }
    GridIndex g;
    ASSERT_TRUE(buildGridIndex(objects, 1, 4000, 250, g));
    const int n = 16;
    ASSERT_EQ(g.cells.size(), size_t(n * n));
    for (int trial = 0; trial < 40; ++trial) {
        const int vx = pos(rng), vy = pos(rng), vw = size(rng) + 1, vh = size(rng) + 1;
        const int fc = vx / 250, lc = std::min(n - 1, (vx + vw) / 250);
        const int fr = vy / 250, lr = std::min(n - 1, (vy + vh) / 250);
        std::map<int32_t, int> drawn;
        for (int c = fc; c <= lc; ++c)
            for (int r = fr; r <= lr; ++r) {
                const GridIndex::Cell& cell = g.cells[size_t(c * n + r)];
                for (int k = 0; k < cell.objectCount; ++k) {
                    const GridIndex::Entry& e = g.entries[size_t(cell.firstEntry - 1 + k)];
                    if ((!(e.flags & 1) || c == fc) && (!(e.flags & 2) || r == fr)) ++drawn[e.object];
                }
            }
        for (size_t i = 0; i < objects.size(); ++i) {
            int x1 = INT_MAX, y1 = INT_MAX, x2 = 0, y2 = 0;
            for (const QPoint& p : objects[i].points) {
                x1 = std::min(x1, p.x());
                y1 = std::min(y1, p.y());
                x2 = std::max(x2, p.x());
                y2 = std::max(y2, p.y());
            }
            const bool inCells = x2 / 250 >= fc && x1 / 250 <= lc && y2 / 250 >= fr && y1 / 250 <= lr;
            EXPECT_EQ(drawn.count(int32_t(i + 1)) ? drawn[int32_t(i + 1)] : 0, inCells ? 1 : 0)
                << "object " << i + 1 << " view " << vx << "," << vy;
        }
    }
}

TEST(WriterTest, ObjectNumbersPastSixteenBitsSplitIntoLowAndHigh) {
    DatasetData d;
    d.catalogue.gridExtent = 1000;
    d.tables.layers = {LayerRecord{}, makeLayer("Точки", "pt", 1000, 0, 0)};
    auto& objects = d.layerObjects.emplace_back();
    objects.resize(70000);
    for (size_t i = 0; i < objects.size(); ++i) {
        objects[i].points = {{int(i % 1000), 5}};
        objects[i].maxLevel = (i + 1 == 32768 || i + 1 == 65537) ? 1 : 0;
    }
    QTemporaryDir dir;
    ASSERT_TRUE(writeDataset(d, dir.path()));
    const QByteArray sr = readFile(dir.filePath("pt.sr1"));
    ASSERT_EQ(sr.size(), 12);
    EXPECT_EQ(getU16(sr.constData()), 0x8000);
    EXPECT_EQ(getI16(sr.constData() + 2), 0);
    EXPECT_EQ(getU16(sr.constData() + 6), 1);
    EXPECT_EQ(getI16(sr.constData() + 8), 1);
    EXPECT_FALSE(QFile::exists(dir.filePath("pt.tb2")));  // level without cells
}

class WriterRefusal : public ::testing::Test {
protected:
    DatasetData d = smallDataset();
    QTemporaryDir dir;
    QString target() const { return dir.filePath("out"); }
    // Refused with a message naming what is wrong; nothing written.
    void expectRefused(const char* fragment) {
        QString error;
        EXPECT_FALSE(writeDataset(d, target(), &error));
        EXPECT_TRUE(error.contains(QString::fromUtf8(fragment))) << error.toStdString();
        EXPECT_FALSE(QDir(target()).exists());
    }
};

TEST_F(WriterRefusal, ObjectOutsideTheGridSquare) {
    d.layerObjects[1][0].points.push_back({8001, 10});
    expectRefused("вне квадрата сетки");
    d = smallDataset();
    d.layerObjects[1][2].x2 = -1;  // segment ends given in any order are still checked
    expectRefused("вне квадрата сетки");
}

TEST_F(WriterRefusal, CellSizeThatDoesNotDivideTheGrid) {
    d.tables.layers[2].levels[1].cellSize = 3000;
    expectRefused("не делит");
    d.tables.layers[2].levels[1].cellSize = -500;
    expectRefused("отрицательный");
}

TEST_F(WriterRefusal, CellWithTooManyEntries) {
    auto& icons = d.layerObjects[2];
    icons.resize(kMaxCellEntries, icons[0]);
    QString error;
    ASSERT_TRUE(writeDataset(d, target(), &error)) << error.toStdString();
    QDir(target()).removeRecursively();
    icons.push_back(icons[0]);
    expectRefused("10922");
    // Above its maxLevel the object is not listed, so the cell fits again.
    icons.back().maxLevel = 0;
    EXPECT_TRUE(writeDataset(d, target()));
}

TEST_F(WriterRefusal, ClassNumbersWhoseItemKeyPassesThirtyTwoBits) {
    d.tables.classes.resize(2148);
    d.classNames.resize(2148);
    for (size_t c = 5; c < d.tables.classes.size(); ++c)
        d.tables.classes[c] = makeClass(QString("К%1").arg(c), QString("k%1").arg(c), 1);
    d.classNames[2147].resize(1);  // 2,147,000,001 still fits
    // A bad icon is checked after the classes: its complaint shows they passed.
    d.icons.push_back({0, QImage(), QImage(), QImage(), QImage()});
    expectRefused("значка");
    d.tables.classes.push_back(makeClass("К2148", "k2148", 1));
    d.classNames.resize(2149);
    d.classNames[2148].resize(1);  // 2,148,000,001 does not
    expectRefused("1000000");
}

TEST_F(WriterRefusal, FieldsThatCannotHoldTheData) {
    d.classNames[2][0].number = QStringLiteral("1234А");
    expectRefused("не помещается");
    d = smallDataset();
    d.layerObjects[1][0].points.resize(32768, QPoint(5, 5));
    expectRefused("32767");
    d = smallDataset();
    d.classNames[1][0].parts.resize(32768);
    expectRefused("32767");
}

TEST_F(WriterRefusal, BadOrDuplicateBaseNames) {
    d.tables.layers[2].baseName = "ul";
    expectRefused("занято");
    d = smallDataset();
    d.tables.classes[4].baseName = "../metro";
    expectRefused("недопустимое");
    d = smallDataset();
    d.tables.classes[4].baseName = "GOR";  // would replace gor.cls
    expectRefused("недопустимое");
    d = smallDataset();
    d.tables.drawOrder = {0, 1};  // one entry for two layers
    expectRefused("порядок");
}

}  // namespace
