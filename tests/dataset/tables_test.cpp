#include "dataset/tables.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "dataset/binary.h"
#include "dataset/datafile.h"
#include "dataset/settings.h"

using namespace urbica;

namespace {

QByteArray shorts(std::initializer_list<int16_t> v) {
    QByteArray out;
    for (int16_t x : v) {
        char b[2];
        putI16(b, x);
        out.append(b, 2);
    }
    return out;
}

LayerRecord layer(const char* name, const char* base, float l1, float l2, float l3) {
    LayerRecord r;
    r.layerName = QString::fromUtf8(name);
    r.baseName = base;
    r.shown = -1;
    r.listed = -1;
    r.selectable = -1;
    r.levels[0] = {100, l1};
    r.levels[1] = {500, l2};
    r.levels[2] = {1000, l3};
    return r;
}

// A data directory with every table file; nTypes type records.
struct Fixture {
    QTemporaryDir dir;
    QString dataDir() const { return dir.path() + "/"; }
    void write(const char* name, const QByteArray& bytes) {
        ASSERT_TRUE(writeFileAtomically(dir.filePath(name), bytes));
    }
    void remove(const char* name) { QFile::remove(dir.filePath(name)); }
    explicit Fixture(int nTypes = 3) {
        QByteArray types;
        for (int i = 1; i <= nTypes; ++i) {
            ObjectType t;
            t.typeName = QString::fromUtf8("Тип %1").arg(i);
            t.drawMode = int16_t(i);
            types += t.encode();
        }
        write(kTypeFile, types);
        write(kLayerFile,
              layer("Дома", "dom", 3, 15, -1).encode() + layer("Улицы", "ul", 0, 0, 0).encode());
        write(kDrawOrderFile, shorts({2, 1}));
        write(kSelectOrderFile, shorts({1, 0}));
        ClassRecord c;
        c.className = QString::fromUtf8("Улицы");
        c.nameStyle = 2;
        c.baseName = "ul";
        write(kClassFile, c.encode());
        write(kClassExtraFile, shorts({77}));
        Catalogue cat;
        cat.gridExtent = 10000;
        cat.startX = 11;
        cat.streetClass = 1;
        write(kCatalogueFile, cat.encode());
    }
};

}  // namespace

TEST(Catalogue, FieldsSitAtTheirOffsets) {
    char rec[Catalogue::kRecordLength] = {};
    putI32(rec + 0, 1);
    putI32(rec + 4, 2);
    putI32(rec + 8, 3);
    putF32(rec + 12, 0.25f);
    putI32(rec + 16, 5);
    putI32(rec + 20, 6);
    putI32(rec + 24, 7);
    putI32(rec + 28, 8);
    putF32(rec + 32, 4.5f);
    putI16(rec + 44, 10);
    putI16(rec + 46, 11);
    putI32(rec + 106, 12);
    putI32(rec + 110, 13);
    putI32(rec + 114, 14);
    putI32(rec + 118, 15);
    rec[36] = 'R';  // reserved bytes are carried through a rewrite
    Catalogue c = Catalogue::decode(rec);
    EXPECT_EQ(c.startX, 1);
    EXPECT_EQ(c.startY, 2);
    EXPECT_EQ(c.startWidth, 3);
    EXPECT_EQ(c.minUnitsPerPixel, 0.25f);
    EXPECT_EQ(c.extentLeft, 5);
    EXPECT_EQ(c.extentTop, 6);
    EXPECT_EQ(c.extentWidth, 7);
    EXPECT_EQ(c.gridExtent, 8);
    EXPECT_EQ(c.metroRangeDivisor, 4.5f);
    EXPECT_EQ(c.streetClass, 10);
    EXPECT_EQ(c.metroClass, 11);
    EXPECT_EQ(c.extentHeight, 12);
    EXPECT_EQ(c.overviewLeft, 13);
    EXPECT_EQ(c.overviewTop, 14);
    EXPECT_EQ(c.overviewWidth, 15);
    EXPECT_EQ(c.encode(), QByteArray(rec, Catalogue::kRecordLength));
}

