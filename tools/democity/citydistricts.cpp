#include "citybuilder.h"
#include "dataset/toolkit.h"

namespace urbica::democity {

using toolkit::makeClass;
using toolkit::makeLayer;

int32_t CityBuilder::addHouse(NameData house, MapObjectData building, int32_t street) {
    if (int32_t(names(houseClass_).size()) >= kHousesPerClass) {
        d_.tables.classes.push_back(makeClass(u("Дома"), "doma", kHouseNumberStyle, false, true));
        d_.tables.classExtra.push_back(0);
        d_.classNames.emplace_back();
        houseClass_ = int16_t(d_.tables.classes.size() - 1);
    }
    house.parentClass = kStreetClass;
    house.parentRecord = street;
    const int32_t record = addName(houseClass_, std::move(house));
    const int32_t object = addObject(kHouseLayer, std::move(building));
    attach(houseClass_, record, kHouseLayer, object);
    names(kStreetClass)[size_t(street - 1)].parts.push_back({houseClass_, record});
    return record;
}

// Houses along one side of a straight street: `side` −1 is the north (west)
// side, +1 the south (east) side; from/to run along the street.
void CityBuilder::houseRow(int32_t street, bool horizontal, double line, int side, double from,
                           double to, SideNumbers& numbers) {
    double p = from + rng_.range(0, 8);
    while (true) {
        const int width = rng_.range(30, 60), depth = rng_.range(14, 22);
        if (p + width > to) break;
        const double near = line + side * kSetback, far = line + side * (kSetback + depth);
        auto at = [&](double along, double across) {
            return horizontal ? QPoint(int(std::lround(along)), int(std::lround(across)))
                              : QPoint(int(std::lround(across)), int(std::lround(along)));
        };
        std::vector<QPoint> pts;
        if (rng_.chance(0.2)) {  // an L-shaped house: the back half of one end cut away
            const double mid = (near + far) / 2, cut = p + width * 0.55;
            pts = {at(p, near),  at(p + width, near), at(p + width, mid),
                   at(cut, mid), at(cut, far),        at(p, far)};
        } else {
            pts = {at(p, near), at(p + width, near), at(p + width, far), at(p, far)};
        }
        const double cx = horizontal ? p + width / 2.0 : (near + far) / 2;
        const double cy = horizontal ? (near + far) / 2 : p + width / 2.0;
        if (!blocked(cx, cy, width / 2.0 + 6)) {
            NameData house;
            numbers.take(rng_, house);
            const int16_t type = rng_.chance(0.08) ? kPublicHouseType : kHouseType;
            addHouse(std::move(house), shape(type, std::move(pts), 1), street);
        }
        p += width + rng_.range(10, 25);
    }
}

void CityBuilder::makeTile(int tx, int ty) {
    Tile t;
    t.x0 = ox_ + tx * kTile, t.y0 = oy_ + ty * kTile;
    NameData district;
    district.name = districtName(ty * tiles_ + tx);
    t.district = addName(kDistrictClass, district);
    Q_ASSERT(t.district == ty * tiles_ + tx + 1);
    const int32_t x0 = t.x0, y0 = t.y0;
    addNamedObject(
        kDistrictClass, t.district, kDistrictLayer,
        shape(kDistrictType,
              {{x0, y0}, {x0 + kTile, y0}, {x0 + kTile, y0 + kTile}, {x0, y0 + kTile}}, 3));

    t.nv = std::max(3, int(std::lround(double(kTile) / rng_.range(230, 320))));
    t.nh = std::max(3, int(std::lround(double(kTile) / rng_.range(180, 260))));
    t.park.assign(size_t(t.nv * t.nh), 0);
    makeParks(t);
    makeInnerStreets(t);
    makeOrganisations(t);
}

// Parks: a few single blocks, now and then a large one over 2 × 2 blocks with a pond.
void CityBuilder::makeParks(Tile& t) {
    auto blockFree = [&](int i, int j) {
        return !blocked((t.vx(i) + t.vx(i + 1)) / 2, (t.hy(j) + t.hy(j + 1)) / 2, 120);
    };
    if (rng_.chance(0.4)) {
        const int i = rng_.range(0, t.nv - 2), j = rng_.range(0, t.nh - 2);
        if (blockFree(i, j) && blockFree(i + 1, j) && blockFree(i, j + 1) &&
            blockFree(i + 1, j + 1))
            addPark(t, i, j, 2);
    }
    for (int n = rng_.range(1, 3); n > 0; --n) {
        const int i = rng_.range(0, t.nv - 1), j = rng_.range(0, t.nh - 1);
        if (!t.isPark(i, j) && blockFree(i, j)) addPark(t, i, j, 1);
    }
}

void CityBuilder::addPark(Tile& t, int i0, int j0, int span) {
    for (int i = i0; i < i0 + span; ++i)
        for (int j = j0; j < j0 + span; ++j) t.park[size_t(i * t.nh + j)] = 1;
    const double l = t.vx(i0) + 8, r = t.vx(i0 + span) - 8, top = t.hy(j0) + 8,
                 b = t.hy(j0 + span) - 8;
    const int c = 12;  // chamfered corners
    std::vector<QPoint> pts;
    for (auto [x, y] : {std::pair{l + c, top},
                        {r - c, top},
                        {r, top + c},
                        {r, b - c},
                        {r - c, b},
                        {l + c, b},
                        {l, b - c},
                        {l, top + c}})
        pts.emplace_back(int(std::lround(x)), int(std::lround(y)));
    NameData n;
    const int stem = rng_.range(0, kStemCount - 1);
    if (span > 1)
        n.name = stem < kAdjectiveCount ? u(kAdjectives[stem].masc) + u(" парк")
                                        : u("Парк ") + u(kGenitives[stem - kAdjectiveCount]);
    else
        n.name = stem < kAdjectiveCount ? u(kAdjectives[stem].masc) + u(" сквер")
                                        : u("Сквер ") + u(kGenitives[stem - kAdjectiveCount]);
    n.parentClass = kDistrictClass;
    n.parentRecord = t.district;
    const int32_t record = addName(kParkClass, n);
    addNamedObject(kParkClass, record, kParkLayer, shape(kParkType, pts, span > 1 ? 3 : 2));
    ++parksMade_;
    const double cx = (l + r) / 2, cy = (top + b) / 2;
    if (span > 1) addPond(t.district, cx, cy);
    if (span > 1 || rng_.chance(0.4)) {
        NameData sight;
        sight.name = u(kSights[sightsMade_++ % int(std::size(kSights))]);
        const int32_t record2 = addName(kSightClass, sight);
        addNamedObject(
            kSightClass, record2, kSightLayer,
            shape(kSightType, {QPoint(int(std::lround(cx - 30)), int(std::lround(cy - 25)))}, 2));
    }
}

void CityBuilder::addPond(int32_t district, double cx, double cy) {
    NameData pond;
    pond.name = u(kPondWords[rng_.range(0, int(std::size(kPondWords)) - 1)]) + u(" пруд");
    pond.parentClass = kDistrictClass;
    pond.parentRecord = district;
    const int32_t pondRecord = addName(kWaterClass, pond);
    std::vector<QPoint> ellipse;
    const double rx = rng_.range(50, 90), ry = rng_.range(35, 60);
    for (int k = 0; k < 20; ++k) {
        const double a = 2 * kPi * k / 20;
        ellipse.emplace_back(int(std::lround(cx + 40 + rx * std::cos(a))),
                             int(std::lround(cy + 30 + ry * std::sin(a))));
    }
    addNamedObject(kWaterClass, pondRecord, kWaterLayer, shape(kPondType, ellipse, 2));
}

// Runs of [from, to] outside the water along a street.
CityBuilder::Pieces CityBuilder::dryRuns(bool horizontal, double line, double from,
                                         double to) const {
    Pieces out;
    double start = -1;
    for (double p = from; p <= to + 0.5; p += 10) {
        const bool wet = horizontal ? inWater(p, line, 8) : inWater(line, p, 8);
        if (!wet && start < 0) start = p;
        if ((wet || p + 10 > to + 0.5) && start >= 0) {
            const double end = wet ? p - 10 : to;
            if (end - start >= 40) {
                auto pt = [&](double a) {
                    return horizontal ? QPoint(int(std::lround(a)), int(std::lround(line)))
                                      : QPoint(int(std::lround(line)), int(std::lround(a)));
                };
                out.emplace_back(pt(start), pt(end));
            }
            start = -1;
        }
    }
    return out;
}

// Inner streets, cut where a river crosses them, each with its houses.
void CityBuilder::makeInnerStreets(const Tile& t) {
    std::vector<int> stems(kStemCount);
    for (int i = 0; i < kStemCount; ++i) stems[size_t(i)] = i;
    for (int i = kStemCount - 1; i > 0; --i)
        std::swap(stems[size_t(i)], stems[size_t(rng_.range(0, i))]);
    int stemAt = 0;
    const int boulevard = rng_.range(1, t.nv - 1);
    auto newStreet = [&](StreetKind kind, const Pieces& pieces, int16_t type) {
        NameData n;
        n.name = streetName(kind, stems[size_t(stemAt++ % kStemCount)], 0);
        n.parentClass = kDistrictClass;
        n.parentRecord = t.district;
        const int32_t street = addName(kStreetClass, n);
        for (const auto& [a, b] : pieces)
            addNamedObject(kStreetClass, street, kStreetLayer, shape(type, {a, b}, 2));
        return street;
    };
    const double s = kSetback, corner = kSetback + 22 + 10;
    for (int j = 1; j < t.nh; ++j) {
        const Pieces pieces = dryRuns(true, t.hy(j), t.x0, t.x0 + kTile);
        if (pieces.empty()) continue;
        const int32_t street = newStreet(StreetKind::Street, pieces, kStreetType);
        SideNumbers odd{1}, even{2};
        for (int i = 0; i < t.nv; ++i) {
            if (!t.isPark(i, j - 1))
                houseRow(street, true, t.hy(j), -1, t.vx(i) + s, t.vx(i + 1) - s, odd);
            if (!t.isPark(i, j))
                houseRow(street, true, t.hy(j), +1, t.vx(i) + s, t.vx(i + 1) - s, even);
        }
    }
    for (int k = 1; k < t.nv; ++k) {
        const Pieces pieces = dryRuns(false, t.vx(k), t.y0, t.y0 + kTile);
        if (pieces.empty()) continue;
        const bool isBoulevard = k == boulevard;
        const StreetKind kind = isBoulevard  ? StreetKind::Boulevard
                                : k % 3 == 0 ? StreetKind::Passage
                                : k % 3 == 1 ? StreetKind::Lane
                                             : StreetKind::Street;
        const int16_t type = isBoulevard                  ? kBoulevardType
                             : kind == StreetKind::Street ? kStreetType
                                                          : kLaneType;
        const int32_t street = newStreet(kind, pieces, type);
        SideNumbers odd{1}, even{2};
        for (int j = 0; j < t.nh; ++j) {
            if (!t.isPark(k - 1, j))
                houseRow(street, false, t.vx(k), -1, t.hy(j) + corner, t.hy(j + 1) - corner, odd);
            if (!t.isPark(k, j))
                houseRow(street, false, t.vx(k), +1, t.hy(j) + corner, t.hy(j + 1) - corner, even);
        }
    }
}

// Organisations in the yards of some blocks.
void CityBuilder::makeOrganisations(const Tile& t) {
    for (int n = rng_.range(4, 8); n > 0; --n) {
        const int i = rng_.range(0, t.nv - 1), j = rng_.range(0, t.nh - 1);
        if (t.isPark(i, j)) continue;
        const double cx = (t.vx(i) + t.vx(i + 1)) / 2 + rng_.range(-15, 15);
        const double cy = (t.hy(j) + t.hy(j + 1)) / 2 + rng_.range(-15, 15);
        if (blocked(cx, cy, 20)) continue;
        const int kind = rng_.range(0, kOrganisationKinds - 1);
        const QString number = QString::number(++organisationNumbers_[kind]);
        NameData org;
        org.name = u(kOrganisations[kind].full).arg(number);
        org.shortName = u(kOrganisations[kind].brief).arg(number);
        org.parentClass = kDistrictClass;
        org.parentRecord = t.district;
        const int32_t record = addName(kOrganisationClass, org);
        MapObjectData icon = shape(int16_t(kPharmacyType + kind),
                                   {QPoint(int(std::lround(cx)), int(std::lround(cy)))}, 1);
        icon.iconNumber = kind + 1;
        addNamedObject(kOrganisationClass, record, kOrganisationLayer, std::move(icon));
    }
}

void CityBuilder::finishHouseClasses() {
    const int first = kFirstHouseClass, last = int(d_.tables.classes.size()) - 1;
    if (last == first) return;
    for (int c = first; c <= last; ++c) {
        const int k = c - first + 1;
        d_.tables.classes[size_t(c)].className = u("Дома %1").arg(k);
        d_.tables.classes[size_t(c)].baseName = QStringLiteral("doma%1").arg(k);
    }
}

}  // namespace urbica::democity
