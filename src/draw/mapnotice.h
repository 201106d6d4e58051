// The data's notice ("© участники OpenStreetMap") in the lower-right corner
// of a map picture: small dark text on a white strip, as the data's licence
// asks wherever the map is shown.
#pragma once

#include <QRect>
#include <QString>

namespace urbica {

class PictureBox;

// The pixels the notice takes in a drawn part of width x height pixels of
// box (empty for an empty text or a part too small to hold it).
QRect mapNoticeRect(const PictureBox& box, const QString& text, int width, int height);

// Draws the notice into the drawn part (width x height pixels) of box, whose
// map scale and drawing state are kept.
void drawMapNotice(PictureBox& box, const QString& text, int width, int height);

}  // namespace urbica
