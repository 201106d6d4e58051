// The scale bar in the lower-left corner of the map picture: a round length
// (1, 2 or 5 times a power of ten metres) that takes between a quarter and a
// third of the picture's width.
#pragma once

#include <QString>

namespace urbica {

class PictureBox;

struct ScaleBar {
    double metres = 0;  // the round length
    double pixels = 0;  // its length on the picture
    QString text;       // "500 м", "2 км"
};

// The bar for a picture pictureWidth pixels wide at metresPerPixel: the round
// length whose pixels fall between a quarter and a third of the width, or the
// nearest one (by ratio) when none does. Metres below 1 are never chosen.
// An empty bar (metres 0) for a width or scale that is not positive.
ScaleBar scaleBarFor(double metresPerPixel, int pictureWidth);

// "1 м", "500 м", "2 км", "10 км".
QString scaleBarText(double metres);

// Draws the bar into the drawn part (width x height pixels) of box, whose map
// scale is kept.
void drawScaleBar(PictureBox& box, const ScaleBar& bar, int width, int height);

}  // namespace urbica
