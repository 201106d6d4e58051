// What is near: a query that names a kind of place ("аптека", "кафе рядом",
// "банкоматы") lists the objects of that kind nearest first to a point, with
// the distance. The places come from the dataset's kinds file (urbica.knd);
// a dataset without it takes the object types whose name is a word of the
// kind ("Аптеки" for "аптека") or the query itself.
#pragma once

#include <QString>
#include <vector>

#include "dataset/listmodel.h"
#include "dataset/names.h"

namespace urbica {

struct NearbyPlace {
    QString label;        // the kind ("Аптека") or the object type's name
    int classNumber = 0;  // the named object it belongs to; 0 when it has no name
    int32_t record = 0;
    int layer = 0;  // its map object
    int32_t object = 0;
    double x = 0, y = 0;  // its place, map units
    double metres = 0;    // from the point asked about
};

// At most this many places are listed in the window's searches.
inline constexpr int kNearbyListLimit = 100;

// The places of the kinds the text names, nearest first to (x, y) in map
// units, each named object and each map object once, at most limit of them
// (0: all). Distances are on the Earth when the dataset records its
// projection, else a map unit is taken as a metre. Empty when the text names
// no kind; problem tells a damaged kinds file.
std::vector<NearbyPlace> findNearby(const NameContext& ctx, const QString& text, double x, double y,
                                    int limit, QString* problem = nullptr);

// "320 м" below a kilometre (whole metres), "1,2 км" from there (one decimal
// below 10 km, whole kilometres beyond).
QString distanceText(double metres);

// The list entries of the places: "Аптека Ригла — 320 м" ("Аптека — 320 м"
// without a name), item data itemKey of the named object or, for one
// without a name, mapObjectItemData of its map object.
std::vector<ListModel::Item> nearbyItems(const NameContext& ctx,
                                         const std::vector<NearbyPlace>& places);

// The item data of a map object without a name: below zero, so that no
// itemKey is ever taken for it.
qint64 mapObjectItemData(int layer, int32_t object);
// The map object of such item data; false for an itemKey.
bool decodeMapObjectItem(qint64 data, int& layer, int32_t& object);

}  // namespace urbica
