#include "osmimport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <map>
#include <osmium/io/any_input.hpp>
#include <osmium/io/any_output.hpp>
#include <set>

#include "addresscheck.h"
#include "dataset/binary.h"
#include "dataset/datafile.h"
#include "dataset/displaynames.h"
#include "dataset/georef.h"
#include "dataset/names.h"
#include "dataset/searchnames.h"
#include "dataset/settings.h"
#include "interpolation.h"
#include "osmhousenumber.h"
#include "osmtestfiles.h"
#include "osmtext.h"
#include "output.h"

using namespace urbica;
using namespace urbica::osmimport;
using namespace urbica::osmtest;

namespace {

QString u(const char* s) { return QString::fromUtf8(s); }
const QString kExcerpt = QStringLiteral(OSM_TEST_DATA "/spb-gostiny-dvor.osm");

QString fields(const HouseFields& h) {
    return h.number + u("|") + h.fraction + u("|") + h.building +
           (h.structure.isEmpty() ? QString() : u("|") + h.structure);
}

QStringList split(const char* text, bool* exact = nullptr) {
    const HouseNumberSplit s = splitHouseNumber(u(text));
    if (exact) *exact = s.exact;
    QStringList out;
    for (const HouseFields& h : s.houses) out << fields(h);
    return out;
}

// A square block of four nodes starting at id, side about 30 m.
QByteArray square(int id, double lat, double lon) {
    const double d = 0.0003;
    return node(id, lat, lon) + node(id + 1, lat, lon + d) + node(id + 2, lat + d, lon + d) +
           node(id + 3, lat + d, lon);
}

const ImportResult& excerpt() {
    static const ImportResult result = [] {
        ImportResult r;
        QString error;
        EXPECT_TRUE(importOsm(kExcerpt, r, &error)) << error.toStdString();
        return r;
    }();
    return result;
}

int64_t count(const ImportReport& r, const char* reason) {
    auto it = r.skipped.find(u(reason));
    return it == r.skipped.end() ? 0 : it->second;
}

}  // namespace

// ---------------------------------------------------------------------------
// House numbers

TEST(HouseNumbers, CommonFormsSplitIntoNumberFractionAndBuilding) {
    EXPECT_EQ(split("12"), QStringList{u("12||")});
    EXPECT_EQ(split("12А"), QStringList{u("12А||")});
    EXPECT_EQ(split("12а"), QStringList{u("12А||")});
    EXPECT_EQ(split("12 а"), QStringList{u("12А||")});
    EXPECT_EQ(split("12/3"), QStringList{u("12|3|")});
    EXPECT_EQ(split("28/1А"), QStringList{u("28|1А|")});
    EXPECT_EQ(split("12к2"), QStringList{u("12||2")});
    EXPECT_EQ(split("12 к2"), QStringList{u("12||2")});
    EXPECT_EQ(split("12 корп. 2"), QStringList{u("12||2")});
    EXPECT_EQ(split("12, корпус 2"), QStringList{u("12||2")});
    EXPECT_EQ(split("д. 7"), QStringList{u("7||")});
}

TEST(HouseNumbers, StructuresLettersAndRangesStayFindable) {
    // A structure (строение) has a field of its own, kept beside the record.
    EXPECT_EQ(split("12с1"), QStringList{u("12|||1")});
    EXPECT_EQ(split("1 с30"), QStringList{u("1|||30")});
    EXPECT_EQ(split("12 стр. 15"), QStringList{u("12|||15")});
    EXPECT_EQ(split("13 с10"), QStringList{u("13|||10")});
    EXPECT_EQ(split("24/7 с2"), QStringList{u("24|7||2")});
    EXPECT_EQ(split("24/7с2"), QStringList{u("24|7||2")});
    EXPECT_EQ(split("26А стр.13"), QStringList{u("26А|||13")});
    EXPECT_EQ(split("5 корп.2 стр.1"), QStringList{u("5||2|1")});
    EXPECT_EQ(split("2к1с1"), QStringList{u("2||1|1")});
    EXPECT_EQ(split("1/25 литА"), QStringList{u("1А|25|")});
    EXPECT_EQ(split("2 литБ"), QStringList{u("2Б||")});
    EXPECT_EQ(split("3 лит. В"), QStringList{u("3В||")});
    // A range names both end houses; a list names each.
    EXPECT_EQ(split("13-15"), (QStringList{u("13||"), u("15||")}));
    EXPECT_EQ(split("28-30 к10"), (QStringList{u("28||10"), u("30||10")}));
    EXPECT_EQ(split("13-15/50 литБ"), (QStringList{u("13Б|50|"), u("15Б|50|")}));
    EXPECT_EQ(split("7-9-11"), (QStringList{u("7||"), u("9||"), u("11||")}));
    EXPECT_EQ(split("5;7"), (QStringList{u("5||"), u("7||")}));
    EXPECT_EQ(split("5, 7"), (QStringList{u("5||"), u("7||")}));
}

TEST(HouseNumbers, WhatDoesNotFitIsKeptReadableAndFlagged) {
    bool exact = true;
    EXPECT_EQ(split("вл1", &exact), QStringList{u("вл1||")});
    EXPECT_FALSE(exact);
    EXPECT_EQ(split("12345", &exact), QStringList{u("1234||")});
    EXPECT_FALSE(exact);
    EXPECT_EQ(split("28-30 к18-19", &exact), (QStringList{u("28||18"), u("30||18")}));
    EXPECT_FALSE(exact);
    EXPECT_EQ(split("15-13", &exact), QStringList{u("15||")});
    EXPECT_FALSE(exact);
    EXPECT_TRUE(split("  ").isEmpty());
    EXPECT_EQ(split("12А", &exact).size(), 1);
    EXPECT_TRUE(exact);
}

// ---------------------------------------------------------------------------
// Texts

TEST(Texts, CharactersOutsideTheCodePageGetTheirClosestLetter) {
    TextStats stats;
    // Ukrainian and Belarusian letters are in the code page and stay.
    EXPECT_EQ(toCp1251Letters(u("вулиця Ґонти, їжак, є, ў"), stats), u("вулиця Ґонти, їжак, є, ў"));
    EXPECT_EQ(stats.replacedCharacters, 0);
    EXPECT_EQ(toCp1251Letters(u("Әуезов көшесі"), stats), u("Ауезов кошесі"));
    EXPECT_EQ(toCp1251Letters(u("Café Società"), stats), u("Cafe Societa"));
    EXPECT_EQ(toCp1251Letters(u("Straße"), stats), u("Strasse"));
    EXPECT_EQ(stats.replacedCharacters, 5);
    EXPECT_EQ(stats.unknownCharacters, 0);
    // Nothing close: a visible '?', counted; a direction mark disappears.
    EXPECT_EQ(toCp1251Letters(u("マ\u200eA"), stats), u("?A"));
    EXPECT_EQ(stats.unknownCharacters, 1);
    EXPECT_EQ(stats.replacedCharacters, 7);
    // Whatever comes out encodes without a '?' of the encoder's own.
    const QString mixed = toCp1251Letters(u("Ñandú Øresund Łódź Ðakovo"), stats);
    EXPECT_FALSE(toCp1251(mixed).contains('?')) << mixed.toStdString();
}

