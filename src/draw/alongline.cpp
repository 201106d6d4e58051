#include "draw/alongline.h"

#include <algorithm>
#include <cmath>

#include "dataset/numbers.h"
#include "dataset/objects.h"
#include "draw/clip.h"
#include "draw/drawcontext.h"

namespace urbica {

double segmentDirection(double dx, double dy) {
    double a = dy == 0 ? 1.57 : std::atan(dx / dy);
    if (dy < 0) a += 3.14;
    return a;
}

namespace {

struct PointF {
    double x, y;
};

double length(double dx, double dy) { return std::sqrt(dx * dx + dy * dy); }

void appendEntry(DrawContext& ctx, double x, double y, const QString& text, int32_t colour,
                 const ObjectRecord& record, double angle = 0, int32_t group = 0) {
    LabelEntry e;
    e.x = float(x);
    e.y = float(y);
    e.text = text;
    e.colour = colour;
    e.typeIndex = record.typeIndex;
    e.angle = float(angle);
    e.group = group;
    ctx.labels.append(e);
}

// The chord from i to j stays within t of every point between them.
bool chordAcceptable(const std::vector<QPoint>& p, size_t i, size_t j, int16_t t) {
    if (j >= p.size()) return false;
    const int64_t dx = int64_t(p[j].x()) - p[i].x(), dy = int64_t(p[j].y()) - p[i].y();
    const double len = std::sqrt(double(dx) * double(dx) + double(dy) * double(dy));
    // T with four decimal places, compared exactly against the integer cross product.
    const long double tFixed = std::nearbyint(static_cast<long double>(t) * len * 10000.0L);
    for (size_t k = j - 1; k > i; --k) {
        const long double cross =
            std::fabs(static_cast<long double>(dx) * (int64_t(p[k].y()) - p[i].y()) -
                      static_cast<long double>(dy) * (int64_t(p[k].x()) - p[i].x()));
        if (cross * 10000.0L >= tFixed) return false;
    }
    return true;
}

size_t nextKept(const std::vector<QPoint>& p, size_t cur, int16_t t) {
    size_t best = cur + 1, j = cur + 1;
    int misses = 0;
    while (misses < 4) {
        ++j;
        if (chordAcceptable(p, cur, j, t)) {
            best = j;
            misses = 0;
        } else {
            ++misses;
        }
    }
    return best;
}

}  // namespace

std::vector<QPoint> simplifyLine(const std::vector<QPoint>& points, int16_t tolerance) {
    std::vector<QPoint> out;
    if (points.empty()) return out;
    const size_t n = points.size() - 1;
    out.push_back(points[0]);
    size_t cur = 0;
    while (cur < n) {
        cur = nextKept(points, cur, tolerance);
        out.push_back(points[cur]);
    }
    if (out.back() != points[n]) out.push_back(points[n]);
    return out;
}

void spreadPlacement(DrawContext& ctx, std::vector<QPoint> points, const QString& rawText,
                     int32_t colour, const ObjectRecord& record) {
    const QString text = rawText.trimmed();
    if (text.isEmpty() || points.size() < 2) return;
    const double upp = ctx.view.unitsPerPixel;
    if (points.back().x() < points.front().x()) std::reverse(points.begin(), points.end());
    double total = 0;
    for (size_t i = 1; i < points.size(); ++i)
        total += length(points[i].x() - points[i - 1].x(), points[i].y() - points[i - 1].y());
    const double spacing = total / text.size();
    if (spacing / upp < 10) return;
    double carried = 0.5 * spacing;
    qsizetype k = 0;  // next character, from 0
    const int32_t group = ctx.labels.newGroup();
    auto put = [&](double x, double y) {
        if (k < text.size())
            appendEntry(ctx, x - 5 * upp, y - 5 * upp, text.mid(k, 1), colour, record, 0, group);
        ++k;
    };
    for (size_t i = 1; i < points.size(); ++i) {
        double x1 = points[i - 1].x(), y1 = points[i - 1].y();
        const double dx = double(points[i].x()) - x1, dy = double(points[i].y()) - y1;
        const double len = length(dx, dy);
        if (len == 0) continue;
        if (carried + len < spacing) {
            carried += len;
            continue;
        }
        const double a = segmentDirection(dx, dy);
        const double s = std::sin(a), c = std::cos(a);
        const double d = spacing - carried;
        put(x1 + d * s, y1 + d * c);
        x1 += d * s;
        y1 += d * c;
        double rest = len - d;
        while (rest >= spacing) {
            put(x1 + spacing * s, y1 + spacing * c);
            x1 += spacing * s;
            y1 += spacing * c;
            rest -= spacing;
        }
        carried = rest;
    }
}

void pitchedPlacement(DrawContext& ctx, PictureBox& box, const std::vector<QPoint>& points,
                      const QString& rawText, int32_t colour, const ObjectRecord& record) {
    const QString text = rawText.trimmed();
    if (text.isEmpty() || points.size() < 2) return;
    const double upp = ctx.view.unitsPerPixel;
    const double pitch = 10 * upp;
    for (size_t i = 1; i < points.size(); ++i) {
        QPoint p1 = points[i - 1], p2 = points[i];
        const double len = length(p2.x() - p1.x(), p2.y() - p1.y());
        if (!(len / (text.size() + 1) > 9 * upp)) continue;
        if (p2.x() < p1.x()) std::swap(p1, p2);
        const double a = segmentDirection(double(p2.x()) - p1.x(), double(p2.y()) - p1.y());
        const double s = std::sin(a), c = std::cos(a);
        double x = p1.x() + s * pitch / 2, y = p1.y() + c * pitch / 2;
        const int32_t group = ctx.labels.newGroup();
        for (qsizetype k = 0; k < text.size(); ++k) {
            const QString ch = text.mid(k, 1);
            appendEntry(ctx, x - box.textWidth(ch) * upp / 2, y - 6 * upp, ch, colour, record, 0,
                        group);
            x += s * pitch;
            y += c * pitch;
        }
    }
}

void rotatedPlacement(DrawContext& ctx, std::vector<QPoint>& points, const QString& rawText,
                      int32_t colour, const ObjectRecord& record) {
    const QString text = rawText.trimmed();
    if (text.isEmpty() || points.size() < 2) return;
    const double upp = ctx.view.unitsPerPixel;
    const double tol = std::clamp(nearest(3 * upp), -32768.0, 32767.0);
    points = simplifyLine(points, int16_t(tol));
    const ObjectType& type = ctx.tables.types[size_t(record.typeIndex)];
    const double size = type.labelSize;
    const double chars = double(text.size());
    const double h = size * 0.8 * upp;
    for (size_t i = 1; i < points.size(); ++i) {
        QPoint p1 = points[i - 1], p2 = points[i];
        const double len = length(p2.x() - p1.x(), p2.y() - p1.y());
        if (!(len / chars > h)) continue;
        if (p2.x() < p1.x()) std::swap(p1, p2);
        const double a = segmentDirection(double(p2.x()) - p1.x(), double(p2.y()) - p1.y());
        double x1 = p1.x() + size * std::sin(a + 1.57) * upp;
        double y1 = p1.y() + size * std::cos(a + 1.57) * upp;
        const double m = (len - chars * (size - 2) * upp) / 2;
        x1 += std::sin(a) * m;
        y1 += std::cos(a) * m;
        double angle = (a - 1.57) * 360 / 6.28;
        if (angle < 0) angle += 360;
        appendEntry(ctx, x1, y1, text, colour, record, angle);
    }
}

void placeAlongLine(DrawContext& ctx, PictureBox& box, int labelMode, const ObjectRecord& record,
                    const QString& text, std::vector<QPoint>& points, int32_t colour) {
    const MapView& v = ctx.view;
    clip(points, viewClipRect(float(v.viewLeft), float(v.viewTop), float(v.viewWidth),
                              float(v.viewHeight)));
    switch (labelMode) {
        case 3:
            spreadPlacement(ctx, points, text, colour, record);
            break;
        case 5:
            pitchedPlacement(ctx, box, points, text, colour, record);
            break;
        case 6:
            rotatedPlacement(ctx, points, text, colour, record);
            break;
        default:
            break;
    }
}

}  // namespace urbica
