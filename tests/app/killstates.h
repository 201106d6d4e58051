// What the kill tests write by turns: two states of each file (or of the
// dataset), known to the writing program and to the test that checks what
// a kill left behind.
#pragma once

#include <QString>

#include "bookmarks/bookmarkfile.h"
#include "dataset/settings.h"
#include "dataset/tables.h"
#include "dataset/writer.h"
#include "democity.h"
#include "view/layerorder.h"

namespace urbica::killtest {

// The settings file at exit: state 1 has the scale bar off and labels apart.
inline Settings settingsState(int which, const QString& dataDirectory) {
    Settings s;
    s.dataDirectory = dataDirectory;
    if (which == 1) {
        s.scaleBar = 0;
        s.labelsApart = 1;
    }
    return s;
}

// Bookmark number k, live.
inline BookmarkRecord bookmarkState(qint64 k) {
    BookmarkRecord r;
    r.name = QStringLiteral("Закладка %1").arg(k);
    r.left = float(k * 10);
    r.top = float(k * 5);
    r.width = float(100 + k);
    return r;
}

// The tables after the layer-order dialog: state 1 has the first drawn
// layer moved down and the first selectable layer switched off.
inline Tables tablesState(int which, const Tables& pristine) {
    Tables t = pristine;
    if (which == 1) {
        LayerOrderList draw = drawOrderList(t), select = selectOrderList(t);
        moveEntryDown(draw, 0);
        if (!select.empty()) select.front().selected = !select.front().selected;
        storeLayerOrder(t, draw, select);
    }
    return t;
}

// The dataset imported over the last one: the demo city of seed 1 or 2.
inline DatasetData datasetState(int which) {
    democity::Options o;
    o.seed = uint64_t(which + 1);
    return democity::buildCity(o);
}

}  // namespace urbica::killtest
