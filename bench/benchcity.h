// A demo city written to a temporary folder and opened as the viewer opens a
// dataset, for the benchmarks that draw or point at the map.
#pragma once

#include <QPointF>
#include <QTemporaryDir>

#include "view/appstate.h"
#include "view/mapboxes.h"

namespace urbica {

struct BenchCity {
    QTemporaryDir dir;
    AppState s;
    MapBoxes boxes;
    ViewHooks hooks;

    // Writes the demo city at the scale, reads it, and sizes the map boxes
    // (outer size) and the overview. False with a message on stderr.
    bool open(int scale, int mapWidth, int mapHeight);
    // Reads the dataset in folder dataDir (written before) the same way.
    bool load(const QString& dataDir, int mapWidth, int mapHeight);
    // Centre of the grid cell of the finest level that lists the most objects,
    // over all layers.
    QPointF densestCellCentre() const;
};

}  // namespace urbica
