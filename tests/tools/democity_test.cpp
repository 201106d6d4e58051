#include "democity.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QRectF>
#include <QTemporaryDir>
#include <map>
#include <set>

#include "dataset/settings.h"

using namespace urbica;
using namespace urbica::democity;

namespace {

// The scale-1 city is built once and shared by the read-only checks.
const DatasetData& city() {
    static const DatasetData data = buildCity(Options{});
    return data;
}

std::map<QString, QByteArray> filesUnder(const QString& dir) {
    std::map<QString, QByteArray> files;
    QDirIterator it(dir, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
        files[QDir(dir).relativeFilePath(path)] = f.readAll();
    }
    return files;
}

TEST(DemoCity, SameSeedGivesTheSameBytes) {
    QTemporaryDir a, b, c;
    ASSERT_TRUE(writeDataset(buildCity({7, 1}), a.path()));
    ASSERT_TRUE(writeDataset(buildCity({7, 1}), b.path()));
    ASSERT_TRUE(writeDataset(buildCity({8, 1}), c.path()));
    const auto first = filesUnder(a.path()), second = filesUnder(b.path()),
               other = filesUnder(c.path());
    EXPECT_GT(first.size(), 100u);
    EXPECT_TRUE(first == second);
    EXPECT_FALSE(first == other);
    EXPECT_TRUE(first.count(QStringLiteral("icons/ic323.pic")));
}

TEST(DemoCity, ObjectsLieInTheGridAndCellsStayWithinTheFormat) {
    const DatasetData& d = city();
    const int32_t g = d.catalogue.gridExtent;
    ASSERT_GT(g, 0);
    for (size_t l = 1; l < d.tables.layers.size(); ++l) {
        const LayerRecord& layer = d.tables.layers[l];
        EXPECT_FLOAT_EQ(layer.levels[0].scaleLimit, 3);
        EXPECT_FLOAT_EQ(layer.levels[1].scaleLimit, 15);
        EXPECT_FLOAT_EQ(layer.levels[2].scaleLimit, -1);
        size_t previousEntries = SIZE_MAX;
        for (int level = 1; level <= 3; ++level) {
            const int32_t cell = layer.levels[size_t(level - 1)].cellSize;
            ASSERT_GT(cell, 0);
            EXPECT_EQ(g % cell, 0);
            GridIndex grid;
            QString error;
            ASSERT_TRUE(buildGridIndex(d.layerObjects[l], level, g, cell, grid, &error))
                << l << ": " << error.toStdString();
            int most = 0;
            for (const auto& c : grid.cells) most = std::max<int>(most, c.objectCount);
            // Far below the format's 10,922, so that larger cities stay inside too.
            EXPECT_LT(most, 2000) << "layer " << l << " level " << level;
            // Coarser levels list no more objects than finer ones.
            size_t objects = 0;
            for (const auto& o : d.layerObjects[l]) objects += o.maxLevel >= level;
            EXPECT_LE(objects, previousEntries);
            previousEntries = objects;
        }
    }
    for (size_t l = 1; l < d.layerObjects.size(); ++l)
        for (const MapObjectData& o : d.layerObjects[l]) {
            ASSERT_GE(o.typeIndex, 1);
            ASSERT_LT(size_t(o.typeIndex), d.tables.types.size());
            for (const QPoint& p : o.points) {
                ASSERT_TRUE(p.x() >= 0 && p.y() >= 0 && p.x() <= g && p.y() <= g);
            }
        }
    // Houses appear only at the finest level.
    for (const MapObjectData& o : d.layerObjects[kHouseLayer]) ASSERT_EQ(o.maxLevel, 1);

    const Catalogue& c = d.catalogue;
    EXPECT_GE(c.extentLeft, 0);
    EXPECT_LE(c.extentLeft + c.extentWidth, g);
    EXPECT_LE(c.extentTop + c.extentHeight, g);
    EXPECT_EQ(c.overviewWidth, c.extentWidth);
    EXPECT_GE(c.startX, c.extentLeft);
    EXPECT_LE(c.startX + c.startWidth, c.extentLeft + c.extentWidth);
    EXPECT_FLOAT_EQ(c.minUnitsPerPixel, 0.25f);
    EXPECT_FLOAT_EQ(c.metroRangeDivisor, 4);
}

TEST(DemoCity, NamesAndMapObjectsPointAtEachOther) {
    const DatasetData& d = city();
    const auto& classes = d.tables.classes;
    ASSERT_EQ(classes[size_t(d.catalogue.streetClass)].nameStyle, 2);
    ASSERT_EQ(classes[size_t(d.catalogue.metroClass)].nameStyle, 1);
    bool longNames = false;
    for (size_t c = 1; c < classes.size(); ++c) {
        const auto& names = d.classNames[c];
        EXPECT_LT(names.size(), size_t(kMaxClassRecords)) << c;
        for (size_t n = 0; n < names.size(); ++n) {
            for (const ObjectRefData& ref : names[n].mapObjects) {
                ASSERT_GE(ref.first, 1);
                ASSERT_LT(size_t(ref.first), d.layerObjects.size());
                ASSERT_GE(ref.second, 1);
                ASSERT_LE(size_t(ref.second), d.layerObjects[size_t(ref.first)].size());
                const MapObjectData& o = d.layerObjects[size_t(ref.first)][size_t(ref.second - 1)];
                ASSERT_EQ(o.nameKind, int16_t(c));
                ASSERT_EQ(o.nameIndex, int32_t(n + 1));
            }
        }
        if (classes[c].nameStyle == 4) {
            longNames = true;
            ASSERT_FALSE(names.empty());
            EXPECT_FALSE(names[0].shortName.isEmpty());
            EXPECT_GT(names[0].name.size(), names[0].shortName.size());
        }
    }
    EXPECT_TRUE(longNames);

    // Streets belong to districts; their parts are houses that name them as parent.
    const int16_t streets = d.catalogue.streetClass;
    size_t houses = 0;
    for (size_t s = 0; s < d.classNames[size_t(streets)].size(); ++s) {
        const NameData& street = d.classNames[size_t(streets)][s];
        ASSERT_EQ(street.parentClass, kDistrictClass);
        ASSERT_EQ(classes[size_t(street.parentClass)].nameStyle, 1);
        ASSERT_GE(street.parentRecord, 1);
        for (const ObjectRefData& part : street.parts) {
            ASSERT_EQ(classes[size_t(part.first)].nameStyle, 3);
            const NameData& house = d.classNames[size_t(part.first)][size_t(part.second - 1)];
            ASSERT_EQ(house.parentClass, streets);
            ASSERT_EQ(house.parentRecord, int32_t(s + 1));
            ASSERT_EQ(house.mapObjects.size(), 1u);
            ++houses;
        }
    }
    EXPECT_GT(houses, 5000u);

    // Metro: several lines, stations as named points drawn as circles.
    EXPECT_GE(d.classNames[kMetroLineClass].size(), 2u);
    const auto& stations = d.classNames[size_t(d.catalogue.metroClass)];
    EXPECT_GE(stations.size(), 10u);
    for (const NameData& st : stations) {
        ASSERT_EQ(st.mapObjects.size(), 1u);
        const MapObjectData& o =
            d.layerObjects[size_t(st.mapObjects[0].first)][size_t(st.mapObjects[0].second - 1)];
        EXPECT_EQ(d.tables.types[size_t(o.typeIndex)].drawMode, 3);
        EXPECT_EQ(o.points.size(), 1u);
    }
}

TEST(DemoCity, EveryHouseNumberFormIsPresent) {
    const DatasetData& d = city();
    int plain = 0, letter = 0, fraction = 0, building = 0;
    for (size_t c = 1; c < d.tables.classes.size(); ++c) {
        if (d.tables.classes[c].nameStyle != 3) continue;
        for (const NameData& h : d.classNames[c]) {
            ASSERT_FALSE(h.number.isEmpty());
            ASSERT_LE(h.number.size(), 4);
            ASSERT_TRUE(h.number.at(0).isDigit());
            const bool hasLetter = h.number.back().isLetter();
            if (hasLetter) ++letter;
            if (!h.fraction.isEmpty()) ++fraction;
            if (!h.building.isEmpty()) ++building;
            if (!hasLetter && h.fraction.isEmpty() && h.building.isEmpty()) ++plain;
        }
    }
    EXPECT_GT(plain, 1000);
    EXPECT_GT(letter, 50);
    EXPECT_GT(fraction, 50);
    EXPECT_GT(building, 50);
}

TEST(DemoCity, EveryDrawingAndLabelModeIsUsed) {
    const DatasetData& d = city();
    std::set<int> drawModes, labelModes;
    for (size_t l = 1; l < d.layerObjects.size(); ++l)
        for (const MapObjectData& o : d.layerObjects[l]) {
            const ObjectType& t = d.tables.types[size_t(o.typeIndex)];
            drawModes.insert(t.drawMode);
            labelModes.insert(t.labelMode);
            if (t.drawMode == 7) {
                EXPECT_GE(o.iconNumber, 1);
                EXPECT_LE(size_t(o.iconNumber), d.icons.size());
            }
        }
    EXPECT_EQ(drawModes, (std::set<int>{1, 2, 3, 4, 7}));
    for (int mode = 1; mode <= 6; ++mode) EXPECT_TRUE(labelModes.count(mode)) << mode;
}

TEST(DemoCity, IconMasksMatchTheirPictures) {
    for (const IconData& icon : iconPictures()) {
        for (auto [mask, picture] :
             {std::pair{icon.mask16, icon.picture16}, std::pair{icon.mask32, icon.picture32}}) {
            ASSERT_EQ(mask.size(), picture.size());
            int opaque = 0;
            for (int y = 0; y < mask.height(); ++y)
                for (int x = 0; x < mask.width(); ++x) {
                    const QRgb m = mask.pixel(x, y) & 0xFFFFFF, p = picture.pixel(x, y) & 0xFFFFFF;
                    ASSERT_TRUE(m == 0 || m == 0xFFFFFF);
                    // Transparent where the mask is white: the picture is black there.
                    if (m == 0xFFFFFF) {
                        ASSERT_EQ(p, 0u) << icon.number << " " << x << "," << y;
                    } else {
                        ++opaque;
                    }
                }
            EXPECT_GT(opaque, mask.width() * mask.height() / 2) << icon.number;
        }
    }
}

TEST(DemoCity, ScaleGrowsTheCityAndSplitsNoClassPastItsLimit) {
    const Summary one = summarize(city());
    const DatasetData bigger = buildCity({1, 4});
    const Summary four = summarize(bigger);
    EXPECT_GT(four.mapObjects, 3 * one.mapObjects);
    EXPECT_LT(four.mapObjects, 5 * one.mapObjects);
    EXPECT_GT(bigger.catalogue.gridExtent, city().catalogue.gridExtent);
    EXPECT_EQ(one.layers, kLayerCount);
    EXPECT_EQ(summaryLine(one),
              QStringLiteral("слоёв: %1, объектов: %2, классов: %3, именованных объектов: %4")
                  .arg(one.layers)
                  .arg(one.mapObjects)
                  .arg(one.classes)
                  .arg(one.namedObjects));
}

TEST(DemoCity, ProgramFilesAreReadBack) {
    QTemporaryDir program, data;
    QString error;
    ASSERT_TRUE(writeProgramFiles(program.path(), data.path(), &error)) << error.toStdString();
    Settings s;
    ASSERT_TRUE(readSettings(s, program.path()));
    EXPECT_EQ(s.dataDirFromSettings, 1);
    EXPECT_EQ(s.savesizecheck, 1);
    EXPECT_EQ(QRectF(s.windowLeft, s.windowTop, s.windowWidth, s.windowHeight),
              QRectF(1500, 1500, 1280 * 15, 800 * 15))
        << "the first window: 1280 x 800 pixels at (100, 100)";
    EXPECT_EQ(QDir(s.dataDirectory).absolutePath(), QDir(data.path()).absolutePath());
    EXPECT_TRUE(s.dataDirectory.endsWith(QDir::separator()));
    QFile cfg(QDir(program.path()).filePath(QStringLiteral("urbica.cfg")));
    ASSERT_TRUE(cfg.open(QIODevice::ReadOnly));
    EXPECT_EQ(cfg.readAll().count('\n'), 33);
    EXPECT_EQ(s.labelsApart, 0) << "the demo city's labels are drawn as they come";

    QFile ad(QDir(program.path()).filePath(QStringLiteral("reklama.txt")));
    ASSERT_TRUE(ad.open(QIODevice::ReadOnly));
    EXPECT_GE(ad.readAll().count(','), 3);

    const QImage andMask(QDir(program.path()).filePath(QStringLiteral("arrowsbl.bmp")));
    const QImage xorPicture(QDir(program.path()).filePath(QStringLiteral("arrowscl.bmp")));
    ASSERT_EQ(andMask.size(), QSize(32, 32));
    ASSERT_EQ(xorPicture.size(), QSize(32, 32));
    int marker = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            const bool on = (andMask.pixel(x, y) & 0xFFFFFF) == 0;
            EXPECT_EQ(on, (xorPicture.pixel(x, y) & 0xFFFFFF) != 0) << x << "," << y;
            if (on) {
                ++marker;
                EXPECT_TRUE(x < 28 && y < 28);  // only 28 × 28 pixels are copied
            } else {
                EXPECT_EQ(andMask.pixel(x, y) & 0xFFFFFF, 0xFFFFFFu);
            }
        }
    EXPECT_GT(marker, 50);
}

TEST(DemoCity, CommandLine) {
    QTemporaryDir dir;
    QProcess run;
    run.start(QStringLiteral(DEMOCITY_EXE),
              {QStringLiteral("--out"), dir.filePath(QStringLiteral("city")),
               QStringLiteral("--program-files"), dir.filePath(QStringLiteral("prog"))});
    ASSERT_TRUE(run.waitForFinished(60000));
    EXPECT_EQ(run.exitCode(), 0) << run.readAllStandardError().toStdString();
    const QString out = QString::fromLocal8Bit(run.readAllStandardOutput()).trimmed();
    EXPECT_EQ(out, summaryLine(summarize(city())));
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("city/urbica.dat"))));
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("prog/urbica.cfg"))));

    run.start(QStringLiteral(DEMOCITY_EXE), {QStringLiteral("--scale"), QStringLiteral("0"),
                                             QStringLiteral("--out"), dir.path()});
    ASSERT_TRUE(run.waitForFinished(60000));
    EXPECT_EQ(run.exitCode(), 2);
    run.start(QStringLiteral(DEMOCITY_EXE), {QStringLiteral("--seed")});
    ASSERT_TRUE(run.waitForFinished(60000));
    EXPECT_EQ(run.exitCode(), 2);
}

}  // namespace
