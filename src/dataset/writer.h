// Writes a complete dataset from objects held in memory: the catalogue and
// tables, per layer the grid index at levels 1 to 3 with object records and
// the point pool, per class the name index, map-object and part references
// and the name file, and the icon pictures. The readers read it back.
#pragma once

#include <QImage>
#include <QPoint>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "dataset/approximate.h"
#include "dataset/datasource.h"
#include "dataset/filetarget.h"
#include "dataset/georef.h"
#include "dataset/kindplaces.h"
#include "dataset/labelkinds.h"
#include "dataset/namerecords.h"
#include "dataset/objects.h"
#include "dataset/searchnames.h"
#include "dataset/tables.h"

namespace urbica {

// Limits of the formats that writeDataset enforces.
inline constexpr int kMaxCellEntries = CellEntry::kMaxPerCell;  // entries one grid cell may list
inline constexpr int32_t kMaxClassRecords = 999999;  // name records of one class (itemKey)
inline constexpr int kMaxRefs = 32767;               // map objects, parts, points of one record
inline constexpr int64_t kMaxGridCells = 1 << 24;    // cells of one level's grid (a 96 MB index)

// One map object of a layer; its number is its position (from 1) in the layer's list.
// With points, the box is taken from them; without, the given box is kept.
// An icon (iconNumber > 0) stores its number in place of the point offset; its
// points (usually one, the centre) stay out of the pool, which is padded so that
// a reader taking the icon number as a point offset still reads inside the file.
struct MapObjectData {
    int16_t typeIndex = 0;
    int16_t nameKind = 0;   // class number of the object's name (0: none)
    int32_t nameIndex = 0;  // name-record number in that class
    // Bounding box (smallest X, Y; largest X, Y). For lines and areas it is taken
    // from the points; for rotated text (mode 2) it holds the two points, for
    // circles and icons the centre in x1, y1.
    int32_t x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    std::vector<QPoint> points;
    int32_t iconNumber = 0;  // icons: stored in place of the point offset
    int16_t maxLevel = 3;    // listed in the grids of levels 1 .. maxLevel
};

// (layer number, object number) in .ssl; (class number, name-record number) in .dnl.
using ObjectRefData = ObjectRef;

// One named object of a class; its number is its position (from 1) in the class's list.
struct NameData {
    QString name;                        // street name (32), plain name (94) or full name (80)
    QString shortName;                   // nameStyle 4: the 25-character short name
    QString number, fraction, building;  // nameStyle 3: 4, 3 and 3 characters
    std::vector<ObjectRefData> mapObjects;
    std::vector<ObjectRefData> parts;
    int16_t parentClass = 0;
    int32_t parentRecord = 0;
};

struct IconData {
    int32_t number = 0;
    QImage mask16, picture16, mask32,
        picture32;  // mask black where opaque; picture black where transparent
};

struct DatasetData {
    Catalogue catalogue;
    Tables tables;  // types, layers, orders, classes with classExtra, iconCodes
    std::vector<std::vector<MapObjectData>> layerObjects{1};  // index = layer number
    std::vector<std::vector<NameData>> classNames{1};         // index = class number
    std::vector<IconData> icons;
    // Written only when present: other names for the searches (urbica.snm),
    // the places of each kind (urbica.knd), the projection of the map
    // (urbica.geo) and the data's source and licence (urbica.src).
    std::vector<SearchNameData> searchNames;
    std::vector<KindPlace> kindPlaces;
    // Map labels that differ from the listed name (urbica.lbl) and the
    // structures of houses (urbica.hst, the name is the structure's number).
    std::vector<SearchNameData> mapLabels, houseStructures;
    std::optional<GeoReference> geo;
    // Written only when present: houses placed by estimate (urbica.apx).
    std::vector<HouseRef> approximateHouses;
    // Written only when present: the whole names shown for objects whose name
    // lost letters or was cut (urbica.dnm).
    std::vector<SearchNameData> displayNames;
    std::optional<DataSource> source;
    // Written only when present: the label kind of each type, by type
    // number (urbica.lkd).
    std::vector<LabelKind> labelKinds;
};

// Writes everything into dir (created when missing). False with a reason on
// the first failure, or when the data break a rule of the formats (an object
// outside the grid square, a cell of more than 10,922 entries, a cell size that
// does not divide gridExtent, a record number past the 16- or 32-bit fields, a
// class whose itemKey would pass the 32-bit range, a text too long for its
// field, a base name that is empty, too long or not a plain file name).
// Empty drawOrder / selectOrder tables are written as 1 .. layer count,
// classExtra is padded with zeros and an empty iconCodes table lists the icons.
// All data are checked before the first file is written, so a refused
// dataset leaves dir untouched.
bool writeDataset(const DatasetData& data, const FileTarget& out, QString* error = nullptr);

// The records of one class handed over one at a time: at(i) for i from 0 to
// count - 1, each record valid until the next call.
struct NameRecords {
    size_t count = 0;
    std::function<const NameData&(size_t)> at;
};

// Writing a dataset part by part, for a writer that cannot hold it whole: the
// files of each layer and each class as soon as it is finished, then
// writeDatasetRest for the tables, the catalogue and the other files. data
// gives the tables and the grid square (and for the rest everything but the
// layers' objects and the classes' records, which it need not hold); the
// objects and records of a part come on their own. Each part is checked as
// writeDataset checks it, but only as it is written, so a refused part leaves
// dir partly written, for the caller to discard.
bool writeLayerFiles(const DatasetData& data, int layer, const std::vector<MapObjectData>& objects,
                     const FileTarget& out, QString* error = nullptr);
// writeLayerFiles in two parts: the point pool and grid files, which only
// the objects' geometry gives (so they may be written before the objects'
// names are known), then the object records. The geometry part makes the
// checks.
bool writeLayerGeometryFiles(const DatasetData& data, int layer,
                             const std::vector<MapObjectData>& objects, const FileTarget& out,
                             QString* error = nullptr);
bool writeLayerRecordFiles(const DatasetData& data, int layer,
                           const std::vector<MapObjectData>& objects, const FileTarget& out,
                           QString* error = nullptr);
bool writeClassFiles(const DatasetData& data, int cls, const NameRecords& names,
                     const FileTarget& out, QString* error = nullptr);
bool writeDatasetRest(const DatasetData& data, const FileTarget& out, QString* error = nullptr);

// A picture as a BMP file. The resolution in its header is always 100 dots
// per inch, so that a dataset comes out byte for byte the same from a tool
// and from the window (a picture made with a window system records 96).
bool encodeBmp(const QImage& image, QByteArray& out);

// One level's grid index as written: .tb records (count, first entry) and
// .sr entries (object number, flags), exposed for tests and tools.
struct GridIndex {
    using Cell = GridCell;
    struct Entry {
        int32_t object = 0;
        int16_t flags = 0;  // bit 0: also in a lower column; bit 1: also in a lower row
    };
    std::vector<Cell> cells;  // cell (col, row) at col * (gridExtent / cellSize) + row
    std::vector<Entry> entries;
};
// Builds the grid of one level; false when a rule of the format is broken.
// An object is listed when level <= its maxLevel, in every cell its box
// overlaps (a box edge on gridExtent counts to the last cell). Cells list their
// objects in object order; an empty cell has count 0 and first entry 0.
bool buildGridIndex(const std::vector<MapObjectData>& objects, int level, int32_t gridExtent,
                    int32_t cellSize, GridIndex& out, QString* error = nullptr);

}  // namespace urbica