TEST(Texts, LongNamesAreShortenedThenCutAndCounted) {
    TextStats stats;
    EXPECT_EQ(fitStreetName(u("улица Ленина"), 32, stats), u("улица Ленина"));
    EXPECT_EQ(stats.shortenedStreets, 0);
    EXPECT_EQ(fitStreetName(u("улица Академика Константинова-Щедрина"), 32, stats),
              u("ул. акад. Константинова-Щедрина"));
    EXPECT_EQ(stats.shortenedStreets, 1);
    const QString cut = fitStreetName(u("Краснопресненско-Замоскворецко-Хамовническая"), 32, stats);
    EXPECT_EQ(cut.size(), 32);
    EXPECT_EQ(stats.cutTexts, 1);
    EXPECT_EQ(fitText(u("коротко"), 94, stats), u("коротко"));
    EXPECT_EQ(stats.cutTexts, 1);
}

// ---------------------------------------------------------------------------
// Frame and grid

TEST(Frame, ProjectionKeepsMetresInBothDirections) {
    GeoReference p;
    p.lon0 = 37.6, p.lat0 = 55.75;
    EXPECT_NEAR(p.projectY(55.75 - 1), 111195, 10);  // south is positive
    EXPECT_NEAR(p.projectX(37.6 + 1), 111195 * std::cos(55.75 * 3.14159265358979 / 180), 10);
    EXPECT_NEAR(p.projectX(37.6), 0, 1e-6);
}

TEST(Frame, GridSidesAreDividedByEveryCellSize) {
    for (int64_t side : {100LL, 4096LL, 4097LL, 15000LL, 60000LL, 1500000LL}) {
        const GridChoice g = chooseGrid(side);
        EXPECT_GE(g.gridExtent, side);
        for (int32_t c : g.cells) {
            EXPECT_EQ(g.gridExtent % c, 0) << side;
            EXPECT_LE(int64_t(g.gridExtent / c) * (g.gridExtent / c), kMaxGridCells) << side;
        }
        EXPECT_EQ(g.cells[1] % g.cells[0], 0);
        EXPECT_EQ(g.cells[2] % g.cells[1], 0);
    }
}

TEST(Frame, APointFarOutKeepsTheDatasetSmall) {
    // A house 1,000 km south of its street, as a mistyped coordinate puts it.
    QTemporaryDir tmp;
    const QString osm = tmp.filePath(u("stray.osm"));
    QFile f(osm);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(R"(<?xml version="1.0" encoding="UTF-8"?>
<osm version="0.6">
 <node id="1" lat="59.9300" lon="30.3300"/>
 <node id="2" lat="59.9310" lon="30.3320"/>
 <node id="3" lat="50.9305" lon="30.3305"><tag k="addr:street" v="Садовая улица"/><tag k="addr:housenumber" v="12"/></node>
 <way id="10"><nd ref="1"/><nd ref="2"/><tag k="highway" v="residential"/><tag k="name" v="Садовая улица"/></way>
</osm>
)");
    f.close();
    ImportResult r;
    QString error;
    ASSERT_TRUE(importOsm(osm, r, &error)) << error.toStdString();
    const QString dir = tmp.filePath(u("city"));
    ASSERT_TRUE(writeDatasetSafely(r.data, dir, &error)) << error.toStdString();
    qint64 bytes = 0;
    for (const QFileInfo& file : QDir(dir).entryInfoList(QDir::Files)) bytes += file.size();
    EXPECT_LT(bytes, 16 << 20) << "a dataset of three objects (845 MB before)";
    EXPECT_EQ(checkAddresses(dir, r.addresses).found, 1);
}

TEST(Frame, DenseLayersGetSmallerCells) {
    // 40,000 small objects on 500 × 500 m: more than a 256 m cell may list.
    std::vector<MapObjectData> objects;
    for (int i = 0; i < 200; ++i)
        for (int j = 0; j < 200; ++j) {
            MapObjectData o;
            o.points = {QPoint(1000 + i * 5 / 2, 1000 + j * 5 / 2)};
            o.maxLevel = 2;
            objects.push_back(o);
        }
    LayerRecord layer;
    layer.levels[0].cellSize = 256;
    layer.levels[1].cellSize = 1024;
    layer.levels[2].cellSize = 4096;
    ASSERT_TRUE(fitCellSizes(objects, layer, 8192, 8000));
    EXPECT_LT(layer.levels[0].cellSize, 256);
    EXPECT_LT(layer.levels[1].cellSize, 1024);
    EXPECT_EQ(layer.levels[2].cellSize, 4096);  // nothing is listed at level 3
    for (int l = 0; l < 3; ++l) EXPECT_EQ(8192 % layer.levels[size_t(l)].cellSize, 0);
    GridIndex grid;
    EXPECT_TRUE(buildGridIndex(objects, 1, 8192, layer.levels[0].cellSize, grid));
    // Everything on one spot cannot be split at all.
    std::vector<MapObjectData> heap(9000, objects.front());
    EXPECT_FALSE(fitCellSizes(heap, layer, 8192, 8000));
}

// ---------------------------------------------------------------------------
// The excerpt

TEST(Excerpt, LayersAndClassesHoldWhatTheAreaHas) {
    const ImportResult& r = excerpt();
    const DatasetData& d = r.data;
    ASSERT_EQ(d.tables.layerCount(), kLayerCount);
    EXPECT_EQ(d.layerObjects[kStationLayer].size(), 2u);
    EXPECT_GT(d.layerObjects[kRoadLayer].size(), 50u);
    EXPECT_GT(d.layerObjects[kBuildingLayer].size(), 20u);
    EXPECT_GT(d.layerObjects[kMetroLineLayer].size(), 0u);
    EXPECT_GT(d.layerObjects[kPoiLayer].size(), 20u);
    std::set<QString> streets;
    for (const NameData& n : d.classNames[kStreetClass]) streets.insert(n.name);
    for (const char* s : {"Невский проспект", "Садовая улица", "Думская улица", "Ломоносова улица"})
        EXPECT_TRUE(streets.count(u(s))) << s;
    std::set<QString> stations;
    for (const NameData& n : d.classNames[kStationClass]) stations.insert(n.name);
    EXPECT_EQ(stations, (std::set<QString>{u("Гостиный двор"), u("Невский проспект")}));
    EXPECT_EQ(d.catalogue.streetClass, kStreetClass);
    EXPECT_EQ(d.catalogue.metroClass, kStationClass);
}

