// A small city for the search tests: districts, streets with houses in every
// number form, metro stations, a class of numbers, a class that is named but
// not searched by default, and the house class.
#pragma once

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <ostream>

#include "dataset/names.h"
#include "dataset/tables.h"
#include "dataset/writer.h"
#include "view/appstate.h"

// Readable texts in failure messages.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace urbica::testcity {

inline QString u(const char* s) { return QString::fromUtf8(s); }

enum : int {
    kDistricts = 1,
    kStreets,
    kStations,
    kPonds,    // named, not searchable
    kSchools,  // names are numbers
    kHouses,   // house numbers, not listed by the universal search
    kClassCount = kHouses
};

// Street records.
enum : int32_t {
    kSadovaya = 1,  // 12, 12А, 12а, 12Б, 12/3, 12 к.2, 14, 12 (no map object)
    kOdd,           // Нечётная: 9, 11, 15, 17 and even 10, 16
    kLiteynaya,     // 9, 13А, 13 к.2, 11, 15, 17, 10
    kEmpty,         // Пустая: no houses
    kYolochnaya,    // Ёлочная: 1
    kMoskovskaya,   // Московская
    kPavlovskaya,   // Павловская
    kBroken,        // Береговая: parts pointing at missing classes and records, then 5
    kStreetCount = kBroken
};

struct HouseSpec {
    const char* number;
    const char* fraction;
    const char* building;
    bool placed = true;  // has a map object
};

struct City {
    QTemporaryDir dir;
    DatasetData data;
    AppState state;
    // House records of each street, in the street's order.
    std::vector<std::vector<int32_t>> streetHouses;
    int32_t nextObject = 0;

    City() {
        Catalogue& c = data.catalogue;
        c.gridExtent = 100000;
        c.extentWidth = 100000;
        c.extentHeight = 100000;
        c.minUnitsPerPixel = 0.1f;
        c.overviewWidth = 100000;
        c.streetClass = kStreets;
        c.metroClass = kStations;
        c.startWidth = 100000;
        ObjectType point;
        point.drawMode = 1;
        data.tables.types = {ObjectType{}, point};
        LayerRecord layer;
        layer.layerName = u("Всё");
        layer.baseName = u("vse");
        layer.shown = layer.listed = layer.onOverview = -1;
        layer.levels[0] = {10000, -1};
        data.tables.layers.push_back(layer);
        data.layerObjects.resize(2);
        auto cls = [](const char* name, const char* base, int style, bool searchable,
                      bool hasNames) {
            ClassRecord r;
            r.className = u(name);
            r.baseName = QString::fromLatin1(base);
            r.nameStyle = int16_t(style);
            r.searchable = searchable ? -1 : 0;
            r.hasNames = hasNames ? -1 : 0;
            return r;
        };
        data.tables.classes = {ClassRecord{},
                               cls("Районы", "rn", 1, true, true),
                               cls("Улицы", "ul", 2, true, true),
                               cls("Станции метро", "mt", 1, true, true),
                               cls("Пруды", "pr", 1, false, true),
                               cls("Школы", "sh", 1, true, true),
                               cls("Дома", "dm", 3, false, false)};
        data.classNames.resize(kClassCount + 1);

        named(kDistricts, "Центральный");
        named(kDistricts, "Заречный");
        const char* streets[] = {"Садовая", "Нечётная",   "Литейная",   "Пустая",
                                 "Ёлочная", "Московская", "Павловская", "Береговая"};
        for (const char* s : streets) named(kStreets, s, kDistricts, 1);
        data.classNames[kStreets][kMoskovskaya - 1].parentRecord = 2;
        streetHouses.resize(kStreetCount + 1);
        houses(kSadovaya, {{"12", "", ""},
                           {"12А", "", ""},
                           {"12а", "", ""},
                           {"12Б", "", ""},
                           {"12", "3", ""},
                           {"12", "", "2"},
                           {"14", "", ""},
                           {"12", "", "", false}});
        houses(kOdd, {{"9", "", ""},
                      {"10", "", ""},
                      {"11", "", ""},
                      {"15", "", ""},
                      {"16", "", ""},
                      {"17", "", ""}});
        houses(kLiteynaya, {{"9", "", ""},
                            {"13А", "", ""},
                            {"13", "", "2"},
                            {"11", "", ""},
                            {"15", "", ""},
                            {"17", "", ""},
                            {"10", "", ""}});
        houses(kYolochnaya, {{"1", "", ""}});
        // Береговая: a class past the table, a record past the house file,
        // the district class (not house numbers), then one good house.
        NameData& broken = data.classNames[kStreets][kBroken - 1];
        broken.parts = {{99, 1}, {kHouses, 5000}, {kDistricts, 1}, {-4, 1}};
        houses(kBroken, {{"5", "", ""}});

        named(kStations, "Московская");
        named(kStations, "Садовая");
        named(kStations, "Ёлки");
        named(kStations, "Парк культуры");
        named(kStations, "Закрытая", 0, 0, false);
        named(kStations, "Арбатская");

        named(kPonds, "Садовый пруд");
        named(kPonds, "Озеро Ёлочное");

        for (const char* n : {"10", "2", "33", "1", "2"}) named(kSchools, n);

        write();
    }

    // Adds a named object with one map object of its own; returns its record.
    int32_t named(int c, const char* name, int parentClass = 0, int32_t parent = 0,
                  bool placed = true) {
        NameData n;
        n.name = u(name);
        n.parentClass = int16_t(parentClass);
        n.parentRecord = parent;
        if (placed) n.mapObjects = {{1, place()}};
        data.classNames[size_t(c)].push_back(n);
        return int32_t(data.classNames[size_t(c)].size());
    }

    int32_t place() {
        MapObjectData o;
        o.typeIndex = 1;
        const int i = nextObject++;
        const int x = 1000 + (i % 40) * 2000, y = 1000 + (i / 40) * 2000;
        o.points = {{x, y}, {x + 300, y + 100}};
        data.layerObjects[1].push_back(o);
        return int32_t(data.layerObjects[1].size());
    }

    void houses(int32_t street, std::vector<HouseSpec> list) {
        for (const HouseSpec& h : list) {
            NameData n;
            n.number = u(h.number);
            n.fraction = u(h.fraction);
            n.building = u(h.building);
            n.parentClass = kStreets;
            n.parentRecord = street;
            if (h.placed) n.mapObjects = {{1, place()}};
            auto& names = data.classNames[kHouses];
            names.push_back(n);
            const int32_t record = int32_t(names.size());
            data.classNames[kStreets][size_t(street - 1)].parts.push_back({kHouses, record});
            streetHouses[size_t(street)].push_back(record);
        }
    }

    void write() {
        QString error;
        ASSERT_TRUE(writeDataset(data, dir.path(), &error)) << error.toStdString();
        state = AppState{};
        state.settings.dataDirectory = dir.path() + "/";
        state.programDirectory = dir.path();
        ASSERT_TRUE(readCatalogue(state.settings, state.catalogue, state.tables));
    }

    QString path(const char* file) const { return dir.path() + "/" + QString::fromLatin1(file); }
    void truncate(const char* file, qint64 size) const {
        QFile f(path(file));
        ASSERT_TRUE(f.resize(size));
    }
    NameContext ctx() const {
        return NameContext{state.settings.dataDirectory, state.catalogue, state.tables};
    }
};

}  // namespace urbica::testcity
