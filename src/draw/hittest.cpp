#include "draw/hittest.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <numbers>

namespace urbica {

namespace {

// Line coefficients are whole numbers held in a 64-bit fixed-point type with four
// decimal places, so the largest magnitude it can hold is this many units.
constexpr int64_t kFixedMax = INT64_MAX / 10000;

bool fixedMul(int64_t a, int64_t b, int64_t& result) {
    if (a != 0 && std::llabs(b) > kFixedMax / std::llabs(a)) return false;
    result = a * b;
    return true;
}

bool fixedAdd(int64_t a, int64_t b, int64_t& result) {
    result = a + b;  // both at most kFixedMax in magnitude: the sum fits in 64 bits
    return std::llabs(result) <= kFixedMax;
}

}  // namespace

bool nearline(std::span<const QPoint> points, double x, double y, float unitsPerPixel) {
    if (points.size() < 2) return false;
    const float tolerance = kLineHitPixels * unitsPerPixel;
    const float slack = 2 * unitsPerPixel;
    QPoint a = points[0];
    for (size_t i = 1; i < points.size(); ++i) {
        const QPoint b = points[i];
        const int64_t ca = int64_t(a.y()) - b.y();
        const int64_t cb = int64_t(b.x()) - a.x();
        if (ca != 0 || cb != 0) {
            int64_t ax, by, c, aa, bb, norm;
            if (!fixedMul(ca, a.x(), ax) || !fixedMul(cb, a.y(), by) || !fixedAdd(ax, by, c) ||
                !fixedMul(ca, ca, aa) || !fixedMul(cb, cb, bb) || !fixedAdd(aa, bb, norm))
                return false;
            c = -c;
            const double d =
                std::abs(double(ca) * x + double(cb) * y + double(c)) / std::sqrt(double(norm));
            if (d < tolerance) {
                const double dx = double(b.x()) - a.x(), dy = double(b.y()) - a.y();
                const float reach = float(float(std::sqrt(dx * dx + dy * dy)) + slack);
                const double distA = std::hypot(x - a.x(), y - a.y());
                const double distB = std::hypot(x - b.x(), y - b.y());
                if (reach >= distA && reach >= distB) return true;
            }
        }
        a = b;
    }
    return false;
}

bool inarea(std::span<const QPoint> points, double x, double y) {
    if (points.size() < 2) return false;
    const size_t last = points.size() - 2;  // the last point of the ring
    float sum = 0;
    for (size_t i = 0; i <= last; ++i) {
        const QPoint a = points[i];
        const QPoint b = i < last ? points[i + 1] : points[0];
        if ((x == a.x() && y == a.y()) || (x == b.x() && y == b.y())) return true;
        const double ux = x - a.x(), uy = y - a.y();
        const double vx = x - b.x(), vy = y - b.y();
        double k = (ux * vx + uy * vy) / std::sqrt((ux * ux + uy * uy) * (vx * vx + vy * vy));
        // Rounding can carry the cosine of a straight angle just past +-1.
        if (k > 1) k = 1;
        if (k < -1) k = -1;
        double theta;
        if (k == 0) {
            theta = std::numbers::pi / 2;
        } else if (k == 1) {
            theta = 0;
        } else {
            theta = std::atan(std::sqrt(1 - k * k) / k);
            if (theta < 0) theta += 3.141592;
        }
        const double cross = (y - a.y()) * (x - b.x()) - (y - b.y()) * (x - a.x());
        const int sigma = (cross > 0) - (cross < 0);
        sum = float(sum + sigma * theta);
    }
    return std::abs(sum) > 5;
}

}  // namespace urbica
