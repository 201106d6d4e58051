// A small city for the locate, pick and navigation tests, on a 10000 x 8000
// extent shown in a 400 x 300 pixel map box.
//
// Layer 1 "areas": 1 the district (1000,1000)-(2000,2000), class 1 record 1,
//   whose part is 2 the park (2500,1000)-(3000,1500), class 2 record 1;
//   3 an unnamed area (3200,2000)-(3600,2400).
// Layer 2 "points": metro stations (class 3) as circles: 1 at (500,2500),
//   2 at (3600,400).
// Layer 3 "cover": 1 an unnamed area (1400,1400)-(1600,1600) over the district.
// Selection order: 3, 1, 2. Class 4 record 1 names the unnamed area through
// broken references first; record 2 has broken references only.
#pragma once

#include <QTemporaryDir>

#include "dataset/writer.h"
#include "view/appstate.h"
#include "view/mapboxes.h"
#include "view/redraw.h"

namespace urbica::testcity {

inline constexpr QRgb kHighlight = 0x00FF00;  // highlight colour of every type
inline constexpr QRgb kAreaFill = 0xC0C0C0;

inline DatasetData city() {
    DatasetData d;
    Catalogue& c = d.catalogue;
    c.gridExtent = 10000;
    c.extentWidth = 10000;
    c.extentHeight = 8000;
    c.minUnitsPerPixel = 0.5f;
    c.overviewWidth = 10000;
    c.startX = 1000;
    c.startY = 1000;
    c.startWidth = 4000;
    c.metroClass = 3;
    c.metroRangeDivisor = 5;  // stations within 2000 units
    ObjectType area;
    area.typeName = "Территория";
    area.drawMode = 1;
    area.closed = 1;
    area.penColor = 0;
    area.fillColor = int32_t(kAreaFill);
    area.fillStyle = 0;
    area.hiPenColor = area.hiFillColor = 0x00FF00;
    area.hiFillStyle = 0;
    area.hiLineWidth = 1;
    ObjectType cover = area;
    cover.typeName = "Покрытие";
    cover.fillColor = 0xFF0000;
    ObjectType station;
    station.typeName = "Станция";
    station.drawMode = 3;
    station.fillColor = 0x0000FF;
    station.fillStyle = 0;
    station.hiPenColor = station.hiFillColor = 0x00FF00;
    station.hiFillStyle = 0;
    d.tables.types = {ObjectType{}, area, cover, station};
    const char* names[] = {"areas", "points", "cover"};
    for (const char* n : names) {
        LayerRecord l;
        l.layerName = n;
        l.baseName = n;
        l.shown = l.listed = l.onOverview = l.selectable = -1;
        l.levels[0] = {1000, -1};
        d.tables.layers.push_back(l);
    }
    d.tables.selectOrder = {0, 3, 1, 2};
    auto square = [](int16_t type, int16_t cls, int32_t rec, int x1, int y1, int x2, int y2) {
        MapObjectData o;
        o.typeIndex = type;
        o.nameKind = cls;
        o.nameIndex = rec;
        o.points = {{x1, y1}, {x2, y1}, {x2, y2}, {x1, y2}};
        return o;
    };
    auto circle = [](int32_t rec, int x, int y) {
        MapObjectData o;
        o.typeIndex = 3;
        o.nameKind = 3;
        o.nameIndex = rec;
        o.x1 = o.x2 = x;
        o.y1 = o.y2 = y;
        o.points = {{x, y}};
        return o;
    };
    d.layerObjects = {
        {},
        {square(1, 1, 1, 1000, 1000, 2000, 2000), square(1, 2, 1, 2500, 1000, 3000, 1500),
         square(1, 0, 0, 3200, 2000, 3600, 2400)},
        {circle(1, 500, 2500), circle(2, 3600, 400)},
        {square(2, 0, 0, 1400, 1400, 1600, 1600)}};
    auto cls = [](const char* name, const char* base) {
        ClassRecord r;
        r.className = QString::fromUtf8(name);
        r.baseName = base;
        r.nameStyle = 1;
        r.hasNames = 1;
        r.searchable = 1;
        return r;
    };
    d.tables.classes = {ClassRecord{}, cls("Районы", "rn"), cls("Парки", "park"),
                        cls("Станции метро", "metro"), cls("Битые", "bad")};
    NameData district;
    district.name = "Центральный";
    district.mapObjects = {{1, 1}};
    district.parts = {{2, 1}};
    NameData park;
    park.name = "Парк Победы";
    park.mapObjects = {{1, 2}};
    NameData s1, s2;
    s1.name = "Вокзальная";
    s1.mapObjects = {{2, 1}};
    s2.name = "Северная";
    s2.mapObjects = {{2, 2}};
    NameData broken;
    broken.name = "Частично битый";
    broken.mapObjects = {{9, 1}, {1, 999}, {1, 0}, {1, 3}};
    NameData allBroken;
    allBroken.name = "Совсем битый";
    allBroken.mapObjects = {{9, 1}, {1, 999}};
    d.classNames = {{}, {district}, {park}, {s1, s2}, {broken, allBroken}};
    return d;
}

// The city written to a temporary folder and read back, with the boxes of a
// 404 x 304 map (inner 400 x 300).
struct City {
    QTemporaryDir dir;
    AppState s;
    MapBoxes boxes;
    ViewHooks hooks;
    int redraws = 0;
    QString infoLine;
    int infoCleared = 0;

    explicit City(const DatasetData& data = city()) {
        QString error;
        ok = writeDataset(data, dir.path(), &error);
        s.settings.dataDirectory = dir.path() + "/";
        s.programDirectory = dir.path();
        ok = ok && readCatalogue(s.settings, s.catalogue, s.tables);
        for (PictureBox* b : {&boxes.map, &boxes.hidepage, &boxes.originalpage})
            b->resize(404, 304);
        boxes.nav.resize(104, 104);
        hooks.setHistoryButtons = [this](bool, bool) { ++redraws; };
        hooks.showObjectName = [this](const QString& t) { infoLine = t; };
        hooks.clearInfoLine = [this] {
            infoLine.clear();
            ++infoCleared;
        };
        buildOverview(s, boxes, hooks);
    }
    bool ok = false;

    void show(float left, float top, float width, bool record = true) {
        s.view.viewLeft = left;
        s.view.viewTop = top;
        s.view.viewWidth = width;
        redrawView(s, boxes, hooks, record);
    }
    // Sets the view without drawing (no clamping).
    void setView(float left, float top, float width) {
        s.view.viewLeft = left;
        s.view.viewTop = top;
        s.view.viewWidth = width;
        s.view.viewHeight = width * 300 / 400;
        s.view.unitsPerPixel = width / 400;
    }
    QRgb mapPixel(double x, double y) const { return pixel(boxes.map, x, y); }
    QRgb hiddenPixel(double x, double y) const { return pixel(boxes.hidepage, x, y); }
    QRgb pixel(const PictureBox& b, double x, double y) const {
        const int px = int((x - s.view.viewLeft) / s.view.unitsPerPixel);
        const int py = int((y - s.view.viewTop) / s.view.unitsPerPixel);
        return b.image().pixel(px, py) & 0xFFFFFF;
    }
};

}  // namespace urbica::testcity
