#include "view/pick.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "dataset/names.h"
#include "dataset/numbers.h"
#include "draw/hittest.h"
#include "draw/layer.h"
#include "view/redraw.h"

namespace urbica {

namespace {

const ObjectType* typeOf(const Tables& tables, int16_t typeIndex) {
    if (typeIndex < 1 || typeIndex > tables.typeCount()) return nullptr;
    return &tables.types[size_t(typeIndex)];
}

bool pickable(const LayerRecord& layer, int level) {
    return level != 0 && layer.listed != 0 && layer.shown != 0 && layer.selectable != 0;
}

// The grid record under (x, y) at a cell size, or 0 when the point lies off the grid.
int64_t cellUnder(int32_t gridExtent, int32_t cellSize, double x, double y) {
    if (cellSize <= 0 || gridExtent <= 0) return 0;
    const int64_t rx = nearestInt(x), ry = nearestInt(y);
    if (rx < 0 || ry < 0 || rx > gridExtent || ry > gridExtent) return 0;
    const int64_t perColumn = intDiv(gridExtent, cellSize);
    // A point on the grid's far edge belongs to the last cell, as objects there do.
    const int64_t col = std::min<int64_t>(rx / cellSize, perColumn - 1);
    const int64_t row = std::min<int64_t>(ry / cellSize, perColumn - 1);
    return col * perColumn + row + 1;
}

}  // namespace

bool hitsObject(const ObjectType& t, const ObjectRecord& r, std::span<const QPoint> points,
                double x, double y, float unitsPerPixel, int iconSize, float pickTolerance) {
    switch (t.drawMode) {
        case kDrawLineOrArea:
        case kDrawTripleLine: {
            if (t.closed < 1) return nearline(points, x, y, unitsPerPixel);
            if (points.empty()) return false;
            std::vector<QPoint> ring(points.begin(), points.end());
            ring.push_back(points.front());  // the closing point
            return inarea(ring, x, y);
        }
        case kDrawCircle: {
            const double dx = x - r.x1, dy = y - r.y1;
            return std::sqrt(dx * dx + dy * dy) < double(pickTolerance) * unitsPerPixel;
        }
        case kDrawIcon: {
            const double half = double(iconSize / 2) * unitsPerPixel;
            return x > r.x1 - half && x < r.x1 + half && y > r.y1 - half && y < r.y1 + half;
        }
        default:
            return false;
    }
}

PickResult findObjectAt(const AppState& s, double x, double y) {
    const FileCache::Pass pass(&s.files);
    PickResult result;
    const Tables& tables = s.tables;
    const int layers = tables.layerCount();
    const float upp = s.view.unitsPerPixel;
    std::vector<CellEntry> entries;
    std::vector<QPoint> points;
    for (int i = 1; i <= layers && i < int(tables.selectOrder.size()); ++i) {
        const int k = tables.selectOrder[size_t(i)];
        if (k < 1 || k > layers) continue;
        const LayerRecord& layer = tables.layers[size_t(k)];
        const int level = viewlevel(layer, upp);
        if (!pickable(layer, level)) continue;
        const int64_t cell =
            cellUnder(s.catalogue.gridExtent, layer.levels[size_t(level - 1)].cellSize, x, y);
        if (cell == 0) continue;
        LayerFiles files(s.settings.dataDirectory, layer, level, &s.files);
        GridCell c;
        if (!files.readCell(cell, c) || c.objectCount < 1) continue;
        if (!files.readEntries(c.firstEntry, c.objectCount, entries)) continue;
        for (const CellEntry& e : entries) {
            ObjectRecord r;
            if (!files.readObject(e.object(), r)) continue;
            const ObjectType* t = typeOf(tables, r.typeIndex);
            if (!t) continue;
            const bool pointLike = t->drawMode == kDrawCircle || t->drawMode == kDrawIcon;
            // The box is widened by the pick tolerance, and at least by the
            // reach of a line hit: a level or plumb street has a box of no
            // height or width and is hit beside it.
            const double m =
                std::max(double(s.settings.pickTolerance), double(kLineHitPixels)) * upp;
            if (!pointLike &&
                (x < r.x1 - m || y < r.y1 - m || x > r.x2 + m || y > r.y2 + m || r.pointCount < 1))
                continue;
            points.clear();
            if (r.pointCount > 1 && !files.readPoints(r, points)) continue;
            if (!hitsObject(*t, r, points, x, y, upp, s.view.iconSize, s.settings.pickTolerance))
                continue;
            result.found = 1;
            result.layer = int16_t(k);
            result.objectNumber = int32_t(e.object());
            result.record = r;
            return result;
        }
    }
    return result;
}

QString pickedObjectText(const AppState& s, const ObjectRecord& r) {
    QString text;
    if (r.nameKind < 1) {
        if (const ObjectType* t = typeOf(s.tables, r.typeIndex)) text = t->typeName.trimmed();
    } else if (r.nameKind <= s.tables.classCount()) {
        text = s.tables.classes[size_t(r.nameKind)].className.trimmed();
    }
    const NameContext ctx = s.names();
    return text + QLatin1Char(' ') + objectName(ctx, r.nameKind, r.nameIndex, true);
}

void restoreMapFromHidepage(const AppState& s, MapBoxes& boxes) {
    const float upp = s.view.unitsPerPixel;
    if (!(upp > 0)) return;
    const int w = int(nearest(double(s.view.viewWidth) / upp));
    const int h = int(nearest(double(s.view.viewHeight) / upp));
    PictureBox& map = boxes.map;
    // When the map was last made equal to hidepage in this same part, and
    // hidepage has not changed since, only what was drawn on the map since
    // (a highlight) is copied back.
    const bool same =
        boxes.mapRestoredFrom == boxes.hidepage.version() && boxes.mapRestoredSize == QSize(w, h);
    const QRect part = map.changedRect() & QRect(0, 0, w, h);
    if (same) {
        if (!part.isEmpty())
            map.bitBlt(part.x(), part.y(), part.width(), part.height(), boxes.hidepage, part.x(),
                       part.y(), RasterOp::SrcCopy);
    } else {
        map.bitBlt(0, 0, w, h, boxes.hidepage, 0, 0, RasterOp::SrcCopy);
    }
    map.forgetChanges();
    boxes.mapRestoredFrom = boxes.hidepage.version();
    boxes.mapRestoredSize = QSize(w, h);
}

PickResult pickAt(AppState& s, MapBoxes& boxes, const ViewHooks& hooks, double x, double y) {
    const FileCache::Pass pass(&s.files);
    PickResult result = findObjectAt(s, x, y);
    if (result.found == 0) return result;
    const ObjectRecord& r = result.record;
    s.pickActive = 1;
    if (hooks.showObjectName) hooks.showObjectName(pickedObjectText(s, r));
    restoreMapFromHidepage(s, boxes);
    if (r.nameIndex < 1 || r.nameKind < 1) {
        DrawContext ctx = makeDrawContext(s, boxes.images);
        drawobject(ctx, boxes.map, result.objectNumber, result.layer, true);
    } else {
        drawNamedObject(s, boxes, boxes.map, r.nameKind, r.nameIndex, true, true);
    }
    drawMapOverlays(s, boxes.map);  // the highlight stays under the scale bar and the notice
    s.pickActive = 0;
    if (hooks.boxChanged) hooks.boxChanged(boxes.map);
    return result;
}

bool pointerStillOver(AppState& s, MapBoxes& boxes, const ViewHooks& hooks, PickResult& pick,
                      double x, double y) {
    if (pick.found != 1) return false;
    bool hit = false;
    const ObjectType* t = typeOf(s.tables, pick.record.typeIndex);
    if (t && pick.layer >= 1 && pick.layer <= s.tables.layerCount()) {
        std::vector<QPoint> points;
        bool pointsRead = true;
        if (pick.record.pointCount >= 2) {
            LayerFiles files(s.settings.dataDirectory, s.tables.layers[size_t(pick.layer)], 0,
                             &s.files);
            pointsRead = files.readPoints(pick.record, points);
        }
        hit = pointsRead && hitsObject(*t, pick.record, points, x, y, s.view.unitsPerPixel,
                                       s.view.iconSize, s.settings.pickTolerance);
    }
    if (hit) return true;
    if (hooks.clearInfoLine) hooks.clearInfoLine();
    restoreMapFromHidepage(s, boxes);
    if (hooks.boxChanged) hooks.boxChanged(boxes.map);
    pick.found = 0;
    return false;
}

}  // namespace urbica
