// The two layer orders as the layer order dialog edits them: the drawing
// order with the drawn switch and the pointer-search order with the
// selectable switch, and how a stored change reaches the tables, the table
// files, the overview and the map.
#pragma once

#include <QString>
#include <cstdint>
#include <vector>

#include "view/appstate.h"
#include "view/mapboxes.h"

namespace urbica {

struct LayerOrderEntry {
    QString name;       // the layer's name as stored, blanks included
    int16_t layer = 0;  // layer number
    bool selected = false;
};

using LayerOrderList = std::vector<LayerOrderEntry>;

// The listed layers in drawing order (selected = drawn) and in search order
// (selected = selectable). Empty positions and layer numbers outside the
// layer table are left out.
LayerOrderList drawOrderList(const Tables& t);
LayerOrderList selectOrderList(const Tables& t);

// Exchanges entry current with the one below or above it, whole (name, layer
// and selection), and returns the new current index; at the ends of the list
// nothing moves and current is returned.
int moveEntryDown(LayerOrderList& list, int current);
int moveEntryUp(LayerOrderList& list, int current);

// Writes both lists into the tables: positions from 1 in list order, the
// switches as -1 / 0, and every position after the last entry set to 0.
void storeLayerOrder(Tables& t, const LayerOrderList& draw, const LayerOrderList& select);

// After a stored change: the tables are written back (unless tableSaveMode
// is 2), the overview is rebuilt and the map rendered anew for the same
// view, without a history entry. The picture is drawn even when the files
// cannot be written; the result is then false with the reason.
bool applyLayerOrder(AppState& s, MapBoxes& boxes, const ViewHooks& hooks,
                     QString* error = nullptr);

}  // namespace urbica
