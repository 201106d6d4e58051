// The picture boxes of the main window that the redraw pipeline draws into,
// and the hooks through which it touches the window itself.
#pragma once

#include <QSize>
#include <QString>
#include <functional>

#include "draw/picturebox.h"

namespace urbica {

// A rectangle shape in map units (the view frame in the overview).
struct FrameShape {
    double left = 0, top = 0, width = 0, height = 0;
    bool visible = true;
};

struct MapBoxes {
    PictureBox map;           // the visible map
    PictureBox hidepage;      // finished picture with marks
    PictureBox originalpage;  // picture without marks
    PictureBox nav;           // the overview
    PictureBox tempnav;       // clean copy of the overview
    PictureBox images;        // scratch box for icons and markers
    FrameShape navfrag;       // current view frame in the overview
    // The hidepage version and part the map was last restored from; the map
    // equals hidepage there but for what it has changed since.
    quint64 mapRestoredFrom = ~quint64(0);
    QSize mapRestoredSize;
};

// What the pipeline asks of the window; every hook may be left empty.
struct ViewHooks {
    std::function<void()> pumpEvents;         // let pending events run
    std::function<void(bool)> setBusyCursor;  // hourglass on / default
    std::function<void()> clearPick;          // drop the current pick
    std::function<void()> hideFragment;       // hide the frame on the map
    std::function<void()> resetPointerMode;   // back to the normal pointer mode
    std::function<void()> clearInfoLine;      // empty the info line (the ticker goes on)
    // The info line names a found or picked object in light red; the ticker
    // leaves it there until the line is emptied.
    std::function<void(const QString&)> showObjectName;
    std::function<void(bool, bool)> setHistoryButtons;  // back, forward enabled
    std::function<void(PictureBox&)> boxChanged;        // a box's picture changed: show it
};

}  // namespace urbica
