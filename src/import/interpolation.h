// Interpolation lines of addresses (addr:interpolation = odd, even or all):
// a way whose two end nodes carry house numbers stands for the houses between
// them, spread along it. The collector keeps the lines and the nodes with an
// address; once the extract is read, the houses are made from them.
#pragma once

#include <QString>
#include <cstdint>
#include <osmium/osm/types.hpp>
#include <vector>

#include "collected.h"

namespace urbica::osmimport {

struct InterpolationLine {
    Ring points;
    osmium::object_id_type firstNode = 0, lastNode = 0;
    int step = 1;     // 2 for odd and even
    int parity = -1;  // 1 odd, 0 even, -1 any
    QString street;   // addr:street of the line, if it has one
};

// The step and parity an addr:interpolation value gives; false for values
// read as no interpolation (numeric steps and "alphabetic" are not).
bool interpolationKind(const char* value, int& step, int& parity);

// A house number given by digits only; -1 otherwise.
int plainHouseNumber(const QString& text);

// One house between the ends.
struct InterpolatedHouse {
    int number = 0;
    osmium::Location at;
};

// The houses strictly between numbers from (at the line's first point) and to
// (at its last), every step-th, placed by their share of the way from one end
// to the other along the line. Empty when the ends do not fit the kind (an
// odd line with an even end), are equal, or name more than kMaxInterpolated
// houses.
inline constexpr int kMaxInterpolated = 1000;
std::vector<InterpolatedHouse> interpolateHouses(const InterpolationLine& line, int from, int to);

}  // namespace urbica::osmimport
