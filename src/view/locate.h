// Showing a named object on the map: the view is fitted around its map
// objects, the object is named in the info line and drawn highlighted; and the
// command that widens the view to the nearest metro station.
#pragma once

#include <QString>
#include <cstdint>

#include "view/appstate.h"
#include "view/mapboxes.h"

namespace urbica {

struct ViewRect {
    double left = 0, top = 0, width = 0, height = 0;
};

// The box of a named object's map objects in map units: smallest X and Y,
// largest X and Y. References to a layer that does not exist, to object
// records of 0 or less or past the end of the layer's object file are passed
// over; the box starts from the first object that can be read. False when
// none can be read. Given problem, a reference that could not be read because
// its file (the class's .ssl, the layer's .zgs) is missing, short or not a
// whole number of records names that file there.
struct ObjectBox {
    int32_t x1 = 0, y1 = 0, x2 = 0, y2 = 0;
};
bool namedObjectBox(const AppState& s, int classNumber, int32_t record, ObjectBox& out,
                    QString* problem = nullptr);

// The view that fitView asks for around the box (x1, y1)-(x2, y2) in a map box
// of the given outer size: a margin of a tenth on each side, at least 150 map
// units along the longer side, the other side following the box's shape.
ViewRect fittedView(int mapWidth, int mapHeight, double x1, double y1, double x2, double y2);

// Sets the view to fittedView and redraws it, recording it in the history.
void fitView(AppState& s, MapBoxes& boxes, const ViewHooks& hooks, double x1, double y1, double x2,
             double y2);

// Fits the view around the named object, names it in the info line and draws
// it highlighted. False (and nothing changes) when it has no map object that
// can be read.
bool showNamedObject(AppState& s, MapBoxes& boxes, const ViewHooks& hooks, int classNumber,
                     int32_t record);

// The same for one map object without a name (a place found by its kind):
// the view is fitted around it, the info line gets pickedObjectText and the
// object is drawn highlighted. False when it cannot be read.
bool showMapObject(AppState& s, MapBoxes& boxes, const ViewHooks& hooks, int layer, int32_t object);

// Widens the view about its centre until the station of class k nearest to
// the centre lies on its edge, with a margin, and redraws it (recorded).
// Nothing changes (false) for a class outside the table, when no station lies
// within gridExtent / metroRangeDivisor of the centre, or when the nearest
// one is at the centre itself.
bool nearestMetro(AppState& s, MapBoxes& boxes, const ViewHooks& hooks, int classNumber);

}  // namespace urbica
