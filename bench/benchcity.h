// A demo city written to a temporary folder and opened as the viewer opens a
// dataset, for the benchmarks that draw or point at the map.
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPoint>
#include <QPointF>
#include <QTemporaryDir>
#include <vector>

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
    // A point near (cx, cy), searched outwards, with an object under it.
    bool findHit(double cx, double cy, double& x, double& y) const;
};

// The geometry of the state's current view read once, then drawn by QPainter
// alone: the floor the pipeline is measured against. With readLabels, the
// floor draws the texts of one real redraw too, in their fonts, places and
// angles (no icons).
struct BareScene {
    struct Shape {
        std::vector<QPoint> px;
        QColor pen, fill;
        bool closed;
    };
    struct Label {
        QPoint at;
        double angle = 0;  // degrees, clockwise as QPainter turns
        QString text;
        QFont font;
        double ascent = 0;
        QColor color;
    };
    std::vector<Shape> shapes;
    std::vector<Label> labels;

    void read(const AppState& s);
    // Redraws the state's view once and keeps every text drawn.
    void readLabels(AppState& s, MapBoxes& boxes, const ViewHooks& hooks);
    void draw(QImage& img) const;
};

}  // namespace urbica
