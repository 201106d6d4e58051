// Turns an OpenStreetMap extract (.osm, .osm.pbf, .osm.bz2 ...) into a city
// dataset: a local projection to metres, layers of water, green areas,
// buildings, roads by class, railways, metro lines and stations, points of
// interest and districts, and the classes of streets with their houses,
// metro stations, districts and other named objects.
#pragma once

#include <QString>
#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "cityimport.h"
#include "dataset/writer.h"
#include "dataset/writerlock.h"
#include "osmhousenumber.h"
#include "osmtext.h"

namespace urbica::osmimport {

// Layer numbers, which are also the draw order.
enum Layer : int16_t {
    kDistrictLayer = 1,
    kGreenLayer,
    kWaterLayer,
    kRailwayLayer,
    kRoadLayer,
    kBuildingLayer,
    kMetroLineLayer,
    kStationLayer,
    kPoiLayer,
    kLayerCount = kPoiLayer
};

// Class numbers; the house classes follow the fixed ones.
enum Class : int16_t {
    kDistrictClass = 1,
    kStreetClass,
    kStationClass,
    kWaterClass,
    kParkClass,
    kPoiClass,
    kFirstHouseClass
};

// House classes are split well below the format's limit of a class.
inline constexpr int32_t kHousesPerClass = 500000;

// One address of the input and the street it was linked to, for the house check.
struct AddressSample {
    QString street;            // addr:street (or addr:place) as the input spells it
    QString houseNumber;       // addr:housenumber as the input spells it
    int32_t streetRecord = 0;  // its street's record in the street class
};

// Counts for the closing report.
struct ImportReport {
    int64_t nodes = 0, ways = 0, relations = 0;
    std::map<QString, int64_t> skipped;  // reason -> count
    TextStats text;
    int64_t inexactHouseNumbers = 0;
    int64_t areasFromWays = 0, areasFromRelations = 0;
    int64_t multipolygonRelations = 0;  // relations the area builder was asked to assemble
    // Addresses placed by the points read of an object that made no area.
    int64_t addressesFromParts = 0;
    // Houses made between the ends of interpolation lines (addr:interpolation).
    int64_t interpolatedHouses = 0;
    // Where the city's frame (start view, overview) came from: 1 the export's
    // box, 2 where most addresses and named places lie, 0 all the data.
    int cityAreaSource = 0;
    double seconds = 0;
    // Map objects of each layer and name records of each class (index = number).
    std::vector<int64_t> layerObjects, classRecords;
};

struct ImportState;

struct ImportResult {
    DatasetData data;
    ImportReport report;
    std::vector<AddressSample> addresses;
    // What readOsm read, for writeImported to build; it refers to this
    // result, which stays where it is until then.
    std::shared_ptr<ImportState> state;
};

// Reads the extract and builds the dataset in memory. False with a message
// when the file cannot be read as OpenStreetMap data (not OSM, truncated,
// unknown format) or holds nothing to draw; objects that cannot be used are
// skipped and counted in the report. When cancel is given and becomes true,
// the reading stops at the next block of the file and the result is false
// with the message importCancelledText().
bool importOsm(const QString& path, ImportResult& result, QString* error = nullptr,
               const Progress& progress = {}, const std::atomic<bool>* cancel = nullptr);
// The lean way for large extracts: readOsm reads the extract (refusing what
// importOsm refuses) and writeImported then builds the dataset and writes
// it to dir part by part as it is made, never holding it whole; dir is
// replaced as writeDatasetSafely replaces it (the same lock, folder rules and
// messages; nothing is written on any failure). After it result.data holds
// the tables, catalogue and small files' contents but no map objects or
// name records; the report counts them.
bool readOsm(const QString& path, ImportResult& result, QString* error = nullptr,
             const Progress& progress = {}, const std::atomic<bool>* cancel = nullptr);
bool writeImported(ImportResult& result, const QString& dir, QString* error = nullptr,
                   WriterLock* lock = nullptr, int waitMs = kDatasetLockWaitMs,
                   const std::function<void()>& onWait = {});
// Once the dataset is written and the closing report made: frees the dataset
// and hands the memory back, so that the address check does not stack on it.
void dropWrittenData(ImportResult& result);

// Cell sizes of levels 1 to 3 and the side of the grid square for a map of the
// given size (metres) holding about `objects` objects: powers of two, each
// dividing the next and the side.
struct GridChoice {
    int32_t gridExtent = 0;
    int32_t cells[3] = {0, 0, 0};
};
GridChoice chooseGrid(int64_t side, int64_t objects = 0);

// Halves the level's cell size of a layer until no cell lists more than the
// limit of entries (or the cell is 16 units); false when even that is not enough.
bool fitCellSizes(const std::vector<MapObjectData>& objects, LayerRecord& layer, int32_t gridExtent,
                  int maxEntries);

// "Районы: 12" ... lines of the closing report: map objects per layer, named
// objects per class, skipped objects and text changes.
QStringList reportLines(const ImportResult& result);

}  // namespace urbica::osmimport
