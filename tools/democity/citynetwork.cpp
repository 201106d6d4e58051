#include "citybuilder.h"
#include "dataset/toolkit.h"

namespace urbica::democity {

using toolkit::makeClass;
using toolkit::makeLayer;

void CityBuilder::setUpTables() {
    Tables& t = d_.tables;
    t.types = makeTypes();
    d_.labelKinds = typeLabelKinds();
    t.layers = {LayerRecord{},
                makeLayer("Районы", "raiony", true, true, 500, 2000, 4000),
                makeLayer("Водоёмы", "vodoemy", true, true, 500, 2000, 4000),
                makeLayer("Парки и скверы", "parki", true, true, 500, 2000, 4000),
                makeLayer("Железные дороги", "zheldor", true, false, 500, 2000, 4000),
                makeLayer("Улицы", "ulicy", true, true, 500, 2000, 4000),
                makeLayer("Дома", "doma", false, true, 500, 4000, 4000),
                makeLayer("Линии метро", "metrolin", true, true, 500, 2000, 4000),
                makeLayer("Станции метро", "metrost", false, true, 500, 2000, 4000),
                makeLayer("Организации", "org", false, true, 500, 4000, 4000),
                makeLayer("Достопримечательности", "dostopr", false, true, 500, 2000, 4000),
                makeLayer("Подписи", "podpisi", false, false, 500, 2000, 4000)};
    t.drawOrder = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
    // Small things first under the pointer, areas last.
    t.selectOrder = {0,           kStationLayer, kOrganisationLayer, kSightLayer,
                     kHouseLayer, kStreetLayer,  kMetroLineLayer,    kRailwayLayer,
                     kParkLayer,  kWaterLayer,   kDistrictLayer,     kSampleLayer};
    t.classes = {ClassRecord{},
                 makeClass(u("Районы"), "raiony", kPlainNameStyle, true, true),
                 makeClass(u("Улицы"), "ulicy", kStreetNameStyle, true, true),
                 makeClass(u("Станции метро"), "metro", kPlainNameStyle, true, true),
                 makeClass(u("Линии метро"), "linmetro", kPlainNameStyle, false, true),
                 makeClass(u("Парки и скверы"), "parki", kPlainNameStyle, true, true),
                 makeClass(u("Водоёмы"), "vodoemy", kPlainNameStyle, false, true),
                 makeClass(u("Организации"), "org", kLongNameStyle, true, true),
                 makeClass(u("Достопримечательности"), "dostopr", kPlainNameStyle, false, true),
                 makeClass(u("Дома"), "doma", kHouseNumberStyle, false, true)};
    t.classExtra.assign(t.classes.size(), 0);
    d_.layerObjects.resize(t.layers.size());
    d_.classNames.resize(t.classes.size());
}

void CityBuilder::makeWater() {
    const int count = std::max(1, tiles_ / 8);
    const double band = double(side_) / count;
    for (int r = 0; r < count; ++r)
        rivers_.push_back({top() + (r + 0.5) * band + 0.13 * band, std::min(350.0, band * 0.08),
                           5200 + 300.0 * r, 1.7 * r});
    for (int r = 0; r < count; ++r) {
        const River& river = rivers_[size_t(r)];
        const auto& words = kRivers[r % int(std::size(kRivers))];
        NameData n;
        n.name = u(words[0]) +
                 (r >= int(std::size(kRivers)) ? QStringLiteral(" %1").arg(r + 1) : QString());
        const int32_t record = addName(kWaterClass, n);
        // The river as pieces of 1 km, each a closed band between its banks.
        for (int32_t x0 = ox_; x0 < ox_ + side_; x0 += 1000) {
            std::vector<QPoint> pts;
            const int32_t x1 = std::min(ox_ + side_, x0 + 1000);
            for (int32_t x = x0; x <= x1; x += 100)
                pts.emplace_back(x, int(std::lround(river.centre(x) - kRiverHalfWidth)));
            for (int32_t x = x1; x >= x0; x -= 100)
                pts.emplace_back(x, int(std::lround(river.centre(x) + kRiverHalfWidth)));
            addNamedObject(kWaterClass, record, kWaterLayer, shape(kRiverType, pts, 3));
        }
        // Embankments on both banks, streets of the district they start in.
        for (int bank = 0; bank < 2; ++bank) {
            NameData e;
            e.name =
                bank == 0 ? u("Набережная ") + u(words[1]) : u("Левая набережная ") + u(words[1]);
            if (r >= int(std::size(kRivers))) e.name += QStringLiteral(" %1").arg(r + 1);
            const double offset = (bank == 0 ? -1 : 1) * (kRiverHalfWidth + 14);
            e.parentClass = kDistrictClass;
            e.parentRecord = districtAt(ox_, river.centre(ox_) + offset);
            const int32_t street = addName(kStreetClass, e);
            std::vector<QPoint> pts;
            for (int32_t x = ox_; x <= ox_ + side_; x += 100)
                pts.emplace_back(x, int(std::lround(river.centre(x) + offset)));
            for (size_t i = 0; i + 1 < pts.size(); i += 10) {
                const size_t end = std::min(pts.size(), i + 11);
                addNamedObject(
                    kStreetClass, street, kStreetLayer,
                    shape(kEmbankmentType,
                          {pts.begin() + qsizetype(i), pts.begin() + qsizetype(end)}, 2));
            }
        }
    }
}

void CityBuilder::makeRailways() {
    const int count = std::max(1, tiles_ / 8);
    const double band = double(side_) / count;
    for (int q = 0; q < count; ++q) railBase_.push_back(top() + (q + 0.5) * band - 0.27 * band);
    for (size_t q = 0; q < railBase_.size(); ++q) {
        std::vector<QPoint> pts;
        for (int32_t x = ox_; x <= ox_ + side_; x += 100)
            pts.emplace_back(x, int(std::lround(railCentre(q, x))));
        for (size_t i = 0; i + 1 < pts.size(); i += 10) {
            const size_t end = std::min(pts.size(), i + 11);
            addObject(
                kRailwayLayer,
                shape(kRailwayType, {pts.begin() + qsizetype(i), pts.begin() + qsizetype(end)}, 3));
        }
    }
}

// Streets on the district borders run through the whole city: avenues on
// every second border, ordinary long streets on the others.
void CityBuilder::makeLongStreets() {
    int made = 0;
    for (int dir = 0; dir < 2; ++dir) {
        for (int k = 0; k <= tiles_; ++k) {
            const bool avenue = k % 2 == 0;
            const int stem = (made * 7 + 3) % kStemCount;
            const int copy = made / kStemCount;
            ++made;
            NameData n;
            n.name = streetName(avenue ? StreetKind::Avenue : StreetKind::Street, stem, copy);
            n.parentClass = kDistrictClass;
            n.parentRecord = dir == 0 ? districtAt(ox_ + k * kTile - (k == tiles_), oy_ + 1)
                                      : districtAt(ox_ + 1, oy_ + k * kTile - (k == tiles_));
            const int32_t street = addName(kStreetClass, n);
            for (int t = 0; t < tiles_; ++t) {
                const int32_t fixed = (dir == 0 ? ox_ : oy_) + k * kTile;
                const int32_t a = (dir == 0 ? oy_ : ox_) + t * kTile;
                const QPoint p0 = dir == 0 ? QPoint(fixed, a) : QPoint(a, fixed);
                const QPoint p1 = dir == 0 ? QPoint(fixed, a + kTile) : QPoint(a + kTile, fixed);
                addNamedObject(kStreetClass, street, kStreetLayer,
                               shape(avenue ? kAvenueType : kStreetType, {p0, p1}, avenue ? 3 : 2));
            }
        }
    }
}

void CityBuilder::makeCurvedRoads() {
    auto road = [&](const QString& name, const std::vector<QPoint>& pts) {
        NameData n;
        n.name = name;
        n.parentClass = kDistrictClass;
        n.parentRecord = districtAt(ringX_, ringY_);
        const int32_t street = addName(kStreetClass, n);
        for (size_t i = 0; i + 1 < pts.size(); i += 15) {
            const size_t end = std::min(pts.size(), i + 16);
            addNamedObject(
                kStreetClass, street, kStreetLayer,
                shape(kHighwayType, {pts.begin() + qsizetype(i), pts.begin() + qsizetype(end)}, 3));
        }
    };
    std::vector<QPoint> ring;
    const int steps = std::max(48, int(2 * kPi * ringR_ / 150));
    for (int i = 0; i <= steps; ++i) {
        const double a = 2 * kPi * i / steps;
        ring.emplace_back(int(std::lround(ringX_ + ringR_ * std::cos(a))),
                          int(std::lround(ringY_ + ringR_ * std::sin(a))));
    }
    road(u("Садовое кольцо"), ring);
    const char* highways[] = {"Московское шоссе", "Приморское шоссе"};
    for (int h = 0; h < 2; ++h) {
        std::vector<QPoint> pts;
        for (int32_t x = ox_; x <= ox_ + side_; x += 150) {
            const double y = highwayCentre(h, x);
            if (y >= oy_ && y <= oy_ + side_) pts.emplace_back(x, int(std::lround(y)));
        }
        road(u(highways[h]), pts);
    }
}

void CityBuilder::makeMetro() {
    const int across = std::max(1, int(std::lround(tiles_ / 4.0)));
    struct Path {
        std::vector<QPoint> pts;
    };
    std::vector<Path> paths;
    const double lo = 600, hi = side_ - 600;
    for (int dir = 0; dir < 2; ++dir) {
        for (int l = 0; l < across; ++l) {
            Path p;
            const double base = (l + 0.5) * side_ / across + 0.06 * side_ / across;
            for (double a = lo; a <= hi; a += 100) {
                const double b = base + 300 * std::sin(a / 4500.0 + l + dir);
                p.pts.emplace_back(dir == 0 ? QPoint(int(ox_ + a), int(std::lround(oy_ + b)))
                                            : QPoint(int(std::lround(ox_ + b)), int(oy_ + a)));
            }
            paths.push_back(p);
        }
    }
    {
        Path p;  // one diagonal line
        for (double a = lo; a <= hi; a += 100 / 1.4142)
            p.pts.emplace_back(int(std::lround(ox_ + a + 350 * std::sin(a / 3000.0))),
                               int(oy_ + a));
        paths.push_back(p);
    }
    for (size_t l = 0; l < paths.size(); ++l) {
        NameData line;
        line.name = u(kLineColours[l % kLineColourCount]) + u(" линия");
        if (l >= size_t(kLineColourCount))
            line.name += QStringLiteral(" %1").arg(l / kLineColourCount + 1);
        const int32_t lineRecord = addName(kMetroLineClass, line);
        const int16_t type = int16_t(kMetroLineType + int(l % kLineColourCount));
        const auto& pts = paths[l].pts;
        const size_t spacing = size_t(rng_.range(11, 15));
        for (size_t i = 0; i < pts.size(); i += spacing) {
            NameData st;
            st.name = stationName(stationsMade_++);
            const int32_t station = addName(kStationClass, st);
            addNamedObject(kStationClass, station, kStationLayer, shape(kStationType, {pts[i]}, 3));
            if (i + 1 < pts.size()) {
                const size_t end = std::min(pts.size(), i + spacing + 1);
                addNamedObject(
                    kMetroLineClass, lineRecord, kMetroLineLayer,
                    shape(type, {pts.begin() + qsizetype(i), pts.begin() + qsizetype(end)}, 3));
            }
        }
    }
}

}  // namespace urbica::democity
