// The part of an extract that is the city: the area the export was made for,
// or where nearly all of its addresses and named places lie. Lines that run
// far out of it (metro and railway lines, rivers) are still drawn, but the
// start view and the overview show this area.
#pragma once

#include <QRect>
#include <optional>
#include <osmium/osm/box.hpp>
#include <osmium/osm/location.hpp>
#include <vector>

#include "dataset/tables.h"

namespace urbica::osmimport {

// How the area was found, for the closing report.
enum class AreaSource { None, ExportBox, Addresses };

struct CityArea {
    osmium::Box box;
    AreaSource source = AreaSource::None;
};

// The box between the 1st and 99th hundredth of the points in each direction,
// so that a few far points (a mistyped coordinate, a station at the end of a
// line) do not count; nothing for fewer than 3 points.
std::optional<osmium::Box> boxOfMost(std::vector<osmium::Location> points);

// The export's box (the file's bounds or header box) where it overlaps the
// data, else the box of most of the places; nothing when there is neither.
CityArea cityArea(const osmium::Box& exported, const osmium::Box& data,
                  const std::vector<osmium::Location>& places);

// The start view and the overview frame of a catalogue whose extent is set,
// for the area in map units: the start view a little wider than the area
// (more when the area is tall, up to half again its width) about its centre,
// the overview a square a third larger than the area's longer side. A view
// that would leave the extent is moved back into it.
void frameCatalogue(Catalogue& c, const QRect& area);

}  // namespace urbica::osmimport