TEST(Tables, RecordFieldsSitAtTheirOffsets) {
    char l[LayerRecord::kRecordLength];
    memset(l, ' ', sizeof l);
    putI16(l + 50, -1);
    putI16(l + 64, 1);
    putI16(l + 76, 2);
    putI32(l + 82 + 30 * 2 + 2, 250);    // level 3 cell size
    putF32(l + 82 + 30 * 2 + 26, -1.f);  // level 3 limit
    putI32(l + 82 + 30 * 4 + 2, 999);    // level 5 cell size
    putI16(l + 232, 1);
    LayerRecord lr = LayerRecord::decode(l);
    EXPECT_EQ(lr.shown, -1);
    EXPECT_EQ(lr.onOverview, 1);
    EXPECT_EQ(lr.selectable, 2);
    EXPECT_EQ(lr.levels[2].cellSize, 250);
    EXPECT_EQ(lr.levels[2].scaleLimit, -1.f);
    EXPECT_EQ(lr.levels[4].cellSize, 999);
    EXPECT_EQ(lr.listed, 1);

    char t[ObjectType::kRecordLength] = {};
    putI16(t + 50, 7);
    putI32(t + 52, 0x0000FF);
    putI16(t + 74, 1);
    putI16(t + 78, 6);
    putI16(t + 108, 9);
    putF32(t + 118, 2.5f);
    putI16(t + 128, 3);
    ObjectType ot = ObjectType::decode(t);
    EXPECT_EQ(ot.drawMode, 7);
    EXPECT_EQ(ot.penColor, 0xFF);
    EXPECT_EQ(ot.closed, 1);
    EXPECT_EQ(ot.labelMode, 6);
    EXPECT_EQ(ot.labelSize, 9);
    EXPECT_EQ(ot.labelScale, 2.5f);
    EXPECT_EQ(ot.hiFillStyle, 3);

    char c[ClassRecord::kRecordLength];
    memset(c, ' ', sizeof c);
    putI16(c + 50, 1);
    putI16(c + 52, 3);
    memcpy(c + 54, "houses      ", 12);
    putI16(c + 66, -1);
    ClassRecord cr = ClassRecord::decode(c);
    EXPECT_EQ(cr.searchable, 1);
    EXPECT_EQ(cr.nameStyle, 3);
    EXPECT_EQ(cr.fileBase(), QString("houses"));
    EXPECT_EQ(cr.hasNames, -1);
}

TEST(Tables, LoadAndSaveRoundTrip) {
    Fixture fx;
    Settings s;
    s.dataDirectory = fx.dataDir();
    Catalogue cat;
    Tables t;
    ASSERT_TRUE(readCatalogue(s, cat, t));
    EXPECT_EQ(cat.gridExtent, 10000);
    EXPECT_EQ(cat.bookmarkBase, QString("bookmark"));
    ASSERT_EQ(t.typeCount(), 3);
    EXPECT_EQ(t.types[2].drawMode, 2);
    ASSERT_EQ(t.layerCount(), 2);
    EXPECT_EQ(t.layers[1].layerName.trimmed(), QString::fromUtf8("Дома"));
    EXPECT_EQ(t.layers[1].fileBase(), QString("dom"));
    EXPECT_EQ(t.drawOrder, (std::vector<int16_t>{0, 2, 1}));
    EXPECT_EQ(t.selectOrder, (std::vector<int16_t>{0, 1, 0}));
    ASSERT_EQ(t.classCount(), 1);
    EXPECT_EQ(t.classExtra[1], 77);

    // Change what the layer-order dialog changes, save, read again.
    t.layers[1].shown = 0;
    t.layers[2].selectable = 0;
    t.drawOrder = {0, 1, 2};
    s.tableSaveMode = 0;
    ASSERT_TRUE(saveTables(s, t));
    Tables u;
    ASSERT_TRUE(loadTables(fx.dataDir(), u));
    EXPECT_EQ(u.layers[1].shown, 0);
    EXPECT_EQ(u.layers[2].selectable, 0);
    EXPECT_EQ(u.drawOrder, (std::vector<int16_t>{0, 1, 2}));
    EXPECT_EQ(u.layers[1].encode(), t.layers[1].encode());
    EXPECT_EQ(u.types[3].encode(), t.types[3].encode());
    EXPECT_EQ(u.classes[1].encode(), t.classes[1].encode());
    EXPECT_EQ(u.classExtra[1], 77);
}

TEST(Tables, SaveModeTwoNeverWrites) {
    Fixture fx;
    Settings s;
    s.dataDirectory = fx.dataDir();
    Catalogue cat;
    Tables t;
    ASSERT_TRUE(readCatalogue(s, cat, t));
    const QByteArray before = [&] {
        QFile f(fx.dir.filePath(kLayerFile));
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }();
    t.layers[1].shown = 0;
    s.tableSaveMode = 2;
    EXPECT_TRUE(saveTables(s, t));
    QFile f(fx.dir.filePath(kLayerFile));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), before);
}

