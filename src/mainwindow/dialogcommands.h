// The menu commands that open the bookmark, layer order, print, export and
// interface settings dialogs, as the main window dispatches them.
#pragma once

#include <QString>
#include <functional>

#include "view/mapboxes.h"

namespace urbica {

class MainWindow;

using MessageFunction = std::function<void(const QString&)>;

// Runs the command named by a menu item's control name when it is one of
// "addzakl", "showzakl", "sloiporiadok", "printing", "tofile" and "interf";
// false for any other name.
bool runDialogCommand(MainWindow& w, const QString& name, const MessageFunction& message);

// The export of a rectangle drawn on the map (frag, in map units): the
// pixels under it are saved as a BMP file chosen by the user.
void exportMapPart(MainWindow& w, const FrameShape& frag, const MessageFunction& message);

}  // namespace urbica
