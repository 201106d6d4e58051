// The parent of every street: the district area that holds most of it, else
// the nearest named place, else the city. Ways of one name that lie apart in
// different districts become streets of their own.
#include <QRect>
#include <algorithm>
#include <cmath>
#include <map>
#include <numeric>

#include "builder.h"

namespace urbica::osmimport {

namespace {

constexpr int kNear = 300;           // metres between ways of one street
constexpr double kPlaceNear = 3000;  // metres to a named place
constexpr size_t kMaxWaysToSplit = 4000;

QRect boxOf(const std::vector<QPoint>& points) {
    QRect box;
    for (const QPoint& p : points) box |= QRect(p, QSize(1, 1));
    return box;
}

double distance(const QRect& box, QPoint p) {
    const double dx = std::max({box.left() - p.x(), 0, p.x() - box.right()});
    const double dy = std::max({box.top() - p.y(), 0, p.y() - box.bottom()});
    return std::hypot(dx, dy);
}

QPoint centreOf(const std::vector<QPoint>& points) {
    double x = 0, y = 0;
    for (const QPoint& p : points) x += p.x(), y += p.y();
    const double n = double(std::max<size_t>(1, points.size()));
    return QPoint(int(std::lround(x / n)), int(std::lround(y / n)));
}

size_t root(std::vector<size_t>& parent, size_t i) {
    while (parent[i] != i) i = parent[i] = parent[parent[i]];
    return i;
}

}  // namespace

// The city the streets belong to when no district holds them: the city or
// town of the extract nearest its area, else the city most addresses name,
// else the place nearest the area, else a record of its own.
void Builder::findCity() {
    const osmium::Box& area = area_.box;
    const QPoint centre =
        area_.source != AreaSource::None
            ? (frame_.at(area.bottom_left()) + frame_.at(area.top_right())) / 2
            : QPoint(int(frame_.width / 2) + kMargin, int(frame_.height / 2) + kMargin);
    auto nearest = [&](bool cities) {
        int32_t best = 0;
        double bestD = 1e12;
        for (const PlacePoint& pl : c_.places()) {
            if (cities && !pl.city) continue;
            const QPoint q = frame_.at(pl.at);
            const double d = std::hypot(double(q.x() - centre.x()), double(q.y() - centre.y()));
            if (d < bestD) bestD = d, best = pl.record;
        }
        return best;
    };
    auto nameOf = [this](int32_t record) {
        const Named& n = c_.names.classes[kDistrictClass][size_t(record - 1)];
        return n.whole.isEmpty() ? n.name : n.whole;
    };
    cityRecord_ = nearest(true);
    if (cityRecord_) {
        cityName_ = nameOf(cityRecord_);
        return;
    }
    const std::map<QString, int64_t>& named = c_.cityNames();
    const auto most =
        std::max_element(named.begin(), named.end(),
                         [](const auto& a, const auto& b) { return a.second < b.second; });
    if (most != named.end()) {
        cityRecord_ = c_.names.recordNamed(kDistrictClass, most->first);
        cityName_ = nameOf(cityRecord_);
        return;
    }
    cityRecord_ = nearest(false);
    if (!cityRecord_) cityRecord_ = c_.names.recordNamed(kDistrictClass, u("Город"));
}

// The district area that holds most of the points; of areas that hold as
// many, the smallest (a district rather than the borough around it).
int32_t Builder::districtHolding(const std::vector<QPoint>& points) const {
    int32_t best = 0;
    size_t bestCount = 0;
    double bestArea = 0;
    for (const DistrictRing& d : districtRings_) {
        size_t count = 0;
        for (const QPoint& p : points)
            if (d.box.contains(p) && inside(d.ring, p)) ++count;
        if (count > bestCount || (count == bestCount && count > 0 && d.area < bestArea))
            best = d.record, bestCount = count, bestArea = d.area;
    }
    return best;
}

std::vector<QPoint> Builder::pointsOf(size_t pending) const {
    std::vector<QPoint> out;
    if (pending >= pendingObjects_.size()) return out;
    for (const ObjectRefData& ref : pendingObjects_[pending]) {
        const MapObjectData& o = d_.layerObjects[size_t(ref.first)][size_t(ref.second - 1)];
        out.insert(out.end(), o.points.begin(), o.points.end());
    }
    return out;
}

void Builder::placeStreetsInDistricts() {
    const size_t count = c_.names.streets.size();
    for (size_t s = 0; s < count; ++s) splitStreet(s);
}

// Groups the ways of a street that lie near each other, gives each group its
// district, and makes a street of its own of every district but the first;
// each house goes with the group nearest to it.
void Builder::splitStreet(size_t s) {
    std::vector<std::vector<QPoint>> wayPoints;
    std::vector<QRect> boxes;
    {
        const Street& st = c_.names.streets[s];
        for (size_t p : st.pendings) {
            wayPoints.push_back(pointsOf(p));
            boxes.push_back(boxOf(wayPoints.back()));
        }
        if (st.pendings.empty()) {  // a street known by its addresses only
            wayPoints.emplace_back();
            for (int32_t h : st.houses) {
                const std::vector<QPoint> at = pointsOf(houses_[size_t(h)].pending);
                if (!at.empty()) wayPoints.back().push_back(centreOf(at));
            }
            boxes.push_back(boxOf(wayPoints.back()));
        }
    }
    const size_t ways = wayPoints.size();
    std::vector<size_t> parent(ways);
    std::iota(parent.begin(), parent.end(), size_t(0));
    if (ways <= kMaxWaysToSplit)
        for (size_t i = 0; i < ways; ++i)
            for (size_t j = i + 1; j < ways; ++j)
                if (boxes[i].adjusted(-kNear, -kNear, kNear, kNear).intersects(boxes[j]))
                    parent[root(parent, j)] = root(parent, i);
    // The district of each group; groups of one district are one street.
    std::map<size_t, std::vector<QPoint>> groupPoints;
    for (size_t i = 0; i < ways; ++i) {
        std::vector<QPoint>& g = groupPoints[ways <= kMaxWaysToSplit ? root(parent, i) : 0];
        g.insert(g.end(), wayPoints[i].begin(), wayPoints[i].end());
    }
    std::vector<int32_t> districts;  // of each entry, the first staying at s
    std::vector<int32_t> entryOfWay(ways);
    std::map<size_t, size_t> entryOfGroup;
    for (const auto& [group, points] : groupPoints) {
        int32_t d = districtHolding(points);
        if (!d && !points.empty()) d = nearestPlace(centreOf(points), kPlaceNear);
        if (!d) d = cityRecord_;
        auto found = std::find(districts.begin(), districts.end(), d);
        if (found == districts.end()) districts.push_back(d), found = districts.end() - 1;
        entryOfGroup[group] = size_t(found - districts.begin());
    }
    for (size_t i = 0; i < ways; ++i)
        entryOfWay[i] = int32_t(entryOfGroup[ways <= kMaxWaysToSplit ? root(parent, i) : 0]);
    c_.names.streets[s].district = districts.front();
    if (districts.size() < 2 || c_.names.streets[s].pendings.empty()) return;

    // The other districts' streets, with their ways and the houses nearest them.
    std::vector<size_t> index(districts.size(), s);
    for (size_t e = 1; e < districts.size(); ++e) {
        Street copy = c_.names.streets[s];
        copy.pendings.clear(), copy.houses.clear();
        copy.district = districts[e];
        c_.names.streets.push_back(std::move(copy));
        index[e] = c_.names.streets.size() - 1;
    }
    Street& st = c_.names.streets[s];
    std::vector<size_t> pendings;
    pendings.swap(st.pendings);
    std::vector<int32_t> houses;
    houses.swap(st.houses);
    for (size_t i = 0; i < ways; ++i)
        c_.names.streets[index[size_t(entryOfWay[i])]].pendings.push_back(pendings[i]);
    for (int32_t h : houses) {
        const std::vector<QPoint> at = pointsOf(houses_[size_t(h)].pending);
        size_t best = 0;
        double bestD = 1e18;
        if (!at.empty()) {
            const QPoint p = centreOf(at);
            for (size_t i = 0; i < ways; ++i)
                if (const double d = distance(boxes[i], p); d < bestD) bestD = d, best = i;
        }
        const size_t to = index[size_t(entryOfWay[best])];
        c_.names.streets[to].houses.push_back(h);
        houses_[size_t(h)].street = int32_t(to);
    }
}

}  // namespace urbica::osmimport
