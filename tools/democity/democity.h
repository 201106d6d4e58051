// A made-up Russian city for trying the viewer and for tests: districts on a
// street grid with curved avenues, a river with embankments, ponds and parks,
// numbered houses, metro lines with stations, a railway, organisations shown as
// icons and monuments as circles. The same seed always gives the same bytes.
#pragma once

#include <QImage>
#include <QString>
#include <cstdint>
#include <vector>

#include "dataset/writer.h"
#include "dataset/toolkit.h"

namespace urbica::democity {

struct Options {
    uint64_t seed = 1;
    int scale = 1;  // about scale-fold the objects, on scale-fold the area
};
inline constexpr int kMaxScale = 400;

// Layer numbers (also the draw order).
enum Layer : int16_t {
    kDistrictLayer = 1,
    kWaterLayer,
    kParkLayer,
    kRailwayLayer,
    kStreetLayer,
    kHouseLayer,
    kMetroLineLayer,
    kStationLayer,
    kOrganisationLayer,
    kSightLayer,
    kSampleLayer,
    kLayerCount = kSampleLayer
};

// Class numbers; the house classes follow the fixed ones.
enum Class : int16_t {
    kDistrictClass = 1,
    kStreetClass,
    kStationClass,
    kMetroLineClass,
    kParkClass,
    kWaterClass,
    kOrganisationClass,
    kSightClass,
    kFirstHouseClass
};

// House classes are split so that none comes near the format's limit.
inline constexpr int32_t kHousesPerClass = 500000;

// The whole dataset in memory.
DatasetData buildCity(const Options& options);

struct Summary {
    int layers = 0;
    int64_t mapObjects = 0;
    int classes = 0;
    int64_t namedObjects = 0;
};
Summary summarize(const DatasetData& data);
// "слоёв: 11, объектов: 12345, классов: 9, именованных объектов: 3456"
QString summaryLine(const Summary& summary);

// The icon pictures, the overview marker and the program-folder files are
// shared with the other dataset tools.
using toolkit::iconPictures;
using toolkit::markerPicture;
using toolkit::writeProgramFiles;

}  // namespace urbica::democity