TEST(Excerpt, EveryObjectLiesInTheGridAndEveryReferenceHolds) {
    const DatasetData& d = excerpt().data;
    const Catalogue& c = d.catalogue;
    ASSERT_GT(c.gridExtent, 0);
    EXPECT_LE(c.extentLeft + c.extentWidth, c.gridExtent);
    EXPECT_LE(c.extentTop + c.extentHeight, c.gridExtent);
    EXPECT_GE(c.startX, c.extentLeft);
    EXPECT_LE(c.startX + c.startWidth, c.extentLeft + c.extentWidth);
    for (int l = 1; l <= d.tables.layerCount(); ++l) {
        for (const ScaleLevel& level :
             std::vector<ScaleLevel>(d.tables.layers[size_t(l)].levels.begin(),
                                     d.tables.layers[size_t(l)].levels.begin() + 3))
            EXPECT_EQ(c.gridExtent % level.cellSize, 0);
        for (const MapObjectData& o : d.layerObjects[size_t(l)]) {
            ASSERT_GE(o.typeIndex, 1);
            ASSERT_LE(o.typeIndex, d.tables.typeCount());
            for (const QPoint& p : o.points) {
                ASSERT_GE(p.x(), 0);
                ASSERT_GE(p.y(), 0);
                ASSERT_LT(p.x(), c.gridExtent);
                ASSERT_LT(p.y(), c.gridExtent);
            }
            if (o.nameKind) {
                ASSERT_LT(size_t(o.nameKind), d.classNames.size());
                ASSERT_LE(size_t(o.nameIndex), d.classNames[size_t(o.nameKind)].size());
            }
        }
    }
    // Map objects and parts point at existing records; houses name their street.
    for (size_t cl = 1; cl < d.classNames.size(); ++cl)
        for (const NameData& n : d.classNames[cl]) {
            for (const ObjectRefData& m : n.mapObjects)
                ASSERT_LE(size_t(m.second), d.layerObjects[size_t(m.first)].size());
            for (const ObjectRefData& p : n.parts) {
                ASSERT_EQ(d.tables.classes[size_t(p.first)].nameStyle, 3);
                const NameData& house = d.classNames[size_t(p.first)][size_t(p.second - 1)];
                EXPECT_EQ(house.parentClass, kStreetClass);
                EXPECT_EQ(&d.classNames[kStreetClass][size_t(house.parentRecord - 1)], &n);
            }
        }
}

TEST(Excerpt, WrittenDatasetOpensAndTheHouseSearchFindsEveryAddress) {
    const ImportResult& r = excerpt();
    QTemporaryDir tmp;
    const QString dir = tmp.filePath(QStringLiteral("city"));
    QString error;
    ASSERT_TRUE(writeDatasetSafely(r.data, dir, &error)) << error.toStdString();
    Settings settings;
    settings.dataDirectory = QDir(dir).absolutePath() + QDir::separator();
    Catalogue catalogue;
    Tables tables;
    ASSERT_TRUE(readCatalogue(settings, catalogue, tables));
    EXPECT_EQ(catalogue.gridExtent, r.data.catalogue.gridExtent);
    const NameContext ctx{settings.dataDirectory, catalogue, tables};
    EXPECT_TRUE(checkClassKeys(ctx).isEmpty());

    ASSERT_GE(r.addresses.size(), 30u);
    const AddressCheck check = checkAddresses(dir, r.addresses);
    EXPECT_TRUE(check.error.isEmpty()) << check.error.toStdString();
    EXPECT_EQ(check.total, int64_t(r.addresses.size()));
    EXPECT_EQ(check.found, check.total);
    EXPECT_EQ(metroStations(dir).size(), 2);

    // An address the search cannot find is named with what it was linked to;
    // a large list is checked in parts and comes out the same.
    std::vector<AddressSample> many;
    for (int k = 0; k < 800; ++k) many.insert(many.end(), r.addresses.begin(), r.addresses.end());
    AddressSample wrong = r.addresses.front();
    wrong.houseNumber = u("977к5");
    many.insert(many.begin() + qsizetype(many.size() / 2), wrong);
    const AddressCheck big = checkAddresses(dir, many);
    EXPECT_EQ(big.total, int64_t(many.size()));
    EXPECT_EQ(big.found, big.total - 1);
    ASSERT_EQ(big.missing.size(), 1u);
    EXPECT_EQ(big.missing[0].houseNumber, u("977к5"));
    EXPECT_EQ(big.missing[0].house.number, u("977"));
    EXPECT_EQ(big.missing[0].house.building, u("5"));
    EXPECT_FALSE(big.missing[0].streetName.isEmpty());

    // A house reads back with its street: "5/22 литВ" of Думская улица.
    ClassNames streets(ctx, kStreetClass);
    int64_t duma = 0;
    for (int64_t n = 1; n <= streets.recordCount(); ++n)
        if (streets.shortName(n) == u("Думская улица")) duma = n;
    ASSERT_GT(duma, 0);
    std::vector<ObjectRef> parts;
    ASSERT_TRUE(readPartRefs(ctx, kStreetClass, streets.nameRecord(duma), parts));
    QStringList houses;
    for (const ObjectRef& p : parts) houses << objectName(ctx, p.first, p.second, false);
    EXPECT_TRUE(houses.contains(u("5В/22"))) << houses.join(u(", ")).toStdString();
    EXPECT_TRUE(houses.contains(u("1")) && houses.contains(u("3")));  // from "1-3"
    const ObjectRef first = parts.front();
    EXPECT_TRUE(objectName(ctx, first.first, first.second, true).startsWith(u("Думская улица д.")));
}

TEST(Excerpt, WriteOverADatasetTidiesWhatAKilledWriterLeft) {
    const ImportResult& r = excerpt();
    QTemporaryDir tmp;
    const QString dir = tmp.filePath(QStringLiteral("city"));
    // A writer killed between moving the old dataset aside and putting the
    // new one in place, and one killed while writing.
    const QString aside = tmp.filePath(QStringLiteral(".city-old-AbC123"));
    const QString begun = tmp.filePath(QStringLiteral(".city-new-XyZ789"));
    ASSERT_TRUE(writeDataset(r.data, aside));
    ASSERT_TRUE(QDir().mkpath(begun));
    const QString other = tmp.filePath(QStringLiteral(".other-new-XyZ789"));  // not ours
    ASSERT_TRUE(QDir().mkpath(other));
    QString error;
    ASSERT_TRUE(writeDatasetSafely(r.data, dir, &error)) << error.toStdString();
    EXPECT_TRUE(QFile::exists(dir + u("/urbica.dat")));
    EXPECT_FALSE(QFileInfo::exists(aside));
    EXPECT_FALSE(QFileInfo::exists(begun));
    EXPECT_TRUE(QFileInfo::exists(other));
    // Over an existing dataset nothing is left beside it either.
    ASSERT_TRUE(writeDatasetSafely(r.data, dir, &error)) << error.toStdString();
    EXPECT_EQ(QDir(tmp.path()).entryList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot),
              (QStringList{u(".other-new-XyZ789"), u("city")}));
}

