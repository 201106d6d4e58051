// The demo city's builder: the water, railways, streets and metro of the
// whole city (citynetwork.cpp) and the districts with their houses
// (citydistricts.cpp), put together by build() (democity.cpp).
#pragma once

#include <QPoint>
#include <algorithm>
#include <cmath>
#include <vector>

#include "citynames.h"
#include "citytypes.h"
#include "democity.h"

namespace urbica::democity {

// splitmix64: small, fast and the same on every platform and library.
class Rng {
public:
    explicit Rng(uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15ull + 0x632BE59BD9B4E019ull) {}
    uint64_t next() {
        uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    int range(int lo, int hi) { return lo + int(next() % uint64_t(hi - lo + 1)); }
    double unit() { return double(next() >> 11) * (1.0 / 9007199254740992.0); }
    bool chance(double p) { return unit() < p; }

private:
    uint64_t state_;
};

constexpr int32_t kTile = 2500;      // side of a district, metres
constexpr int32_t kMargin = 1000;    // free land around the city
constexpr int32_t kGridStep = 4000;  // every cell size divides it
constexpr int32_t kSetback = 10;     // from a street's axis to the house front
constexpr double kRiverHalfWidth = 80;
constexpr double kPi = 3.14159265358979323846;

struct River {
    double base, amplitude, wavelength, phase;
    double centre(double x) const {
        return base + amplitude * std::sin(2 * kPi * x / wavelength + phase);
    }
};

// Numbers along one side of a street: 1, 3, 5 ... or 2, 4, 6 ..., now and then
// a letter (12А), a fraction (12/3) or a building number (12 корпус 2).
struct SideNumbers {
    int next;
    int last = 0;
    int letters = 0;
    int buildings = 1;
    void take(Rng& rng, NameData& house) {
        const double r = rng.unit();
        static const char16_t kLetters[] = {u'А', u'Б', u'В', u'Г'};
        if (last > 0 && last < 1000 && letters < 4 && r < 0.08) {
            house.number = QString::number(last) + QChar(kLetters[letters++]);
        } else if (last > 0 && buildings < 9 && r < 0.15) {
            house.number = QString::number(last);
            house.building = QString::number(++buildings);
        } else {
            house.number = QString::number(next);
            if (r < 0.23) house.fraction = QString::number(rng.range(1, 60));
            last = next;
            letters = 0;
            buildings = 1;
            next += 2;
        }
    }
};

class CityBuilder {
public:
    explicit CityBuilder(const Options& o) : rng_(o.seed), scale_(std::max(1, o.scale)) {}
    DatasetData build();

private:
    Rng rng_;
    int scale_;
    DatasetData d_;
    int tiles_ = 4;
    int32_t ox_ = 0, oy_ = 0, side_ = 0;
    std::vector<River> rivers_;
    std::vector<double> railBase_;
    double ringX_ = 0, ringY_ = 0, ringR_ = 0;
    int16_t houseClass_ = kFirstHouseClass;
    int stationsMade_ = 0;
    int organisationNumbers_[kOrganisationKinds] = {};
    int sightsMade_ = 0;
    int parksMade_ = 0;

    std::vector<MapObjectData>& layer(int l) { return d_.layerObjects[size_t(l)]; }
    std::vector<NameData>& names(int c) { return d_.classNames[size_t(c)]; }

    int32_t addObject(int16_t l, MapObjectData o) {
        layer(l).push_back(std::move(o));
        return int32_t(layer(l).size());
    }
    int32_t addName(int16_t c, NameData n) {
        names(c).push_back(std::move(n));
        return int32_t(names(c).size());
    }
    // The object becomes one of the named object's map objects.
    void attach(int16_t c, int32_t record, int16_t l, int32_t object) {
        names(c)[size_t(record - 1)].mapObjects.push_back({l, object});
        MapObjectData& o = layer(l)[size_t(object - 1)];
        o.nameKind = c;
        o.nameIndex = record;
    }
    int32_t addNamedObject(int16_t c, int32_t record, int16_t l, MapObjectData o) {
        const int32_t n = addObject(l, std::move(o));
        attach(c, record, l, n);
        return n;
    }
    static MapObjectData shape(int16_t type, std::vector<QPoint> pts, int16_t maxLevel) {
        MapObjectData o;
        o.typeIndex = type;
        o.points = std::move(pts);
        o.maxLevel = maxLevel;
        return o;
    }
    double left() const { return ox_; }
    double top() const { return oy_; }
    int32_t districtAt(double x, double y) const {
        const int tx = std::clamp(int((x - ox_) / kTile), 0, tiles_ - 1);
        const int ty = std::clamp(int((y - oy_) / kTile), 0, tiles_ - 1);
        return ty * tiles_ + tx + 1;
    }
    double railCentre(size_t q, double x) const {
        return railBase_[q] + 200 * std::sin(x / 3700.0 + double(q));
    }
    double highwayCentre(int h, double x) const {
        const double t = x - ox_;
        return h == 0 ? oy_ + side_ - t + 650 * std::sin(t / 2300.0)
                      : oy_ + t + 600 * std::sin(t / 2000.0 + 1);
    }
    // True where nothing may be built: water, railways and the curved roads.
    bool blocked(double x, double y, double margin) const {
        for (const River& r : rivers_)
            if (std::abs(y - r.centre(x)) < kRiverHalfWidth + margin) return true;
        for (size_t q = 0; q < railBase_.size(); ++q)
            if (std::abs(y - railCentre(q, x)) < 20 + margin) return true;
        if (std::abs(std::hypot(x - ringX_, y - ringY_) - ringR_) < 20 + margin) return true;
        for (int h = 0; h < 2; ++h)
            if (std::abs(y - highwayCentre(h, x)) * 0.7071 < 20 + margin) return true;
        return false;
    }
    bool inWater(double x, double y, double margin) const {
        for (const River& r : rivers_)
            if (std::abs(y - r.centre(x)) < kRiverHalfWidth + margin) return true;
        return false;
    }

    void setUpTables();
    void makeWater();
    void makeRailways();
    void makeLongStreets();
    void makeCurvedRoads();
    void makeMetro();
    // One district's square, cut into nv columns by nh rows of blocks.
    struct Tile {
        int32_t x0 = 0, y0 = 0;
        int32_t district = 0;  // its name record
        int nv = 0, nh = 0;
        std::vector<char> park;  // block (i, j) at i * nh + j
        double vx(int k) const { return x0 + double(k) * kTile / nv; }
        double hy(int j) const { return y0 + double(j) * kTile / nh; }
        bool isPark(int i, int j) const { return park[size_t(i * nh + j)] != 0; }
    };
    using Pieces = std::vector<std::pair<QPoint, QPoint>>;
    void makeTile(int tx, int ty);
    void makeParks(Tile& t);
    void addPark(Tile& t, int i0, int j0, int span);
    void addPond(int32_t district, double cx, double cy);
    Pieces dryRuns(bool horizontal, double line, double from, double to) const;
    void makeInnerStreets(const Tile& t);
    void makeOrganisations(const Tile& t);
    void houseRow(int32_t street, bool horizontal, double line, int side, double from, double to,
                  SideNumbers& numbers);
    int32_t addHouse(NameData house, MapObjectData building, int32_t street);
    void finishHouseClasses();
};

}  // namespace urbica::democity
