#include "view/locate.h"

#include <cmath>
#include <map>
#include <memory>
#include <vector>

#include "dataset/datafile.h"
#include "dataset/filecheck.h"
#include "dataset/names.h"
#include "dataset/objects.h"
#include "draw/layer.h"
#include "view/pick.h"
#include "view/redraw.h"

namespace urbica {

namespace {

// The layers' object files, each opened once for a whole lookup.
class ObjectReader {
public:
    explicit ObjectReader(const AppState& s) : s_(s) {}

    bool read(int layer, int64_t n, ObjectRecord& out) {
        if (layer < 1 || layer > s_.tables.layerCount() || n <= 0) return false;
        auto& files = open_[layer];
        if (!files)
            files = std::make_unique<LayerFiles>(s_.settings.dataDirectory,
                                                 s_.tables.layers[size_t(layer)], 0, &s_.files);
        return files->readObject(n, out);
    }

private:
    const AppState& s_;
    std::map<int, std::unique_ptr<LayerFiles>> open_;
};

double mapAspect(const MapBoxes& boxes) {
    const double bw = boxes.map.width() - 4, bh = boxes.map.height() - 4;
    return bw > 0 ? bh / bw : 0;
}

}  // namespace

bool namedObjectBox(const AppState& s, int c, int32_t n, ObjectBox& out, QString* problem) {
    const FileCache::Pass pass(&s.files);
    const NameContext ctx = s.names();
    NameRecord rec;
    if (!readNameRecord(ctx, c, n, rec) || rec.mapObjectCount < 1) return false;
    std::vector<ObjectRef> refs;
    // The window names such a file once; the caller may name it itself.
    auto tell = [&](const QString& path, int length, int64_t needed) {
        const QString why = recordFileProblem(path, length, needed);
        s.problems.note(path, why);
        if (problem && problem->isEmpty()) *problem = why;
    };
    if (!readMapObjectRefs(ctx, c, rec, refs))  // what lies inside the file
        tell(classFilePath(ctx, c, ".ssl"), ObjectRef::kRecordLength,
             int64_t(rec.firstMapObject) + rec.mapObjectCount - 1);
    ObjectReader reader(s);
    bool any = false;
    for (const ObjectRef& ref : refs) {
        ObjectRecord r;
        if (ref.second <= 0 || !reader.read(ref.first, ref.second, r)) {
            if (ref.second > 0 && ref.first >= 1 && ref.first <= s.tables.layerCount())
                tell(dataFilePath(
                         s.settings.dataDirectory,
                         s.tables.layers[size_t(ref.first)].fileBase() + QStringLiteral(".zgs")),
                     ObjectRecord::kRecordLength, ref.second);
            continue;
        }
        if (!any) {
            out = {r.x1, r.y1, r.x2, r.y2};
            any = true;
            continue;
        }
        out.x1 = std::min(out.x1, r.x1);
        out.y1 = std::min(out.y1, r.y1);
        out.x2 = std::max(out.x2, r.x2);
        out.y2 = std::max(out.y2, r.y2);
    }
    return any;
}

ViewRect fittedView(int mapWidth, int mapHeight, double x1, double y1, double x2, double y2) {
    const double w = x2 - x1, h = y2 - y1;
    const double bw = mapWidth - 4, bh = mapHeight - 4;
    ViewRect v;
    v.left = x1 - w / 10;
    v.top = y1 - h / 10;
    if (w > h) {
        v.width = w + w / 5;
        if (v.width < 150) {
            v.width = 150;
            v.left = x1 + w / 2 - 50;
        }
        v.height = bw > 0 ? bh * v.width / bw : 0;
        v.top = y1 + h / 2 - v.height / 2 - h / 10;
    } else {
        v.height = h + h / 5;
        if (v.height < 150) {
            v.height = 150;
            v.top = y1 + h / 2 - 50;
        }
        v.width = bh > 0 ? bw * v.height / bh : 0;
        v.left = x1 + w / 2 - v.width / 2 - w / 10;
    }
    return v;
}

void fitView(AppState& s, MapBoxes& boxes, const ViewHooks& hooks, double x1, double y1, double x2,
             double y2) {
    const ViewRect v = fittedView(boxes.map.width(), boxes.map.height(), x1, y1, x2, y2);
    s.view.viewLeft = float(v.left);
    s.view.viewTop = float(v.top);
    s.view.viewWidth = float(v.width);
    s.view.viewHeight = float(v.height);
    redrawView(s, boxes, hooks, true);
}

bool showNamedObject(AppState& s, MapBoxes& boxes, const ViewHooks& hooks, int c, int32_t n) {
    const FileCache::Pass pass(&s.files);
    ObjectBox b;
    if (!namedObjectBox(s, c, n, b)) return false;
    fitView(s, boxes, hooks, b.x1, b.y1, b.x2, b.y2);
    const NameContext ctx = s.names();
    if (hooks.showObjectName) hooks.showObjectName(objectName(ctx, c, n, true));
    drawNamedObject(s, boxes, boxes.map, c, n, true, false);
    drawMapOverlays(s, boxes.map);
    if (hooks.boxChanged) hooks.boxChanged(boxes.map);
    return true;
}

bool showMapObject(AppState& s, MapBoxes& boxes, const ViewHooks& hooks, int layer,
                   int32_t object) {
    const FileCache::Pass pass(&s.files);
    ObjectRecord r;
    {
        ObjectReader reader(s);
        if (!reader.read(layer, object, r)) return false;
    }
    fitView(s, boxes, hooks, r.x1, r.y1, r.x2, r.y2);
    if (hooks.showObjectName) hooks.showObjectName(pickedObjectText(s, r).trimmed());
    if (s.tables.layers[size_t(layer)].shown != 0) {
        DrawContext ctx = makeDrawContext(s, boxes.images);
        drawobject(ctx, boxes.map, object, layer, true);
    }
    if (hooks.boxChanged) hooks.boxChanged(boxes.map);
    return true;
}

bool nearestMetro(AppState& s, MapBoxes& boxes, const ViewHooks& hooks, int k) {
    if (k < 1 || k > s.tables.classCount()) return false;
    const FileCache::Pass pass(&s.files);
    const NameContext ctx = s.names();
    RecordFile index(classFilePath(ctx, k, ".cl2"), NameRecord::kRecordLength, &s.files);
    RecordFile refs(classFilePath(ctx, k, ".ssl"), ObjectRef::kRecordLength, &s.files);
    if (!index.isOpen() || !refs.isOpen()) return false;

    ViewState& v = s.view;
    const double cx = v.viewLeft + v.viewWidth / 2.0, cy = v.viewTop + v.viewHeight / 2.0;
    const double divisor = s.catalogue.metroRangeDivisor;
    // Without a usable divisor the whole grid is in range.
    const double range = std::isfinite(divisor) && divisor > 0 ? s.catalogue.gridExtent / divisor
                                                               : double(s.catalogue.gridExtent);
    double best = s.catalogue.gridExtent;
    double sx = 0, sy = 0;
    bool found = false;
    ObjectReader reader(s);
    char buf[NameRecord::kRecordLength];
    for (int64_t n = 1; n <= index.recordCount(); ++n) {
        if (!index.read(n, buf)) break;
        const NameRecord rec = NameRecord::decode(buf);
        for (int j = 0; j < rec.mapObjectCount; ++j) {
            char rb[ObjectRef::kRecordLength];
            if (!refs.read(int64_t(rec.firstMapObject) + j, rb)) break;
            const ObjectRef ref = ObjectRef::decode(rb);
            ObjectRecord r;
            if (!reader.read(ref.first, ref.second, r)) continue;
            const double d = std::hypot(r.x1 - cx, r.y1 - cy);
            if (d < best) {
                best = d;
                sx = r.x1;
                sy = r.y1;
                found = true;
            }
        }
    }
    if (!found || best > range) return false;

    const double dx = std::fabs(sx - cx), dy = std::fabs(sy - cy);
    if (dx == 0 && dy == 0) return false;  // the station is the centre: already in view
    const double aspect = mapAspect(boxes);
    if (aspect <= 0) return false;
    // viewWidth / dx < viewHeight / dy, compared without dividing: a station
    // straight above or below the centre (dx = 0) is fitted by the height, one
    // straight beside it (dy = 0) by the width.
    double width, height;
    if (double(v.viewWidth) * dy < double(v.viewHeight) * dx) {
        width = 2 * dx;
        height = width * aspect;
    } else {
        height = 2 * dy;
        width = height / aspect;
    }
    double left = cx - width / 2, top = cy - height / 2;
    left -= width / 20;
    top -= height / 20;
    width += width / 10;
    v.viewLeft = float(left);
    v.viewTop = float(top);
    v.viewWidth = float(width);
    v.viewHeight = float(width * aspect);
    redrawView(s, boxes, hooks, true);
    return true;
}

}  // namespace urbica
