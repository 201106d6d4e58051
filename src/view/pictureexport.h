// Saving what the map box shows as a BMP picture: the whole picture, or a
// rectangle of it given in map units. Nothing is redrawn for an export.
#pragma once

#include <QImage>
#include <QRect>
#include <QRectF>
#include <QString>

#include "view/viewstate.h"

namespace urbica {

// The save dialog's filter: BMP pictures, then all files.
QString exportFilter();
// The error text of every failed export.
QString exportErrorText();

// The file name to write for a name chosen in the dialog: empty when the
// name is blank (nothing is saved); ".bmp" appended unless the name already
// ends in it, in any case.
QString exportFileName(const QString& chosen);

// The pixels of the map picture covered by a rectangle in map units, for the
// view v. A rectangle drawn from right to left or bottom to top (negative
// width or height) covers the same pixels as the one drawn the other way.
QRect exportPixelRect(const QRectF& frameMapUnits, const ViewState& v);

// The part of the picture under a pixel rectangle, exactly that size; pixels
// outside the picture are white. Of a picture with a device pixel ratio, the
// rectangle is in its logical pixels and the part keeps the ratio's pixels.
QImage pictureCutOut(const QImage& picture, const QRect& pixels);

// The picture with the data's notice in its lower-right corner, as the map
// draws it; the picture itself for an empty notice.
QImage pictureWithNotice(const QImage& picture, const QString& notice);

// Writes the picture as a Windows bitmap, replacing the file as a whole.
// False with the reason when it cannot be written (a missing folder, a
// read-only place, an empty picture).
bool savePictureBmp(const QImage& picture, const QString& path, QString* error = nullptr);

}  // namespace urbica
