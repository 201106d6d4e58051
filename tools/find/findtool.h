// urbica-find: the house, address, text and metro searches of the dialogs
// without a window, batch geocoding and the house at a point.
//
//   urbica-find --data DIR [--json] house STREET NUMBER [--letter L] [--fraction F]
//               [--building B] [--nearest] [--street-record N]
//   urbica-find --data DIR [--json] address "ONE-LINE ADDRESS"
//   urbica-find --data DIR [--json] text TEXT [--class N]...
//   urbica-find --data DIR [--json] metro TEXT
//   urbica-find --data DIR [--json] geocode FILE|-   ("street<TAB>house" or one-line addresses)
//   urbica-find --data DIR addresses     (every house as a geocode line)
//   urbica-find --data DIR [--json] at LAT LON       (the nearest house within 100 m)
//   urbica-find --data DIR [--json] near TEXT [--at LAT LON | --view LEFT TOP WIDTH]
//               [--limit N]   (a kind of place or a name, nearest first)
//
// Each result is one line: display name, class, name record, centre X and Y
// of the object's box in map units (tab-separated, or a JSON object with
// --json), and, when the dataset records its projection, the centre's
// latitude and longitude (WGS 84, 6 decimals; "lat" and "lon" in JSON).
// near puts the distance in metres (one decimal) and the kind before each line
// ("distance_m" and "kind" in JSON; the kind is empty for a name).
// Exit status 0 when something was found, 1 when nothing, 2 on bad use or
// an unreadable dataset.
#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QList>
#include <QString>
#include <optional>

#include "search/houses.h"

namespace urbica::findtool {

inline constexpr int kFound = 0;
inline constexpr int kNotFound = 1;
inline constexpr int kBadUse = 2;

// Runs the program on its arguments (without the program name); addresses
// for geocode from "-" are read from in.
int run(const QList<QByteArray>& args, QIODevice& in, QIODevice& out, QIODevice& err);

// The house fields of an address's house text in the forms the importer
// reads ("12", "12А", "12к2", "1/25 литА", "13-15": the first house, "вл1":
// matched as text); empty when the text names no house.
std::optional<HouseQuery> houseQueryFromText(const QString& text);

}  // namespace urbica::findtool
