#include "cityframe.h"

#include <algorithm>
#include <cmath>

namespace urbica::osmimport {

namespace {

constexpr double kLeftOut = 0.01;  // share of the places left out at each side

int32_t at(const std::vector<int32_t>& sorted, double share) {
    const size_t i = size_t(std::floor(share * double(sorted.size() - 1) + 0.5));
    return sorted[std::min(i, sorted.size() - 1)];
}

// The left (top) edge of a view of that size about the centre, kept in the extent.
int32_t placed(double centre, int32_t size, int32_t extentStart, int32_t extentSize) {
    const int32_t start = int32_t(std::lround(centre - size / 2.0));
    if (size >= extentSize) return extentStart;
    return std::clamp(start, extentStart, extentStart + extentSize - size);
}

}  // namespace

std::optional<osmium::Box> boxOfMost(std::vector<osmium::Location> points) {
    std::vector<int32_t> xs, ys;
    xs.reserve(points.size()), ys.reserve(points.size());
    for (const osmium::Location& l : points)
        if (l.valid()) xs.push_back(l.x()), ys.push_back(l.y());
    if (xs.size() < 3) return std::nullopt;
    std::sort(xs.begin(), xs.end());
    std::sort(ys.begin(), ys.end());
    osmium::Box box;
    box.extend(osmium::Location(at(xs, kLeftOut), at(ys, kLeftOut)));
    box.extend(osmium::Location(at(xs, 1 - kLeftOut), at(ys, 1 - kLeftOut)));
    return box;
}

CityArea cityArea(const osmium::Box& exported, const osmium::Box& data,
                  const std::vector<osmium::Location>& places) {
    CityArea clipped;
    if (exported.valid() && data.valid()) {
        // Only the part of the box that holds data: a header may name the whole planet.
        const int32_t x1 = std::max(exported.bottom_left().x(), data.bottom_left().x());
        const int32_t y1 = std::max(exported.bottom_left().y(), data.bottom_left().y());
        const int32_t x2 = std::min(exported.top_right().x(), data.top_right().x());
        const int32_t y2 = std::min(exported.top_right().y(), data.top_right().y());
        if (x1 < x2 && y1 < y2)
            clipped = {osmium::Box(osmium::Location(x1, y1), osmium::Location(x2, y2)),
                       AreaSource::ExportBox};
    }
    // A box that cuts nothing off says no more than the data itself.
    if (clipped.source != AreaSource::None && !(clipped.box == data)) return clipped;
    if (const std::optional<osmium::Box> most = boxOfMost(places))
        if (most->bottom_left() != most->top_right()) return {*most, AreaSource::Addresses};
    return clipped;
}

void frameCatalogue(Catalogue& c, const QRect& area) {
    const double w = std::max(1, area.width()), h = std::max(1, area.height());
    const double cx = area.x() + w / 2, cy = area.y() + h / 2;
    // The map box is about 4 wide to 3 high.
    const double wanted = std::max(w * 1.1, h * 4 / 3 * 1.1);
    c.startWidth = std::min(int32_t(std::lround(std::min(wanted, w * 1.45))), c.extentWidth);
    c.startWidth = std::max(c.startWidth, 50);
    c.startX = placed(cx, c.startWidth, c.extentLeft, c.extentWidth);
    c.startY = placed(cy, c.startWidth * 3 / 4, c.extentTop, c.extentHeight);
    // The overview box is square.
    c.overviewWidth = int32_t(std::lround(std::max(w, h) * 4 / 3));
    c.overviewLeft = int32_t(std::lround(cx - c.overviewWidth / 2.0));
    c.overviewTop = int32_t(std::lround(cy - c.overviewWidth / 2.0));
}

}  // namespace urbica::osmimport
