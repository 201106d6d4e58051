// The catalogue and the small tables of a dataset: layers with their scale
// levels, draw and selection orders, object types, classes, per-class values
// and icon codes. Every table is 1-based: entry 0 exists and stays empty.
#pragma once

#include <QByteArray>
#include <QString>
#include <array>
#include <cstdint>
#include <vector>

#include "dataset/datafile.h"

namespace urbica {

struct Settings;

// urbica.dat: one record of 1106 bytes.
struct Catalogue {
    static constexpr int kRecordLength = 1106;
    int32_t startX = 0, startY = 0, startWidth = 0;
    float minUnitsPerPixel = 0;
    int32_t extentLeft = 0, extentTop = 0, extentWidth = 0;
    int32_t gridExtent = 0;  // 0: no dataset
    float metroRangeDivisor = 0;
    int16_t streetClass = 0;
    int16_t metroClass = 0;
    QString reserved50;  // 50 characters at offset 56
    int32_t extentHeight = 0;
    int32_t overviewLeft = 0, overviewTop = 0, overviewWidth = 0;
    QString reserved984;   // 984 characters at offset 122
    QByteArray raw;        // the record as read, so unread bytes survive a rewrite
    QString bookmarkBase;  // base name of the bookmark file, set when the catalogue is read

    static Catalogue decode(const char* p);
    QByteArray encode() const;
};

struct ScaleLevel {
    int32_t cellSize = 0;
    float scaleLimit = 0;  // level applies while unitsPerPixel < scaleLimit; 0 unused; < 0 fallback
};

// urbica.sls, 234 bytes.
struct LayerRecord {
    static constexpr int kRecordLength = 234;
    QString layerName;  // 50
    int16_t shown = 0;
    QString baseName;  // 12
    int16_t onOverview = 0;
    int16_t selectable = 0;
    std::array<ScaleLevel, 5> levels{};
    int16_t listed = 0;
    QByteArray raw;

    QString fileBase() const { return baseName.trimmed(); }
    static LayerRecord decode(const char* p);
    QByteArray encode() const;
};

// ObjectType::drawMode: the geometry an object of the type draws. Any other
// value draws none, only the object's label.
inline constexpr int16_t kDrawLineOrArea = 1;   // a line, or an area when the type is closed
inline constexpr int16_t kDrawRotatedText = 2;  // sample text between two points
inline constexpr int16_t kDrawCircle = 3;
inline constexpr int16_t kDrawTripleLine = 4;  // grey, fill colour and dotted pen colour
inline constexpr int16_t kDrawLabelOnly = 5;
inline constexpr int16_t kDrawIcon = 7;

// urbica.tip, 130 bytes.
struct ObjectType {
    static constexpr int kRecordLength = 130;
    QString typeName;  // 46
    int16_t drawMode = 0;
    int32_t penColor = 0, fillColor = 0;
    int16_t lineWidth = 0;
    int32_t hiPenColor = 0, hiFillColor = 0;
    int16_t hiLineWidth = 0;
    int16_t closed = 0;
    int16_t labelMode = 0;
    QString fontName;  // 20
    int16_t labelBold = 0;
    int16_t labelSize = 0;
    int32_t labelColor = 0, hiLabelColor = 0;
    float labelScale = 0;
    int16_t penStyle = 0, fillStyle = 0, hiPenStyle = 0, hiFillStyle = 0;
    QByteArray raw;

    static ObjectType decode(const char* p);
    QByteArray encode() const;
};

// ClassRecord::nameStyle: how the names of a class are built and which layout
// its name file has (namerecords.h).
inline constexpr int16_t kPlainNameStyle = 1;  // also 5 and any value not below
inline constexpr int16_t kStreetNameStyle = 2;
inline constexpr int16_t kHouseNumberStyle = 3;
inline constexpr int16_t kLongNameStyle = 4;

// urbica.cl, 72 bytes.
struct ClassRecord {
    static constexpr int kRecordLength = 72;
    QString className;  // 50
    int16_t searchable = 0;
    int16_t nameStyle = 0;
    QString baseName;  // 12
    int16_t hasNames = 0;
    QByteArray raw;

    QString fileBase() const { return baseName.trimmed(); }
    static ClassRecord decode(const char* p);
    QByteArray encode() const;
};

struct IconCacheEntry {
    int16_t code = 0;
    int16_t loaded = 0;
};

struct Tables {
    std::vector<ObjectType> types{1};
    std::vector<LayerRecord> layers{1};
    std::vector<int16_t> drawOrder{0};
    std::vector<int16_t> selectOrder{0};
    std::vector<ClassRecord> classes{1};
    std::vector<int16_t> classExtra{0};
    std::vector<int16_t> iconCodes{0};
    std::vector<IconCacheEntry> iconCache{1};

    int typeCount() const { return int(types.size()) - 1; }
    int layerCount() const { return int(layers.size()) - 1; }
    int classCount() const { return int(classes.size()) - 1; }
};

// File names of the tables.
inline const char kCatalogueFile[] = "urbica.dat";
inline const char kLayerFile[] = "urbica.sls";
inline const char kDrawOrderFile[] = "urbica.srt";
inline const char kSelectOrderFile[] = "urbica.sel";
inline const char kTypeFile[] = "urbica.tip";
inline const char kClassFile[] = "urbica.cl";
inline const char kClassExtraFile[] = "urbica.clp";
inline const char kIconFile[] = "urbica.ics";

// The text shown when the dataset cannot be read.
QString noDataMessage();

// Reads urbica.dat and the tables. A missing catalogue leaves gridExtent 0
// and is no failure. Any other failure stops at that point (what was read
// before stays) and the result is false: the caller shows noDataMessage().
// After the tables are in, the saved type and class indexes of the settings
// are reset to 1 when they pass the tables' upper bounds.
bool readCatalogue(Settings& settings, Catalogue& catalogue, Tables& tables);

// Fills the type, layer and order, class and per-class tables from the data
// directory; false at the first file that is missing or unreadable.
bool loadTables(const QString& dataDirectory, Tables& tables);

// Writes the layer, order, type and class tables back in place, unless
// tableSaveMode is 2 (then nothing is written and the result is true).
// Each file is replaced whole, so a failed write leaves the old file. The
// cache, when given, forgets the files and all it derived from the dataset.
bool saveTables(const Settings& settings, const Tables& tables, QString* error = nullptr,
                FileCache* cache = nullptr);

// Reads urbica.ics; a missing or unreadable file leaves both lists empty.
void readIconTable(const QString& dataDirectory, Tables& tables);

// Detail level of a layer at a scale: the finest of levels 1 to 3 whose
// non-zero limit is above unitsPerPixel, else the highest level among 1 to 3
// with a negative limit, else 0 (not drawn).
int16_t viewlevel(const LayerRecord& layer, float unitsPerPixel);

}  // namespace urbica
