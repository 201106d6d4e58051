// A small dataset for the layer order tests: three listed layers side by side
// in the view (blue, red, green squares) and one unlisted layer below them.
#pragma once

#include <QFile>
#include <QTemporaryDir>

#include "dataset/writer.h"
#include "view/appstate.h"
#include "view/mapboxes.h"
#include "view/redraw.h"

namespace urbica::testing {

struct LayerFixture {
    QTemporaryDir dir;
    AppState s;
    MapBoxes boxes;
    ViewHooks hooks;

    LayerFixture() {
        DatasetData d;
        Catalogue& c = d.catalogue;
        c.gridExtent = 10000;
        c.extentWidth = 10000;
        c.extentHeight = 8000;
        c.minUnitsPerPixel = 0.5f;
        c.overviewWidth = 4000;
        d.tables.types = {ObjectType{}, square(0xFF0000), square(0x0000FF), square(0x00FF00),
                          square(0x000000)};
        const char* names[] = {"Вода", "Дома", "Служебный", "Парк"};
        for (int i = 1; i <= 4; ++i) {
            LayerRecord l;
            l.layerName = QString::fromUtf8(names[i - 1]);
            l.baseName = QString("l%1").arg(i);
            l.shown = l.listed = l.onOverview = l.selectable = -1;
            l.levels[0] = {1000, -1};
            d.tables.layers.push_back(l);
        }
        d.tables.layers[3].listed = 0;
        d.tables.drawOrder = {0, 1, 2, 3, 4};
        d.tables.selectOrder = {0, 4, 3, 2, 1};
        d.layerObjects = {{},
                          {object(1, 200)},
                          {object(2, 1500)},
                          {object(4, 200, 1800, 3600)},
                          {object(3, 2800)}};
        QString error;
        EXPECT_TRUE(writeDataset(d, dir.path(), &error)) << error.toStdString();
        s.settings.dataDirectory = dir.path() + "/";
        s.programDirectory = dir.path();
        EXPECT_TRUE(readCatalogue(s.settings, s.catalogue, s.tables));
        boxes.map.resize(404, 304);
        boxes.hidepage.resize(404, 304);
        boxes.originalpage.resize(404, 304);
        boxes.nav.resize(104, 104);
        buildOverview(s, boxes, hooks);
        s.view.viewLeft = 0;
        s.view.viewTop = 0;
        s.view.viewWidth = 4000;
        redrawView(s, boxes, hooks, true);
    }

    static ObjectType square(int32_t bgr) {
        ObjectType t;
        t.drawMode = 1;
        t.closed = 1;
        t.fillColor = t.penColor = bgr;
        t.fillStyle = 0;
        return t;
    }
    // A filled square of type t, 1000 units wide, from (x, 200), or a wider band.
    static MapObjectData object(int16_t t, int x, int y = 200, int width = 1000) {
        MapObjectData o;
        o.typeIndex = t;
        o.points = {{x, y}, {x + width, y}, {x + width, y + 1000}, {x, y + 1000}};
        return o;
    }
    // Pixel colours at the centres of the three squares and of the band, on the map.
    QRgb mapAt(int x, int y) const { return boxes.map.image().pixel(x, y) & 0xFFFFFF; }
    QRgb navAt(int x, int y) const { return boxes.nav.image().pixel(x, y) & 0xFFFFFF; }

    QByteArray fileBytes(const char* name) const {
        QFile f(dir.filePath(QLatin1String(name)));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

}  // namespace urbica::testing
