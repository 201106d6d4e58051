#include "benchcity.h"

#include <cstdio>

#include "dataset/objects.h"
#include "democity.h"

namespace urbica {

bool BenchCity::open(int scale, int mapWidth, int mapHeight) {
    democity::Options o;
    o.scale = scale;
    QString error;
    if (!writeDataset(democity::buildCity(o), dir.path(), &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return false;
    }
    return load(dir.path(), mapWidth, mapHeight);
}

bool BenchCity::load(const QString& dataDir, int mapWidth, int mapHeight) {
    s.settings.dataDirectory = dataDir + "/";
    s.programDirectory = dataDir;
    if (!readCatalogue(s.settings, s.catalogue, s.tables)) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(dataDir), qPrintable(noDataMessage()));
        return false;
    }
    readIconTable(s.settings.dataDirectory, s.tables);
    for (PictureBox* b : {&boxes.map, &boxes.hidepage, &boxes.originalpage})
        b->resize(mapWidth, mapHeight);
    boxes.map.backColor = s.settings.mapBackColor;
    boxes.nav.resize(204, 204);
    return true;
}

QPointF BenchCity::densestCellCentre() const {
    int64_t best = -1;
    QPointF centre;
    for (int l = 1; l <= s.tables.layerCount(); ++l) {
        const LayerRecord& layer = s.tables.layers[size_t(l)];
        const int32_t k = layer.levels[0].cellSize;
        if (k <= 0) continue;
        LayerFiles f(s.settings.dataDirectory, layer, 1);
        const int64_t per = s.catalogue.gridExtent / k;
        for (int64_t col = 0; col < per; ++col)
            for (int64_t row = 0; row < per; ++row) {
                GridCell c;
                if (!f.readCell(gridRecordNumber(s.catalogue.gridExtent, k, col, row), c)) continue;
                if (c.objectCount > best) {
                    best = c.objectCount;
                    centre = QPointF(col * k + k / 2.0, row * k + k / 2.0);
                }
            }
    }
    return centre;
}

}  // namespace urbica
