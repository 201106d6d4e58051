// Geometry in map units: the frame of the data in the local projection,
// simplification of long rings, areas with holes as one drawable ring,
// and the pieces of long lines.
#pragma once

#include <QPoint>
#include <cmath>
#include <optional>
#include <vector>

#include "collected.h"
#include "dataset/georef.h"
#include "osmimport.h"

namespace urbica::osmimport {

inline constexpr int32_t kMargin = 500;       // free land around the data, metres
inline constexpr int kLinePiece = 64;         // points of one stored piece of a line
inline constexpr int kMaxRingPoints = 30000;  // points of one stored area

// The box of the data in the projection about its centre; map units are
// metres from its left and top edges plus the margin (geo says so).
struct Frame {
    GeoReference geo;
    double width = 0, height = 0;  // metres
    double eastScale = 1;          // geo.cosLat0(), worked out once for every point
    QPoint at(osmium::Location l) const { return geo.toMap(l.lat(), l.lon(), eastScale); }
    // The ring in map units without repeated points.
    std::vector<QPoint> project(const Ring& r) const;
};
// Empty when there is nothing to frame.
std::optional<Frame> frameOf(const std::vector<Pending>& pendings);

// Douglas–Peucker on a closed or open chain; keeps the ends.
std::vector<QPoint> simplify(const std::vector<QPoint>& pts, double tolerance);
// True when p lies inside the ring (even-odd rule).
bool inside(const std::vector<QPoint>& ring, QPoint p);

// Rings of an area (outer first) as one drawable ring of at most
// kMaxRingPoints, simplified as far as needed.
enum class AreaFit { Drawn, TooSmall, TooComplex };
AreaFit fitArea(std::vector<std::vector<QPoint>> rings, std::vector<QPoint>& out);

// A line cut into stored pieces of at most kLinePiece points, each piece
// starting at the last point of the one before.
std::vector<std::vector<QPoint>> linePieces(const std::vector<QPoint>& pts);

}  // namespace urbica::osmimport