TEST(Catalogue, MissingOrBrokenFiles) {
    {
        Fixture fx;
        fx.remove(kCatalogueFile);
        Settings s;
        s.dataDirectory = fx.dataDir();
        Catalogue cat;
        Tables t;
        EXPECT_TRUE(readCatalogue(s, cat, t)) << "a missing catalogue is no failure";
        EXPECT_EQ(cat.gridExtent, 0);
        EXPECT_EQ(t.layerCount(), 2);
    }
    {
        Fixture fx;
        fx.remove(kTypeFile);
        Settings s;
        s.dataDirectory = fx.dataDir();
        s.savedTypeIndex = 500;
        Catalogue cat;
        Tables t;
        EXPECT_FALSE(readCatalogue(s, cat, t));
        EXPECT_EQ(cat.gridExtent, 10000) << "what was read before the failure stays";
        EXPECT_EQ(s.savedTypeIndex, 500) << "not compared when the tables did not load";
        EXPECT_EQ(noDataMessage(), QString::fromUtf8("Нет данных"));
    }
    {
        Fixture fx;
        fx.remove(kClassExtraFile);
        Settings s;
        s.dataDirectory = fx.dataDir();
        Catalogue cat;
        Tables t;
        EXPECT_FALSE(readCatalogue(s, cat, t));
        EXPECT_EQ(t.layerCount(), 2) << "tables read before stay filled";
    }
    {
        // Longer than one record: the first 1106 bytes count.
        Fixture fx;
        Catalogue c;
        c.gridExtent = 4242;
        fx.write(kCatalogueFile, c.encode() + QByteArray(500, '\x7f'));
        Settings s;
        s.dataDirectory = fx.dataDir();
        Catalogue cat;
        Tables t;
        EXPECT_TRUE(readCatalogue(s, cat, t));
        EXPECT_EQ(cat.gridExtent, 4242);
    }
    {
        // Shorter than one record: refused, not read as garbage.
        Fixture fx;
        fx.write(kCatalogueFile, Catalogue{}.encode().left(100));
        Settings s;
        s.dataDirectory = fx.dataDir();
        Catalogue cat;
        Tables t;
        EXPECT_FALSE(readCatalogue(s, cat, t));
        EXPECT_EQ(cat.gridExtent, 0);
    }
    {
        // Garbage table files: whole records are taken, the tail ignored.
        Fixture fx;
        fx.write(kLayerFile, QByteArray(LayerRecord::kRecordLength + 17, '\xff'));
        fx.write(kDrawOrderFile, QByteArray(3, '\x01'));
        Settings s;
        s.dataDirectory = fx.dataDir();
        Catalogue cat;
        Tables t;
        EXPECT_TRUE(readCatalogue(s, cat, t));
        EXPECT_EQ(t.layerCount(), 1);
        EXPECT_EQ(t.drawOrder.size(), 2u);
    }
}

TEST(Catalogue, SavedIndexesResetPastTheTables) {
    Fixture fx(40);
    Settings s;
    s.dataDirectory = fx.dataDir();
    s.savedTypeIndex = 500;
    s.savedClassIndex = 1;
    Catalogue cat;
    Tables t;
    ASSERT_TRUE(readCatalogue(s, cat, t));
    EXPECT_EQ(s.savedTypeIndex, 1);
    EXPECT_EQ(s.savedClassIndex, 1);
    s.savedTypeIndex = 40;
    s.savedClassIndex = 2;
    ASSERT_TRUE(readCatalogue(s, cat, t));
    EXPECT_EQ(s.savedTypeIndex, 40);
    EXPECT_EQ(s.savedClassIndex, 1);
}

TEST(Tables, IconTable) {
    Fixture fx;
    Tables t;
    readIconTable(fx.dataDir(), t);
    EXPECT_EQ(t.iconCodes.size(), 1u) << "missing file: empty tables";
    fx.write(kIconFile, shorts({5, 9, -3}));
    readIconTable(fx.dataDir(), t);
    ASSERT_EQ(t.iconCodes.size(), 4u);
    EXPECT_EQ(t.iconCodes[3], -3);
    ASSERT_EQ(t.iconCache.size(), 4u);
    EXPECT_EQ(t.iconCache[2].code, 9);
    EXPECT_EQ(t.iconCache[2].loaded, 1);
}

TEST(ViewLevel, ChoosesFinestLevelAboveTheScale) {
    LayerRecord l = layer("x", "x", 500, 2000, -1);
    EXPECT_EQ(viewlevel(l, 100), 1);
    EXPECT_EQ(viewlevel(l, 1000), 2);
    EXPECT_EQ(viewlevel(l, 5000), 3);
    EXPECT_EQ(viewlevel(l, 500), 2) << "the limit itself is outside the level";

    LayerRecord none = layer("x", "x", 0, 0, 0);
    none.levels[3].scaleLimit = 1e9f;
    none.levels[4].scaleLimit = -1;
    EXPECT_EQ(viewlevel(none, 1), 0) << "levels 4 and 5 never take part";

    LayerRecord fallback = layer("x", "x", -1, 10, -1);
    EXPECT_EQ(viewlevel(fallback, 5), 2);
    EXPECT_EQ(viewlevel(fallback, 50), 3) << "the highest negative level is the fallback";
}