TEST(Excerpt, CompressedAndBinaryFormsGiveTheSameDataset) {
    QTemporaryDir tmp;
    const ImportResult& plain = excerpt();
    for (const char* suffix : {".osm.pbf", ".osm.bz2", ".osm.gz"}) {
        const QString path = tmp.filePath(u("excerpt") + QLatin1String(suffix));
        {
            osmium::io::Reader reader{kExcerpt.toStdString()};
            osmium::io::Header header = reader.header();
            osmium::io::Writer writer{path.toStdString(), header};
            while (osmium::memory::Buffer buffer = reader.read()) writer(std::move(buffer));
            writer.close();
            reader.close();
        }
        ImportResult r;
        QString error;
        ASSERT_TRUE(importOsm(path, r, &error)) << suffix << error.toStdString();
        for (int l = 1; l <= kLayerCount; ++l)
            EXPECT_EQ(r.data.layerObjects[size_t(l)].size(),
                      plain.data.layerObjects[size_t(l)].size())
                << suffix << " layer " << l;
        EXPECT_EQ(r.addresses.size(), plain.addresses.size()) << suffix;
    }
}

// Files of a folder, recursively, by their path in it.
std::map<QString, QByteArray> filesIn(const QString& dir) {
    std::map<QString, QByteArray> out;
    QDirIterator it(dir, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
        out[QDir(dir).relativeFilePath(path)] = f.readAll();
    }
    return out;
}

