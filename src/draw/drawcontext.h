// What the drawing routines read besides the target: the dataset, the
// settings, the view being drawn and the label queue they feed.
#pragma once

#include <QString>
#include <functional>

#include "dataset/datafile.h"
#include "dataset/settings.h"
#include "dataset/tables.h"
#include "draw/labels.h"
#include "draw/picturebox.h"

namespace urbica {

// The view being drawn, in map units.
struct MapView {
    double viewLeft = 0, viewTop = 0, viewWidth = 0, viewHeight = 0;
    float unitsPerPixel = 1;
    int iconSize = 16;

    // Pixel of a map point: nearest((X - viewLeft) / unitsPerPixel), likewise Y.
    double pixelX(double x) const { return (x - viewLeft) / unitsPerPixel; }
    double pixelY(double y) const { return (y - viewTop) / unitsPerPixel; }
};

// The short name of a named object (class number, name-record number).
using NameLookup = std::function<QString(int classNumber, int32_t record)>;

struct DrawContext {
    const QString& dataDirectory;
    const Tables& tables;
    const Settings& settings;
    int32_t gridExtent = 0;
    MapView view;
    LabelQueue& labels;
    PictureBox& images;  // scratch box for icon transfers
    NameLookup objectName;
    FileCache* files = nullptr;  // data files and icon pictures kept between redraws
};

}  // namespace urbica
