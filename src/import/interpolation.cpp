#include "interpolation.h"

#include <cmath>
#include <cstring>

namespace urbica::osmimport {

bool interpolationKind(const char* value, int& step, int& parity) {
    if (!value) return false;
    if (std::strcmp(value, "odd") == 0) {
        step = 2, parity = 1;
    } else if (std::strcmp(value, "even") == 0) {
        step = 2, parity = 0;
    } else if (std::strcmp(value, "all") == 0) {
        step = 1, parity = -1;
    } else {
        return false;
    }
    return true;
}

int plainHouseNumber(const QString& text) {
    const QString t = text.trimmed();
    if (t.isEmpty() || t.size() > 6) return -1;
    for (QChar c : t)
        if (c.unicode() < '0' || c.unicode() > '9') return -1;
    return t.toInt();
}

std::vector<InterpolatedHouse> interpolateHouses(const InterpolationLine& line, int from, int to) {
    std::vector<InterpolatedHouse> out;
    if (line.points.size() < 2 || from == to || from < 0 || to < 0) return out;
    if (line.parity >= 0 && (from % 2 != line.parity || to % 2 != line.parity)) return out;
    if ((std::abs(to - from) % line.step) != 0) return out;
    const int count = std::abs(to - from) / line.step - 1;
    if (count < 1 || count > kMaxInterpolated) return out;
    // Lengths in degrees of latitude: longitudes shrink by the cosine of the latitude.
    const double k = std::cos(line.points.front().lat() * M_PI / 180);
    std::vector<double> along{0};
    for (size_t i = 1; i < line.points.size(); ++i) {
        const double dx = (line.points[i].lon() - line.points[i - 1].lon()) * k;
        const double dy = line.points[i].lat() - line.points[i - 1].lat();
        along.push_back(along.back() + std::hypot(dx, dy));
    }
    const double total = along.back();
    const int direction = to > from ? 1 : -1;
    size_t segment = 1;
    for (int i = 1; i <= count; ++i) {
        const int number = from + direction * i * line.step;
        const double share = double(i * line.step) / std::abs(to - from);
        const double wanted = share * total;
        while (segment + 1 < along.size() && along[segment] < wanted) ++segment;
        const osmium::Location a = line.points[segment - 1], b = line.points[segment];
        const double piece = along[segment] - along[segment - 1];
        const double f = piece > 0 ? (wanted - along[segment - 1]) / piece : 0;
        out.push_back({number, osmium::Location(a.lon() + (b.lon() - a.lon()) * f,
                                                a.lat() + (b.lat() - a.lat()) * f)});
    }
    return out;
}

}  // namespace urbica::osmimport
