// Cutting an object's line to the view rectangle before a name is laid along it.
//
// The clipper walks the line once: vertices inside the rectangle are kept, each
// crossing of the border becomes the border point, and where the line leaves the
// rectangle and comes back the corners that the outside part went around are
// inserted, so the result runs along the border instead of across the view.
// Only label placement uses the result; drawn geometry is not clipped.
#pragma once

#include <QPoint>
#include <cstdint>
#include <vector>

namespace urbica {

// Rectangle in map units, borders included. A usable rectangle has left < right
// and top < bottom; any other clips every line to its first point.
struct ClipRect {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
};

// The rectangle of a view: its corners taken to the nearest integer, halves to even.
ClipRect viewClipRect(float viewLeft, float viewTop, float viewWidth, float viewHeight);

// Holds the working lists of the walk so that they can be reused between calls.
// One object serves one thread; make one per caller rather than sharing it.
class LineClipper {
public:
    // Replaces `points` by the part of the line that lies in `rect`. The result
    // has at least one point when the input had one: a line of fewer than two
    // distinct points, or one that never meets the rectangle, gives its first
    // point alone. A repeated closing point is ignored. An empty input stays empty.
    void clip(std::vector<QPoint>& points, const ClipRect& rect);

private:
    // Where the walk starts: a vertex inside, or the first vertex of the first
    // edge that crosses the rectangle (leaving it again at exit).
    struct Start {
        size_t vertex = 0;
        bool onCrossing = false;
        QPoint exit;
    };
    void setRect(const ClipRect& rect);
    // Puts the first points of the result: the first vertex inside (after the
    // border point of the edge leading to it), else the entry of the first edge
    // that crosses. False when the line never meets the rectangle.
    bool findStart(const std::vector<QPoint>& p, size_t n, Start& start);
    // Walks the line from the start to vertex n.
    void walk(const std::vector<QPoint>& p, size_t n, Start start);
    bool inside(QPoint p) const;
    int side(QPoint p) const;
    QPoint borderPoint(QPoint a, QPoint b) const;
    bool crossing(QPoint a, QPoint b, QPoint& first, QPoint& second) const;
    void stepToSide(int s);
    void goToSide(int s, QPoint from, QPoint to);
    void leave(QPoint x);
    void enter(QPoint x, QPoint from);

    ClipRect rect_;
    int64_t refX_ = 0, refY_ = 0;  // middle of the top side
    double slope2_ = 0, slope3_ = 0;
    std::vector<QPoint> out_;
    std::vector<int> corners_;
    int lastSide_ = 0;
};

// Convenience for a single call.
void clip(std::vector<QPoint>& points, const ClipRect& rect);

}  // namespace urbica
