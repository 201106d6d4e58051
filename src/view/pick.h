// The object under the pointer: the pick on a button press, which names and
// highlights the first object hit in selection order, and the hover test that
// wipes the highlight once the pointer has left the picked object.
#pragma once

#include <QPoint>
#include <QString>
#include <cstdint>
#include <span>

#include "dataset/objects.h"
#include "view/appstate.h"
#include "view/mapboxes.h"

namespace urbica {

// The current pick.
struct PickResult {
    int16_t found = 0;  // 1: an object is picked
    int16_t layer = 0;
    int32_t objectNumber = 0;
    ObjectRecord record;
};

// The colour of the info line while it names an object (light red).
inline constexpr uint32_t kObjectNameColour = 0xFF0000;  // RGB

// The hit rule of an object of type t for the pointer at (x, y) in map units.
// points are the object's points (read only for lines and areas); the box of
// the object is not looked at.
bool hitsObject(const ObjectType& t, const ObjectRecord& r, std::span<const QPoint> points,
                double x, double y, float unitsPerPixel, int iconSize, float pickTolerance);

// The first object in selection order whose hit rule holds at (x, y), without
// drawing anything. Layers that are hidden, unlisted, not selectable or have
// no level at this scale are passed over; damaged files skip the layer.
PickResult findObjectAt(const AppState& s, double x, double y);

// The text the info line shows for a picked object: the type name (objects
// without a class) or the class name, a blank and the object's full name.
QString pickedObjectText(const AppState& s, const ObjectRecord& r);

// The pick: finds the object, names it through hooks.showObjectName, restores
// the map from hidepage and draws the object (or its whole named object with
// its parts) highlighted on the map. Without a hit nothing changes on screen.
PickResult pickAt(AppState& s, MapBoxes& boxes, const ViewHooks& hooks, double x, double y);

// For the current pick: when the pointer is no longer over the object, empties
// the info line, wipes the highlight from the map and clears pick.found.
// True while the pointer is still over it.
bool pointerStillOver(AppState& s, MapBoxes& boxes, const ViewHooks& hooks, PickResult& pick,
                      double x, double y);

// Copies the finished picture of hidepage over the map (the view's pixel size).
void restoreMapFromHidepage(const AppState& s, MapBoxes& boxes);

}  // namespace urbica
