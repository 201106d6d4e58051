// Pieces the dataset makers (the importer, the demo city) share: style
// records for the tables, the organisation icons, the overview marker and the
// program-folder files.
#pragma once

#include <QImage>
#include <QString>
#include <cstdint>
#include <vector>

#include "dataset/tables.h"
#include "dataset/writer.h"

namespace urbica::toolkit {

// A colour value of the tables: red in the low byte.
int32_t rgb(int r, int g, int b);

// An object type with the usual highlight, font and fill settings.
ObjectType makeType(const char* name, int16_t mode, int32_t pen, int32_t fill, int16_t width,
                    int16_t closed, int16_t labelMode, float labelScale);
// "Станция метро": a dark red ring with a red middle and a bold label, the
// same in every dataset our writers make.
ObjectType metroStationType();
// A shown, listed layer with levels below 3 and 15 units per pixel and a fallback.
LayerRecord makeLayer(const char* name, const char* base, bool overview, bool selectable,
                      int32_t cell1, int32_t cell2, int32_t cell3);
ClassRecord makeClass(const QString& name, const char* base, int16_t style, bool searchable,
                      bool hasNames);

// Icon numbers of the organisation pictures.
enum Icon : int32_t {
    kPharmacyIcon = 1,
    kSchoolIcon,
    kHospitalIcon,
    kPostIcon,
    kLibraryIcon,
    kIconCount = kLibraryIcon
};
// The icon pictures, numbers 1 to kIconCount.
std::vector<IconData> iconPictures();

// The overview marker: the AND picture (white around, black on the marker)
// or the XOR picture (black around, coloured on the marker), 32 × 32.
QImage markerPicture(bool andMask);

// Writes reklama.txt, arrowsbl.bmp, arrowscl.bmp and an urbica.cfg that
// points at dataDirectory and opens the window at 1280 x 800 pixels at
// (100, 100) into programDirectory, with smoothing on; with labelsApart the
// settings keep the map's labels apart.
bool writeProgramFiles(const QString& programDirectory, const QString& dataDirectory,
                       QString* error = nullptr, bool labelsApart = false);

}  // namespace urbica::toolkit
