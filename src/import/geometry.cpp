#include "geometry.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>

namespace urbica::osmimport {

namespace {

double perpendicular(const QPointF& p, const QPointF& a, const QPointF& b) {
    const double dx = b.x() - a.x(), dy = b.y() - a.y();
    const double len = std::hypot(dx, dy);
    if (len == 0) return std::hypot(p.x() - a.x(), p.y() - a.y());
    return std::abs(dy * p.x() - dx * p.y() + b.x() * a.y() - b.y() * a.x()) / len;
}

// One drawable ring of an area with holes: the outer ring, then every inner
// ring joined to it by a cut to its nearest outer point, so that an even-odd
// fill leaves the holes open.
std::vector<QPoint> bridged(const std::vector<std::vector<QPoint>>& rings) {
    std::vector<QPoint> out = rings.front();
    if (rings.size() == 1) return out;
    out.push_back(out.front());
    const QPoint anchor = out.front();
    for (size_t k = 1; k < rings.size(); ++k) {
        const std::vector<QPoint>& inner = rings[k];
        size_t best = 0;
        int64_t bestD = INT64_MAX;
        for (size_t i = 0; i < inner.size(); ++i) {
            const int64_t dx = inner[i].x() - anchor.x(), dy = inner[i].y() - anchor.y();
            if (dx * dx + dy * dy < bestD) bestD = dx * dx + dy * dy, best = i;
        }
        for (size_t i = 0; i <= inner.size(); ++i) out.push_back(inner[(best + i) % inner.size()]);
        out.push_back(anchor);
    }
    out.pop_back();  // the reader closes the ring back to the first point
    return out;
}

void dedupe(std::vector<QPoint>& pts) { pts.erase(std::unique(pts.begin(), pts.end()), pts.end()); }

}  // namespace

std::vector<QPoint> Frame::project(const Ring& r) const {
    std::vector<QPoint> out;
    out.reserve(r.size());
    for (const osmium::Location& l : r) out.push_back(at(l));
    dedupe(out);
    return out;
}

std::optional<Frame> frameOf(const std::vector<Pending>& pendings) {
    double minLon = 1e9, maxLon = -1e9, minLat = 1e9, maxLat = -1e9;
    for (const Pending& p : pendings)
        for (const Ring& r : p.rings)
            for (const osmium::Location& l : r) {
                minLon = std::min(minLon, l.lon()), maxLon = std::max(maxLon, l.lon());
                minLat = std::min(minLat, l.lat()), maxLat = std::max(maxLat, l.lat());
            }
    if (minLon > maxLon) return std::nullopt;
    Frame f;
    GeoReference& g = f.geo;
    g.lon0 = (minLon + maxLon) / 2;
    g.lat0 = (minLat + maxLat) / 2;
    g.minX = g.projectX(minLon);
    g.minY = g.projectY(maxLat);
    g.margin = kMargin;
    g.metresPerUnit = 1;
    f.eastScale = g.cosLat0();
    f.width = g.projectX(maxLon) - g.minX;
    f.height = g.projectY(minLat) - g.minY;
    return f;
}

std::vector<QPoint> simplify(const std::vector<QPoint>& pts, double tolerance) {
    if (pts.size() < 3) return pts;
    std::vector<char> keep(pts.size(), 0);
    keep.front() = keep.back() = 1;
    std::vector<std::pair<size_t, size_t>> stack{{0, pts.size() - 1}};
    while (!stack.empty()) {
        auto [a, b] = stack.back();
        stack.pop_back();
        double best = -1;
        size_t at = a;
        for (size_t i = a + 1; i < b; ++i) {
            const double d = perpendicular(pts[i], pts[a], pts[b]);
            if (d > best) best = d, at = i;
        }
        if (best > tolerance) {
            keep[at] = 1;
            stack.push_back({a, at});
            stack.push_back({at, b});
        }
    }
    std::vector<QPoint> out;
    for (size_t i = 0; i < pts.size(); ++i)
        if (keep[i]) out.push_back(pts[i]);
    return out;
}

bool inside(const std::vector<QPoint>& ring, QPoint p) {
    bool in = false;
    for (size_t i = 0, j = ring.size() - 1; i < ring.size(); j = i++) {
        const QPoint& a = ring[i];
        const QPoint& b = ring[j];
        if ((a.y() > p.y()) != (b.y() > p.y()) &&
            p.x() < double(b.x() - a.x()) * (p.y() - a.y()) / double(b.y() - a.y()) + a.x())
            in = !in;
    }
    return in;
}

AreaFit fitArea(std::vector<std::vector<QPoint>> rings, std::vector<QPoint>& out) {
    for (auto& r : rings)
        if (r.size() > 1 && r.front() == r.back()) r.pop_back();
    if (rings.front().size() < 3) return AreaFit::TooSmall;
    std::erase_if(rings, [](const std::vector<QPoint>& r) { return r.size() < 3; });
    std::vector<QPoint> ring = bridged(rings);
    for (double tolerance = 0.5; ring.size() > size_t(kMaxRingPoints); tolerance *= 2) {
        for (auto& r : rings) {
            r.push_back(r.front());
            r = simplify(r, tolerance);
            r.pop_back();
        }
        std::erase_if(rings, [](const std::vector<QPoint>& r) { return r.size() < 3; });
        if (rings.empty()) break;
        ring = bridged(rings);
    }
    if (rings.empty()) return AreaFit::TooComplex;
    out = std::move(ring);
    return AreaFit::Drawn;
}

std::vector<std::vector<QPoint>> linePieces(const std::vector<QPoint>& pts) {
    std::vector<std::vector<QPoint>> pieces;
    for (size_t s = 0; s + 1 < pts.size(); s += kLinePiece - 1) {
        const size_t end = std::min(pts.size(), s + kLinePiece);
        pieces.emplace_back(pts.begin() + qsizetype(s), pts.begin() + qsizetype(end));
    }
    return pieces;
}

GridChoice chooseGrid(int64_t side, int64_t objects) {
    GridChoice g;
    int64_t c1 = 256, c2 = 1024, c3 = 4096;
    // A level's grid stays below 4096 cells a side. Level 1 has no more cells
    // than four for each object to spread, or 256 a side: a point far out of
    // the city does not make every layer's index hundreds of megabytes.
    const int64_t mostCells = std::max<int64_t>(256 * 256, 4 * objects);
    auto across = [side](int64_t c) { return (side + c - 1) / c; };
    while (across(c1) > 4000 || across(c1) * across(c1) > mostCells) c1 *= 2;
    c2 = std::max(c2, c1);
    while ((side + c2 - 1) / c2 > 1000) c2 *= 2;
    c3 = std::max(c3, c2);
    while ((side + c3 - 1) / c3 > 250) c3 *= 2;
    const int64_t extent = std::max<int64_t>(c3, (side + c3 - 1) / c3 * c3);
    g.gridExtent = int32_t(std::min<int64_t>(extent, INT32_MAX / 2));
    g.cells[0] = int32_t(c1), g.cells[1] = int32_t(c2), g.cells[2] = int32_t(c3);
    return g;
}

bool fitCellSizes(const std::vector<MapObjectData>& objects, LayerRecord& layer, int32_t gridExtent,
                  int maxEntries) {
    for (int level = 1; level <= 3; ++level) {
        int32_t& cell = layer.levels[size_t(level - 1)].cellSize;
        while (true) {
            std::unordered_map<int64_t, int> counts;
            int most = 0;
            const int64_t across = gridExtent / cell;
            for (const MapObjectData& o : objects) {
                if (o.maxLevel < level) continue;
                int32_t x1 = o.x1, y1 = o.y1, x2 = o.x2, y2 = o.y2;
                if (!o.points.empty() && o.iconNumber <= 0) {
                    x1 = x2 = o.points.front().x(), y1 = y2 = o.points.front().y();
                    for (const QPoint& p : o.points) {
                        x1 = std::min(x1, p.x()), x2 = std::max(x2, p.x());
                        y1 = std::min(y1, p.y()), y2 = std::max(y2, p.y());
                    }
                }
                const int64_t c1 = std::clamp<int64_t>(x1 / cell, 0, across - 1);
                const int64_t c2 = std::clamp<int64_t>(x2 / cell, 0, across - 1);
                const int64_t r1 = std::clamp<int64_t>(y1 / cell, 0, across - 1);
                const int64_t r2 = std::clamp<int64_t>(y2 / cell, 0, across - 1);
                for (int64_t c = c1; c <= c2; ++c)
                    for (int64_t r = r1; r <= r2; ++r)
                        most = std::max(most, ++counts[c * across + r]);
            }
            if (most <= maxEntries) break;
            if (cell <= 16) return false;
            cell /= 2;
            if (int64_t(gridExtent / cell) * (gridExtent / cell) > kMaxGridCells) return false;
        }
    }
    return true;
}

}  // namespace urbica::osmimport