TEST(Excerpt, WrittenPartByPartAsTheWholeDatasetAndNothingOnFailure) {
    QTemporaryDir tmp;
    QString error;
    const QString whole = tmp.filePath(u("whole")), lean = tmp.filePath(u("lean"));
    ASSERT_TRUE(writeDatasetSafely(excerpt().data, whole, &error)) << error.toStdString();
    ImportResult r;
    ASSERT_TRUE(readOsm(kExcerpt, r, &error)) << error.toStdString();
    ASSERT_TRUE(writeImported(r, lean, &error)) << error.toStdString();
    const std::map<QString, QByteArray> wholeFiles = filesIn(whole), leanFiles = filesIn(lean);
    EXPECT_GT(wholeFiles.size(), size_t(40));
    for (const auto& [name, bytes] : wholeFiles) {
        auto it = leanFiles.find(name);
        ASSERT_NE(it, leanFiles.end()) << name.toStdString();
        EXPECT_TRUE(it->second == bytes) << name.toStdString();
    }
    EXPECT_EQ(leanFiles.size(), wholeFiles.size());
    // The same report but for the time the reading took.
    auto untimed = [](QStringList lines) {
        return lines.replaceInStrings(QRegularExpression(u(" за [0-9.]+ с")), u(" за … с"));
    };
    EXPECT_EQ(untimed(reportLines(r)), untimed(reportLines(excerpt())));
    EXPECT_EQ(r.addresses.size(), excerpt().addresses.size());
    EXPECT_TRUE(r.data.layerObjects[kBuildingLayer].empty()) << "freed once written";

    // A folder that is not a dataset is refused before anything is built or
    // written, and so is a second write of what was read once.
    const QString other = tmp.filePath(u("other"));
    ASSERT_TRUE(QDir().mkpath(other));
    QFile(other + u("/notes.txt")).open(QIODevice::WriteOnly);
    ASSERT_TRUE(readOsm(kExcerpt, r, &error));
    EXPECT_FALSE(writeImported(r, other, &error));
    EXPECT_EQ(QDir(other).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              QStringList{u("notes.txt")});
    EXPECT_EQ(QDir(tmp.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              (QStringList{u("lean"), u("other"), u("whole")}));
    EXPECT_FALSE(writeImported(r, lean, &error));
    EXPECT_TRUE(filesIn(lean) == leanFiles);
}

// ---------------------------------------------------------------------------
// Bad input

TEST(BadInput, FilesThatAreNotWholeOsmDataAreRefused) {
    QTemporaryDir tmp;
    ImportResult r;
    QString error;
    EXPECT_FALSE(importOsm(tmp.filePath(QStringLiteral("missing.osm")), r, &error));
    EXPECT_FALSE(error.isEmpty());

    const QString text = tmp.filePath(QStringLiteral("notes.osm"));
    ASSERT_TRUE(writeText(text, "This is a shopping list, not a map.\n"));
    error.clear();
    EXPECT_FALSE(importOsm(text, r, &error));
    EXPECT_TRUE(error.contains(u("OpenStreetMap"))) << error.toStdString();

    const QString empty = tmp.filePath(QStringLiteral("empty.osm"));
    ASSERT_TRUE(writeText(empty, osm("")));
    error.clear();
    EXPECT_FALSE(importOsm(empty, r, &error));
    EXPECT_FALSE(error.isEmpty());

    QFile whole(kExcerpt);
    ASSERT_TRUE(whole.open(QIODevice::ReadOnly));
    const QByteArray bytes = whole.readAll();
    const QString truncated = tmp.filePath(QStringLiteral("truncated.osm"));
    ASSERT_TRUE(writeText(truncated, bytes.left(bytes.size() / 2)));
    error.clear();
    EXPECT_FALSE(importOsm(truncated, r, &error));
    EXPECT_FALSE(error.isEmpty());

    const QString truncatedPbf = tmp.filePath(QStringLiteral("truncated.osm.pbf"));
    {
        const QString pbf = tmp.filePath(QStringLiteral("whole.osm.pbf"));
        osmium::io::Reader reader{kExcerpt.toStdString()};
        osmium::io::Writer writer{pbf.toStdString()};
        while (osmium::memory::Buffer buffer = reader.read()) writer(std::move(buffer));
        writer.close();
        QFile f(pbf);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QByteArray b = f.readAll();
        ASSERT_TRUE(writeText(truncatedPbf, b.left(b.size() * 2 / 3)));
    }
    error.clear();
    EXPECT_FALSE(importOsm(truncatedPbf, r, &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST(BadInput, MissingNodesAndBrokenAreasAreSkippedAndCounted) {
    QTemporaryDir tmp;
    const QString path = tmp.filePath(QStringLiteral("broken.osm"));
    QByteArray body;
    body += square(1, 55.75, 37.60);
    body += square(11, 55.751, 37.60);
    body += node(20, 55.7505, 37.6005) + node(21, 55.7505, 37.6020);
    // A street whose middle node is missing keeps the rest; one with a single
    // known node is dropped.
    body += way(100, {20, 999, 21}, tag("highway", "residential") + tag("name", "Тестовая улица"));
    body += way(101, {20, 998, 997}, tag("highway", "residential") + tag("name", "Пустая улица"));
    // A building and a multipolygon whose ring never closes.
    body += way(102, {1, 2, 3, 4, 1},
                tag("building", "yes") + tag("addr:street", "Тестовая улица") +
                    tag("addr:housenumber", "5"));
    // An address that writes the street's name in other letter case joins it.
    body += node(30, 55.7502, 37.6010,
                 tag("addr:street", "тестовая Улица") + tag("addr:housenumber", "7"));
    body += way(103, {11, 12, 13}, "");
    body += "<relation id='200' version='1'><member type='way' ref='103' role='outer'/>" +
            tag("type", "multipolygon") + tag("leisure", "park") + tag("name", "Сквер") +
            "</relation>\n";
    ASSERT_TRUE(writeText(path, osm(body)));
    ImportResult r;
    QString error;
    ASSERT_TRUE(importOsm(path, r, &error)) << error.toStdString();
    EXPECT_EQ(count(r.report, "линии с недостающими точками (взяты оставшиеся)"), 2);
    EXPECT_EQ(count(r.report, "линии без двух точек"), 1);
    EXPECT_EQ(r.report.multipolygonRelations, 1);
    EXPECT_EQ(r.report.areasFromRelations, 0);
    EXPECT_TRUE(r.data.classNames[kParkClass].empty());
    ASSERT_EQ(r.data.classNames[kStreetClass].size(), 1u);
    EXPECT_EQ(r.data.classNames[kStreetClass][0].name, u("Тестовая улица"));
    EXPECT_EQ(r.data.classNames[kStreetClass][0].parts.size(), 2u);
    EXPECT_TRUE(reportLines(r).join(u("\n")).contains(u("мультиполигоны неполные")));
}

TEST(BadInput, AddressesOfObjectsThatMakeNoAreaAreKept) {
    QTemporaryDir tmp;
    const QString path = tmp.filePath(QStringLiteral("partial.osm"));
    auto address = [](const char* number) {
        return tag("addr:street", "Садовая улица") + tag("addr:housenumber", number);
    };
    QByteArray body;
    for (int i = 0; i < 6; ++i) body += square(10 * i + 1, 55.75 + 0.001 * i, 37.60);
    body += node(90, 55.7495, 37.5995) + node(91, 55.7495, 37.6040);
    body += way(100, {90, 91}, tag("highway", "residential") + tag("name", "Садовая улица"));
    // A building multipolygon whose inner ring lies outside the extract: drawn by its outer ring.
    body += way(101, {1, 2, 3, 4, 1}, "");
    body +=
        "<relation id='200' version='1'><member type='way' ref='101' role='outer'/>"
        "<member type='way' ref='999' role='inner'/>" +
        tag("type", "multipolygon") + tag("building", "yes") + address("3") + "</relation>\n";
    // One whose only outer way is an open line: a square at its points.
    body += way(102, {11, 12, 13}, "");
    body +=
        "<relation id='201' version='1'><member type='way' ref='102' role='outer'/>"
        "<member type='way' ref='998' role='outer'/>" +
        tag("type", "multipolygon") + tag("building", "yes") + address("5") + "</relation>\n";
    // A closed way of no drawn kind, and an open one.
    body += way(103, {21, 22, 23, 24, 21}, tag("man_made", "works") + address("7"));
    body += way(104, {31, 32, 33}, tag("removed:building", "yes") + address("9"));
    // Ranges and lists after the house they name alone; korpus after the bare number.
    body += way(105, {41, 42, 43, 44, 41}, tag("building", "yes") + address("9-11"));
    body += way(106, {51, 52, 53, 54, 51}, tag("building", "yes") + address("3 к1"));
    ASSERT_TRUE(writeText(path, osm(body)));
    ImportResult r;
    QString error;
    ASSERT_TRUE(importOsm(path, r, &error)) << error.toStdString();
    const DatasetData& d = r.data;
    ASSERT_EQ(d.classNames[kStreetClass].size(), 1u);
    QStringList houses;
    for (const ObjectRefData& p : d.classNames[kStreetClass][0].parts) {
        const NameData& h = d.classNames[size_t(p.first)][size_t(p.second - 1)];
        ASSERT_EQ(h.mapObjects.size(), 1u);
        const MapObjectData& o =
            d.layerObjects[size_t(h.mapObjects[0].first)][size_t(h.mapObjects[0].second - 1)];
        // The mark of an address is a square 6 m wide.
        const bool square = o.points.size() == 4 && o.points[1].x() - o.points[0].x() == 6;
        houses << fields(HouseFields{h.number, h.fraction, h.building}) +
                      (square ? u(" square") : u(" building"));
    }
    EXPECT_EQ(houses,
              (QStringList{u("3|| building"), u("3||1 building"), u("5|| square"), u("7|| square"),
                           u("9|| square"), u("9|| building"), u("11|| building")}));
    EXPECT_EQ(r.report.addressesFromParts, 4);
    EXPECT_TRUE(reportLines(r).join(u("\n")).contains(u("поставлены по их точкам: 4")));
}

TEST(BadInput, LongAndForeignNamesAreWrittenNotRefused) {
    QTemporaryDir tmp;
    const QString path = tmp.filePath(QStringLiteral("names.osm"));
    const QByteArray longName = QString(u("Очень")).repeated(30).toUtf8();
    QByteArray body =
        square(1, 50.45, 30.52) + node(10, 50.4505, 30.521) + node(11, 50.4505, 30.523);
    // A Ukrainian street with its Russian name; the address spells the Ukrainian one.
    body += way(100, {10, 11},
                tag("highway", "primary") + tag("name", "вулиця Хрещатик") +
                    tag("name:ru", "улица Крещатик"));
    body += way(101, {1, 2, 3, 4, 1},
                tag("building", "yes") + tag("addr:street", "вулиця Хрещатик") +
                    tag("addr:housenumber", "22") + tag("name", longName.constData()) +
                    tag("amenity", "library"));
    body += node(20, 50.451, 30.522, tag("amenity", "cafe") + tag("name", "Кафе «Әлем» — Şişli"));
    body += node(21, 50.4512, 30.5222,
                 tag("addr:street", "Майдан Незалежності") + tag("addr:housenumber", "1"));
    ASSERT_TRUE(writeText(path, osm(body)));
    ImportResult r;
    QString error;
    ASSERT_TRUE(importOsm(path, r, &error)) << error.toStdString();
    const auto& streets = r.data.classNames[kStreetClass];
    ASSERT_EQ(streets.size(), 2u);
    EXPECT_EQ(streets[0].name, u("Крещатик улица"));
    EXPECT_EQ(streets[0].parts.size(), 1u);  // linked by the street's own name
    EXPECT_EQ(streets[1].name, u("Майдан Незалежності"));
    EXPECT_TRUE(streets[1].mapObjects.empty());
    EXPECT_EQ(streets[1].parts.size(), 1u);
    EXPECT_GE(r.report.text.cutTexts, 1);
    EXPECT_GE(r.report.text.replacedCharacters, 3);
    // The library's name, cut to its field, finds it whole; the cafe's
    // folded name is the shown one, so the original spelling is no other name.
    std::set<QString> other;
    for (const SearchNameData& n : r.data.searchNames) other.insert(n.name);
    EXPECT_EQ(other, (std::set<QString>{QString::fromUtf8(longName), u("вулиця Хрещатик"),
                                        u("улица Крещатик")}));
    // Shown whole: the names that were cut or lost letters, not those kept as they are.
    std::set<QString> whole;
    for (const SearchNameData& n : r.data.displayNames) whole.insert(n.name);
    EXPECT_EQ(whole, (std::set<QString>{QString::fromUtf8(longName), u("Кафе «Әлем» — Şişli")}));

    const QString dir = tmp.filePath(QStringLiteral("out"));
    ASSERT_TRUE(writeDatasetSafely(r.data, dir, &error)) << error.toStdString();
    QString problem;
    EXPECT_EQ(DisplayNames::load(dir + u("/"), &problem)->count(), 2) << problem.toStdString();
    const AddressCheck check = checkAddresses(dir, r.addresses);
    EXPECT_EQ(check.found, 2);
    EXPECT_EQ(check.total, 2);
}

TEST(BadInput, AnOutputFolderThatCannotBeUsedIsLeftAlone) {
    const DatasetData& d = excerpt().data;
    QTemporaryDir tmp;
    QString error;
    // Below a file: nothing can be made.
    const QString file = tmp.filePath(QStringLiteral("plain-file"));
    ASSERT_TRUE(writeText(file, "x"));
    EXPECT_FALSE(writeDatasetSafely(d, file + QStringLiteral("/city"), &error));
    EXPECT_FALSE(error.isEmpty());
    error.clear();
    EXPECT_FALSE(writeDatasetSafely(d, file, &error));
    EXPECT_FALSE(error.isEmpty());

    // A folder with other things in it is not overwritten.
    const QString busy = tmp.filePath(QStringLiteral("documents"));
    ASSERT_TRUE(QDir().mkpath(busy));
    ASSERT_TRUE(writeText(busy + QStringLiteral("/letter.txt"), "keep me"));
    error.clear();
    EXPECT_FALSE(writeDatasetSafely(d, busy, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(QDir(busy).entryList(QDir::Files), QStringList{QStringLiteral("letter.txt")});

    // A dataset refused by the writer leaves the old dataset whole and no
    // half-written folder beside it.
    const QString city = tmp.filePath(QStringLiteral("city"));
    ASSERT_TRUE(writeDatasetSafely(d, city, &error)) << error.toStdString();
    DatasetData bad = d;
    bad.classNames[kStreetClass].front().name = QString(40, u'x');  // past its 32 characters
    error.clear();
    EXPECT_FALSE(writeDatasetSafely(bad, city, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(checkAddresses(city, excerpt().addresses).found, int64_t(excerpt().addresses.size()));
    EXPECT_EQ(
        QDir(tmp.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).size(),
        3);  // plain-file, documents, city

    // Writing again over a dataset replaces it with every file of the new one
    // and none of the old one's.
    EXPECT_TRUE(QFile::exists(city + u("/") + QLatin1String(kSearchNamesFile)));
    EXPECT_TRUE(QFile::exists(city + u("/") + QLatin1String(kGeoReferenceFile)));
    DatasetData fewer = d;
    fewer.searchNames.clear();
    error.clear();
    EXPECT_TRUE(writeDatasetSafely(fewer, city, &error)) << error.toStdString();
    EXPECT_FALSE(QFile::exists(city + u("/") + QLatin1String(kSearchNamesFile)));
    EXPECT_TRUE(QFile::exists(city + u("/") + QLatin1String(kGeoReferenceFile)));
}

// ---------------------------------------------------------------------------
// Metro stations

TEST(Stations, EveryTaggingGivesOneStationPerName) {
    QTemporaryDir tmp;
    const QString path = tmp.filePath(QStringLiteral("stations.osm"));
    const QByteArray railway = tag("railway", "station"), pt = tag("public_transport", "station");
    const QByteArray subway = tag("station", "subway"), yes = tag("subway", "yes");
    QByteArray body;
    body += node(1, 53.90, 27.55, railway + subway + tag("name", "Первая"));
    body += node(2, 53.90, 27.56, railway + yes + tag("name", "Вторая"));
    body += node(3, 53.90, 27.57, pt + subway + tag("name", "Третья"));
    body += node(4, 53.90, 27.58, pt + yes + tag("name", "Четвёртая"));
    // A node and a closed way of the same station, tagged differently.
    body += node(5, 53.91, 27.55, pt + yes + tag("name", "Пятая"));
    body += square(10, 53.911, 27.55);
    body += way(100, {10, 11, 12, 13, 10},
                railway + subway + tag("building", "train_station") + tag("name", "Пятая"));
    // A station given only as a multipolygon, and one given twice as one.
    body += square(20, 53.92, 27.55) + square(30, 53.92, 27.56);
    body += way(101, {20, 21, 22, 23, 20}, "") + way(102, {30, 31, 32, 33, 30}, "");
    for (int id : {200, 201})
        body += QStringLiteral("<relation id='%1' version='1'>").arg(id).toUtf8() +
                "<member type='way' ref='" + QByteArray::number(id == 200 ? 101 : 102) +
                "' role='outer'/>" + tag("type", "multipolygon") + pt + yes +
                tag("name", id == 200 ? "Шестая" : "Первая") + "</relation>\n";
    // Railway stations and bus stations are not metro stations.
    body += node(6, 53.93, 27.55, railway + tag("name", "Вокзал"));
    body += node(7, 53.93, 27.56, pt + tag("bus", "yes") + tag("name", "Автовокзал"));
    body += node(8, 53.93, 27.57, railway + tag("station", "train") + tag("name", "Платформа"));
    ASSERT_TRUE(writeText(path, osm(body)));
    ImportResult r;
    QString error;
    ASSERT_TRUE(importOsm(path, r, &error)) << error.toStdString();
    QStringList stations;
    for (const NameData& n : r.data.classNames[kStationClass]) {
        stations << n.name;
        EXPECT_EQ(n.mapObjects.size(), 1u) << n.name.toStdString();
    }
    EXPECT_EQ(stations, (QStringList{u("Первая"), u("Вторая"), u("Третья"), u("Четвёртая"),
                                     u("Пятая"), u("Шестая")}));
    EXPECT_EQ(r.data.layerObjects[kStationLayer].size(), 6u);
    EXPECT_EQ(r.data.layerObjects[kBuildingLayer].size(), 1u);  // the station's building
}

// ---------------------------------------------------------------------------
// Names in two languages

namespace {

const QString kMinsk = QStringLiteral(OSM_TEST_DATA "/minsk-two-languages.osm");

// Search names of a class by the shown name of their record.
std::map<QString, std::set<QString>> searchNamesByShown(const DatasetData& d, int cls) {
    std::map<QString, std::set<QString>> out;
    for (const SearchNameData& s : d.searchNames)
        if (s.classNumber == cls) {
            const QString& shown = d.classNames[size_t(cls)].at(size_t(s.record - 1)).name;
            EXPECT_TRUE(out[shown].insert(s.name).second) << s.name.toStdString();
        }
    return out;
}

int32_t recordNamed(const DatasetData& d, int cls, const char* name) {
    const auto& list = d.classNames[size_t(cls)];
    for (size_t i = 0; i < list.size(); ++i)
        if (list[i].name == u(name)) return int32_t(i + 1);
    return 0;
}

}  // namespace

TEST(TwoLanguages, EveryNameOfAnObjectFindsItAndHousesHangUnderTheirStreet) {
    ImportResult r;
    QString error;
    ASSERT_TRUE(importOsm(kMinsk, r, &error)) << error.toStdString();
    const DatasetData& d = r.data;
    using Names = std::set<QString>;
    // Shown in Russian under the street's own word; the data's order, the
    // Belarusian name, the other names and the full name of a shortened
    // street are search names, each once.
    const std::map<QString, Names> streets{
        {u("Кирова улица"), Names{u("вуліца Кірава"), u("улица Кирова")}},
        {u("Независимости проспект"),
         Names{u("праспект Незалежнасці"), u("Ленінскі праспект"), u("праспект Скарыны"),
               u("Незалежнасці"), u("проспект Независимости")}},
        {u("Янки Купалы улица"), Names{u("вуліца Янкі Купалы"), u("улица Янки Купалы")}},
        {u("Большой Спасоглинищевский пер."),
         Names{u("Большой Спасоглинищевский переулок"), u("Вялікі Спасаглінішчаўскі завулак")}}};
    EXPECT_EQ(searchNamesByShown(d, kStreetClass), streets);
    EXPECT_EQ(searchNamesByShown(d, kStationClass),
              (std::map<QString, Names>{{u("Октябрьская"), Names{u("Кастрычніцкая")}}}));
    EXPECT_EQ(searchNamesByShown(d, kPoiClass),
              (std::map<QString, Names>{
                  {u("Центральная библиотека"), Names{u("Цэнтральная бібліятэка"), u("ЦБ")}}}));

    // Houses under the street their addr:street names in either language or letter case
    // (in sorted order).
    auto houses = [&](const char* street) {
        const int32_t record = recordNamed(d, kStreetClass, street);
        EXPECT_GT(record, 0) << street;
        QStringList out;
        if (record > 0)
            for (const ObjectRefData& p : d.classNames[kStreetClass][size_t(record - 1)].parts) {
                const NameData& h = d.classNames[size_t(p.first)][size_t(p.second - 1)];
                out << fields(HouseFields{h.number, h.fraction, h.building});
            }
        out.sort();
        return out;
    };
    EXPECT_EQ(houses("Кирова улица"), (QStringList{u("11||2"), u("24|7|"), u("5||"), u("9||")}));
    EXPECT_EQ(houses("Независимости проспект"), QStringList{u("12||")});
    EXPECT_EQ(houses("Янки Купалы улица"), QStringList{u("3||")});
    EXPECT_EQ(houses("Большой Спасоглинищевский пер."), QStringList{u("2||")});

    // Written and read back whole, in Unicode.
    QTemporaryDir tmp;
    const QString dir = tmp.filePath(QStringLiteral("city"));
    ASSERT_TRUE(writeDatasetSafely(d, dir, &error)) << error.toStdString();
    QString problem;
    const auto loaded =
        SearchNames::load(QDir(dir).absolutePath() + QDir::separator(), nullptr, &problem);
    ASSERT_TRUE(loaded && problem.isEmpty()) << problem.toStdString();
    const int32_t kirova = recordNamed(d, kStreetClass, "Кирова улица");
    bool found = false;
    for (const SearchNames::Entry& e : loaded->ofClass(kStreetClass))
        if (e.record == kirova && e.name == u("вуліца Кірава") && e.key == searchKey(e.name))
            found = true;
    EXPECT_TRUE(found);
    EXPECT_TRUE(reportLines(r).join(u("\n")).contains(u("другие имена объектов для поиска: 14")));
}

TEST(TwoLanguages, EveryHouseLiesWhereItsOsmAddressIs) {
    // Where each address of the extract is: its node, or the mean of a building's corners.
    std::map<osmium::object_id_type, osmium::Location> nodes;
    std::map<QString, std::pair<double, double>> expected;  // house fields -> lat, lon
    {
        osmium::io::Reader reader{kMinsk.toStdString()};
        while (osmium::memory::Buffer buffer = reader.read())
            for (const osmium::OSMObject& o : buffer.select<osmium::OSMObject>()) {
                const char* number = o.tags()["addr:housenumber"];
                double lat = 0, lon = 0;
                if (o.type() == osmium::item_type::node) {
                    const auto& n = static_cast<const osmium::Node&>(o);
                    nodes[n.id()] = n.location();
                    lat = n.location().lat(), lon = n.location().lon();
                } else if (o.type() == osmium::item_type::way && number) {
                    const auto& refs = static_cast<const osmium::Way&>(o).nodes();
                    for (size_t i = 0; i + 1 < refs.size(); ++i)  // the last closes the ring
                        lat += nodes.at(refs[i].ref()).lat(), lon += nodes.at(refs[i].ref()).lon();
                    lat /= double(refs.size() - 1), lon /= double(refs.size() - 1);
                }
                if (number)
                    expected[fields(splitHouseNumber(u(number)).houses.front())] = {lat, lon};
            }
        reader.close();
    }
    ASSERT_EQ(expected.size(), 7u);

    ImportResult r;
    QString error;
    ASSERT_TRUE(importOsm(kMinsk, r, &error)) << error.toStdString();
    QTemporaryDir tmp;
    const QString dir = tmp.filePath(QStringLiteral("city"));
    ASSERT_TRUE(writeDatasetSafely(r.data, dir, &error)) << error.toStdString();
    QString problem;
    const std::optional<GeoReference> geo =
        readGeoReference(QDir(dir).absolutePath() + QDir::separator(), &problem);
    ASSERT_TRUE(geo) << problem.toStdString();
    EXPECT_EQ(geo->margin, 500);
    EXPECT_EQ(geo->metresPerUnit, 1.0);

    int checked = 0;
    for (size_t cls = kFirstHouseClass; cls < r.data.classNames.size(); ++cls)
        for (const NameData& h : r.data.classNames[cls]) {
            const QString key = fields(HouseFields{h.number, h.fraction, h.building});
            ASSERT_TRUE(expected.count(key)) << key.toStdString();
            ASSERT_FALSE(h.mapObjects.empty());
            const ObjectRefData ref = h.mapObjects.front();
            const MapObjectData& o = r.data.layerObjects[size_t(ref.first)][size_t(ref.second - 1)];
            int x1 = INT32_MAX, y1 = INT32_MAX, x2 = INT32_MIN, y2 = INT32_MIN;
            for (const QPoint& p : o.points)
                x1 = std::min(x1, p.x()), x2 = std::max(x2, p.x()), y1 = std::min(y1, p.y()),
                y2 = std::max(y2, p.y());
            double lat = 0, lon = 0;
            geo->toLatLon((x1 + x2) / 2.0, (y1 + y2) / 2.0, lat, lon);
            const auto [wantLat, wantLon] = expected[key];
            EXPECT_LT(distanceMetres(lat, lon, wantLat, wantLon), 5.0) << key.toStdString();
            ++checked;
        }
    EXPECT_EQ(checked, 7);
}

// ---------------------------------------------------------------------------
// The house search's rule and the program

TEST(HouseCheck, TypedFieldsMatchAsTheHouseSearchDoes) {
    // The check's typed fields go through the house search's own rule.
    auto matches = [](const HouseQuery& q, const char* number, const char* fraction,
                      const char* building) {
        return urbica::houseMatches(HouseEntry{1, 1, u(number), u(fraction), u(building)}, q);
    };
    const HouseQuery t = typedFor({u("12А"), u(""), u("2")});
    EXPECT_EQ(t.number, u("12"));
    EXPECT_EQ(t.letter, u("А"));
    EXPECT_TRUE(matches(t, "12А", "", "2"));
    EXPECT_TRUE(matches(t, "12а", "", "02"));
    EXPECT_FALSE(matches(t, "12Б", "", "2"));
    EXPECT_FALSE(matches(t, "12А", "", "3"));
    EXPECT_FALSE(matches(t, "120А", "", "2"));
    EXPECT_TRUE(matches({u("12"), {}, {}, {}}, "12с1", "5", ""));
    EXPECT_FALSE(matches({u("12"), {}, u("3"), {}}, "12", "4", ""));
    EXPECT_TRUE(matches(typedFor({u("вл1"), {}, {}}), "вл1", "", ""));
    // Ё and Е alike, and blanks inside a number, as the search reads them.
    EXPECT_TRUE(matches(typedFor({u("3Ё"), {}, {}}), "3е", "", ""));
    EXPECT_TRUE(matches({u("1 2"), {}, {}, {}}, "12", "", ""));
}

TEST(Program, ImportsPrintsCountsAndRefusesBadInput) {
    QTemporaryDir tmp;
    const QString out = tmp.filePath(QStringLiteral("city"));
    const QString program = tmp.filePath(QStringLiteral("program"));
    QProcess p;
    p.start(QStringLiteral(IMPORT_EXE),
            {kExcerpt, QStringLiteral("--out"), out, QStringLiteral("--program-files"), program});
    ASSERT_TRUE(p.waitForFinished(60000));
    const QString text = QString::fromLocal8Bit(p.readAllStandardOutput());
    EXPECT_EQ(p.exitCode(), 0) << QString::fromLocal8Bit(p.readAllStandardError()).toStdString();
    EXPECT_TRUE(text.contains(u("Станции метро: 2"))) << text.toStdString();
    EXPECT_TRUE(text.contains(u("(100.0%)"))) << text.toStdString();
    EXPECT_TRUE(text.contains(u("другие имена объектов для поиска: 6"))) << text.toStdString();
    EXPECT_TRUE(QFile::exists(out + QStringLiteral("/urbica.dat")));
    Settings settings;
    ASSERT_TRUE(readSettings(settings, program));
    EXPECT_EQ(settings.labelsApart, 1) << "an imported city keeps its labels apart";
    EXPECT_EQ(settings.scaleBar, 1);
    EXPECT_EQ(settings.smoothing, 1);

    const QString junk = tmp.filePath(QStringLiteral("junk.osm"));
    ASSERT_TRUE(writeText(junk, QByteArray(5000, '\x7f')));
    const QString out2 = tmp.filePath(QStringLiteral("city2"));
    p.start(QStringLiteral(IMPORT_EXE), {junk, QStringLiteral("--out"), out2});
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), 1);
    EXPECT_FALSE(QString::fromLocal8Bit(p.readAllStandardError()).isEmpty());
    EXPECT_FALSE(QFile::exists(out2));
    EXPECT_EQ(
        QDir(tmp.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).size(),
        3);  // city, program, junk.osm: nothing half-written
}

TEST(Interpolation, NumbersBetweenTheEndsAndLinesThatMakeNothing) {
    InterpolationLine line;
    line.points = {osmium::Location(37.60, 55.75), osmium::Location(37.61, 55.75)};
    int step = 0, parity = 0;
    ASSERT_TRUE(interpolationKind("even", step, parity));
    EXPECT_EQ(std::make_pair(step, parity), std::make_pair(2, 0));
    EXPECT_FALSE(interpolationKind("alphabetic", step, parity));
    EXPECT_FALSE(interpolationKind("2", step, parity));
    ASSERT_TRUE(interpolationKind("odd", line.step, line.parity));
    // From the higher end to the lower one: numbers run down, places from the first point.
    const std::vector<InterpolatedHouse> down = interpolateHouses(line, 9, 1);
    ASSERT_EQ(down.size(), 3u);
    EXPECT_EQ(down[0].number, 7);
    EXPECT_EQ(down[2].number, 3);
    EXPECT_NEAR(down[0].at.lon(), 37.6025, 1e-6);
    EXPECT_NEAR(down[2].at.lon(), 37.6075, 1e-6);
    EXPECT_TRUE(interpolateHouses(line, 2, 10).empty()) << "even ends of an odd line";
    EXPECT_TRUE(interpolateHouses(line, 1, 4).empty()) << "an end of the other side";
    EXPECT_TRUE(interpolateHouses(line, 5, 5).empty());
    EXPECT_TRUE(interpolateHouses(line, 1, 3).empty()) << "neighbours: nothing between";
    EXPECT_TRUE(interpolateHouses(line, 1, 1 + 2 * (kMaxInterpolated + 1) + 2).empty());
    EXPECT_EQ(plainHouseNumber(u(" 12 ")), 12);
    EXPECT_EQ(plainHouseNumber(u("12А")), -1);
    EXPECT_EQ(plainHouseNumber(u("1/2")), -1);
}
