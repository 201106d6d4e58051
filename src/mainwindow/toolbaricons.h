// Toolbar glyphs drawn at start-up, one per button key of the toolbar.
#pragma once

#include <QIcon>
#include <QImage>
#include <QString>

namespace urbica {

// The glyph of a toolbar key on a transparent square of side px; an unknown
// key gives an empty (fully transparent) picture.
QImage toolbarGlyph(const QString& key, int px = 24);
QIcon toolbarIcon(const QString& key);

}  // namespace urbica
