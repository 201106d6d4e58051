// What the reading passes collect from an extract before anything is
// projected: pending map objects in degrees, and the named objects, streets,
// houses and addresses they belong to.
#pragma once

#include <QString>
#include <cstdint>
#include <osmium/osm/location.hpp>
#include <vector>

#include "osmhousenumber.h"

namespace urbica::osmimport {

using Ring = std::vector<osmium::Location>;

enum class Shape : uint8_t { Line, Area, Point, Square };

// One object to draw, still in degrees.
struct Pending {
    int16_t layer = 0;
    int16_t type = 0;
    int16_t maxLevel = 3;
    Shape shape = Shape::Line;
    int16_t nameClass = 0;   // a fixed class (not houses)
    int32_t nameRecord = 0;  // from 1 within that class
    int32_t house = -1;      // index into the houses, for buildings with an address
    int32_t icon = 0;
    std::vector<Ring> rings;  // lines and points: one; areas: the outer ring, then the inner ones
};

struct Named {
    QString name;
    std::vector<QString> otherNames;  // every name its objects give, whole and in Unicode
    std::vector<size_t> pendings;
    osmium::Location where;  // a point of it, for the district that holds it
    int32_t district = 0;    // record in the district class
    QString whole;           // the Unicode name its shown name was made from
};

struct Street {
    QString key;                      // the name as addresses spell it
    QString display;                  // the name shown
    std::vector<QString> otherNames;  // names of its ways and addr:street spellings, in Unicode
    std::vector<size_t> pendings;
    std::vector<int32_t> houses;
    osmium::Location where;
    int32_t district = 0;
    QString whole;  // the Unicode name its display was made from
};

struct House {
    int32_t fields = 0;   // index into the builder's house fields
    int32_t street = -1;  // index into the streets
    size_t pending = 0;
    bool alone = true;         // its address names this house only, read in full
    bool approximate = false;  // placed along an interpolation line
};

inline constexpr size_t kNoPending = size_t(-1);

struct Address {
    QString street, number;
    size_t pending = kNoPending;  // kNoPending while its way may still make an area
    osmium::Location where;
    bool approximate = false;  // made between the ends of an interpolation line
};

// An object of a kind of place (its tag, "amenity=pharmacy") and the pending
// map object that draws it.
struct KindNote {
    QString tag;
    size_t pending = 0;
    osmium::Location where;  // the object's point, or the centre of its area
};

// A named place given as a point, and a named district given as an area.
struct PlacePoint {
    osmium::Location at;
    int32_t record;
    bool city = false;  // place=city or town
};
struct DistrictArea {
    Ring ring;
    int32_t record;
};

}  // namespace urbica::osmimport
