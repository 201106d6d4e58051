#include "draw/clip.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "dataset/numbers.h"

namespace urbica {

namespace {

// A computed coordinate as a 32-bit integer; out-of-range values are held at the
// limits so that a degenerate slope can never make the conversion undefined.
int32_t toCoord(double v) {
    if (std::isnan(v)) return 0;
    if (v <= double(std::numeric_limits<int32_t>::min()))
        return std::numeric_limits<int32_t>::min();
    if (v >= double(std::numeric_limits<int32_t>::max()))
        return std::numeric_limits<int32_t>::max();
    return int32_t(v);
}

int32_t clampCoord(double v) {
    return int32_t(std::clamp(v, double(std::numeric_limits<int32_t>::min()),
                              double(std::numeric_limits<int32_t>::max())));
}

}  // namespace

ClipRect viewClipRect(float viewLeft, float viewTop, float viewWidth, float viewHeight) {
    const float right = viewLeft + viewWidth;
    const float bottom = viewTop + viewHeight;
    return ClipRect{toCoord(nearest(viewLeft)), toCoord(nearest(viewTop)), toCoord(nearest(right)),
                    toCoord(nearest(bottom))};
}

bool LineClipper::inside(QPoint p) const {
    return rect_.left <= p.x() && p.x() <= rect_.right && rect_.top <= p.y() &&
           p.y() <= rect_.bottom;
}

// The side that p faces as seen from the middle of the top side: 0 top, 1 right,
// 2 bottom, 3 left. Border points get the side they lie on; of the corners, the
// two top ones face side 0, the bottom right one side 1, the bottom left one side 3.
int LineClipper::side(QPoint p) const {
    const double dx = double(p.x()) - double(refX_);
    const double dy = double(p.y()) - double(refY_);
    if (dx == 0) return dy > 0 ? 2 : 0;
    const double s = dy / dx;
    if (dx > 0) {
        if (s > slope2_) return 2;
        if (s > 0) return 1;
        return 0;
    }
    if (s < slope3_) return 2;
    if (s < 0) return 3;
    return 0;
}

// Where the line from a (inside) towards b (outside) meets the border.
QPoint LineClipper::borderPoint(QPoint a, QPoint b) const {
    if (a.x() == b.x()) return QPoint(a.x(), b.y() > rect_.top ? rect_.bottom : rect_.top);
    const double x = b.x() < a.x() ? rect_.left : rect_.right;
    const double m = (double(b.y()) - a.y()) / (double(b.x()) - a.x());
    const double y = nearest((x - a.x()) * m + a.y());
    if (y >= rect_.top && y <= rect_.bottom) return QPoint(int32_t(x), int32_t(y));
    const double yb = a.y() < b.y() ? rect_.bottom : rect_.top;
    return QPoint(clampCoord(nearest((yb - a.y()) / m + a.x())), int32_t(yb));
}

// Border points of the line through a and b, both outside, in the order of travel.
// One touching point is returned as both points.
bool LineClipper::crossing(QPoint a, QPoint b, QPoint& first, QPoint& second) const {
    const ClipRect& r = rect_;
    if (!((a.x() >= r.left || b.x() >= r.left) && (a.x() <= r.right || b.x() <= r.right) &&
          (a.y() >= r.top || b.y() >= r.top) && (a.y() <= r.bottom || b.y() <= r.bottom)))
        return false;

    QPoint kept[2];
    int count = 0;
    // A line through a corner meets a side and the top or bottom at the same point;
    // the copy is not kept, so that the second point is the real other crossing.
    auto keep = [&](QPoint p) {
        for (int i = 0; i < count; ++i)
            if (kept[i] == p) return;
        if (count < 2) kept[count++] = p;
    };
    if (a.x() == b.x()) {
        if (a.x() < r.left || a.x() > r.right) return false;
        keep(QPoint(a.x(), r.top));
        keep(QPoint(a.x(), r.bottom));
    } else {
        const double m = (double(b.y()) - a.y()) / (double(b.x()) - a.x());
        double y = nearest((double(r.left) - a.x()) * m + a.y());
        if (y >= r.top && y <= r.bottom) keep(QPoint(r.left, int32_t(y)));
        y = nearest((double(r.right) - a.x()) * m + a.y());
        if (y >= r.top && y <= r.bottom) keep(QPoint(r.right, int32_t(y)));
        // A horizontal line gives infinite or undefined x here; the range tests reject it.
        if (count < 2) {
            const double x = nearest((double(r.top) - a.y()) / m + a.x());
            if (x >= r.left && x <= r.right) keep(QPoint(int32_t(x), r.top));
        }
        if (count < 2) {
            const double x = nearest((double(r.bottom) - a.y()) / m + a.x());
            if (x >= r.left && x <= r.right) keep(QPoint(int32_t(x), r.bottom));
        }
    }
    if (count == 0) return false;
    if (count == 1) kept[1] = kept[0];
    const bool against = (b.x() > a.x() && kept[0].x() > kept[1].x()) ||
                         (b.x() < a.x() && kept[0].x() < kept[1].x()) ||
                         (b.y() > a.y() && kept[0].y() > kept[1].y()) ||
                         (b.y() < a.y() && kept[0].y() < kept[1].y());
    if (against) std::swap(kept[0], kept[1]);
    first = kept[0];
    second = kept[1];
    return true;
}

// One step to a neighbouring side: clockwise to side s passes corner s, the other
// way passes corner s + 1. Going round a corner and straight back cancels it.
void LineClipper::stepToSide(int s) {
    if (s == lastSide_) return;
    corners_.push_back(s == (lastSide_ + 1) % 4 ? s : (s + 1) % 4);
    lastSide_ = s;
    const size_t n = corners_.size();
    if (n >= 2 && corners_[n - 1] == corners_[n - 2]) corners_.resize(n - 2);
}

// Follows the outside part of the line, moving from `from` to `to`, onto side s.
// To reach the opposite side the part went round two corners; which two depends on
// the way it turned around the rectangle.
void LineClipper::goToSide(int s, QPoint from, QPoint to) {
    if (s == lastSide_) return;
    if (s == (lastSide_ + 2) % 4) {
        const double cross = (double(from.x()) - refX_) * (double(to.y()) - refY_) -
                             (double(from.y()) - refY_) * (double(to.x()) - refX_);
        if (cross > 0) {  // clockwise on the screen (y grows downwards)
            stepToSide((lastSide_ + 1) % 4);
        } else if (cross < 0) {
            stepToSide((lastSide_ + 3) % 4);
        }
    }
    stepToSide(s);
}

void LineClipper::leave(QPoint x) {
    lastSide_ = side(x);
    corners_.clear();
    out_.push_back(x);
}

void LineClipper::enter(QPoint x, QPoint from) {
    goToSide(side(x), from, x);
    const ClipRect& r = rect_;
    for (int c : corners_) {
        switch (c) {
            case 0:
                out_.push_back(QPoint(r.left, r.top));
                break;
            case 1:
                out_.push_back(QPoint(r.right, r.top));
                break;
            case 2:
                out_.push_back(QPoint(r.right, r.bottom));
                break;
            default:
                out_.push_back(QPoint(r.left, r.bottom));
                break;
        }
    }
    corners_.clear();
    out_.push_back(x);
}

void LineClipper::setRect(const ClipRect& rect) {
    rect_ = rect;
    refX_ = (int64_t(rect.left) + int64_t(rect.right)) / 2;  // truncates towards zero
    refY_ = rect.top;
    const double height = double(rect.bottom) - rect.top;
    // Slopes from the reference point to the bottom corners; a corner straight below
    // it (a rectangle one unit wide) lies at the limit of its own side's range.
    slope2_ = rect.right != refX_ ? height / (double(rect.right) - refX_)
                                  : std::numeric_limits<double>::infinity();
    slope3_ = rect.left != refX_ ? height / (double(rect.left) - refX_)
                                 : -std::numeric_limits<double>::infinity();
}

bool LineClipper::findStart(const std::vector<QPoint>& p, size_t n, Start& start) {
    for (size_t e = 0; e <= n; ++e) {
        if (inside(p[e])) {
            if (e > 0) out_.push_back(borderPoint(p[e], p[e - 1]));
            out_.push_back(p[e]);
            start.vertex = e;
            return true;
        }
    }
    // A start on a crossing leaves again at its second point. (Taking the border
    // point from the outside start vertex instead can land outside the view when
    // the edge only grazes a corner.)
    QPoint first;
    for (size_t i = 0; i <= n; ++i) {
        if (crossing(p[i], p[i == n ? 0 : i + 1], first, start.exit)) {
            out_.push_back(first);
            start.vertex = i;
            start.onCrossing = true;
            return true;
        }
    }
    return false;
}

void LineClipper::walk(const std::vector<QPoint>& p, size_t n, Start start) {
    // From a start on a crossing the start vertex counts as inside, so that the
    // first step leaves at the second crossing point.
    size_t cur = start.vertex;
    bool prevInside = true;
    bool startOnCrossing = start.onCrossing;
    while (cur < n) {
        const size_t next = cur + 1;
        const bool nextInside = inside(p[next]);
        if (prevInside && nextInside) {
            out_.push_back(p[next]);
        } else if (prevInside) {
            const QPoint x = startOnCrossing ? start.exit : borderPoint(p[cur], p[next]);
            leave(x);
            // The vertex after an exit already shows which way round the line turns.
            goToSide(side(p[next]), x, p[next]);
        } else if (nextInside) {
            enter(borderPoint(p[next], p[cur]), p[cur]);
            out_.push_back(p[next]);
        } else {
            QPoint first, second;
            if (crossing(p[cur], p[next], first, second)) {
                enter(first, p[cur]);
                leave(second);
                goToSide(side(p[next]), second, p[next]);
            } else {
                goToSide(side(p[next]), p[cur], p[next]);
            }
        }
        startOnCrossing = false;
        prevInside = nextInside;
        cur = next;
    }
}

void LineClipper::clip(std::vector<QPoint>& points, const ClipRect& rect) {
    out_.clear();
    corners_.clear();
    lastSide_ = 0;
    if (points.empty()) return;
    if (!(rect.left < rect.right && rect.top < rect.bottom)) {
        points.resize(1);
        return;
    }
    setRect(rect);

    const std::vector<QPoint>& p = points;
    size_t n = p.size() - 1;
    while (n > 1 && p[n] == p[0]) --n;
    if (n < 1) {
        points.resize(1);
        return;
    }
    out_.reserve(std::max<size_t>(2 * n, 22) + 1);

    Start start;
    if (!findStart(p, n, start)) {
        points.resize(1);
        return;
    }
    walk(p, n, start);
    if (out_.size() >= 2 && out_.back() == out_.front()) out_.pop_back();
    points.assign(out_.begin(), out_.end());
}

void clip(std::vector<QPoint>& points, const ClipRect& rect) {
    LineClipper clipper;
    clipper.clip(points, rect);
}

}  // namespace urbica
