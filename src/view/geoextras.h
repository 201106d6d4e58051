// What an imported dataset adds beside the map files: its projection, for
// the latitude and longitude under the pointer, and the other names of its
// objects, which the searches read on their own.
#pragma once

#include <QString>
#include <QStringList>

#include "view/appstate.h"

namespace urbica {

// Reads the projection into state.geo and the data's source into
// state.source (nothing when the folder has none) and looks once at the files
// of other names, map labels, house structures, kinds of places, label kinds
// and whole names. The messages to show once, for a file that is there but
// damaged.
QStringList readDatasetExtras(AppState& state);

// "59.934567, 30.321234": latitude and longitude (WGS 84, 6 decimals) of a
// map point.
QString coordinateText(const GeoReference& geo, double x, double y);

}  // namespace urbica
