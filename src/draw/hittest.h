// Geometric tests for the object under the mouse pointer, in map units.
#pragma once

#include <QPoint>
#include <span>

namespace urbica {

// How near a line a pick hits it, in pixels.
inline constexpr float kLineHitPixels = 5;

// True when (x, y) lies less than 5 pixels from the line through some segment of
// `points` and no farther from either end of that segment than its length plus
// 2 pixels. Pixels become map units through unitsPerPixel. Zero-length segments
// are skipped; a line of fewer than two points is never hit. Coordinates so large
// that the line coefficients leave their fixed-point range give false.
bool nearline(std::span<const QPoint> points, double x, double y, float unitsPerPixel);

// True when (x, y) lies inside the ring of `points` or on one of its vertices.
// The last point is the stored closing point and is not used: the ring runs from
// the first to the last but one point and back to the first.
bool inarea(std::span<const QPoint> points, double x, double y);

}  // namespace urbica
