// A layer's object files: the grid index per level (.tb1-.tb3), the cell
// entries (.sr1-.sr3), the object records (.zgs) and the point pool (.xy4).
#pragma once

#include <QPoint>
#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

#include "dataset/datafile.h"
#include "dataset/tables.h"

namespace urbica {

// .zgs, 32 bytes.
struct ObjectRecord {
    static constexpr int kRecordLength = 32;
    int16_t typeIndex = 0;
    int16_t nameKind = 0;
    int32_t nameIndex = 0;
    int32_t x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    int16_t pointCount = 0;
    int32_t pointOffset = 0;  // 1-based byte position in the point pool; icons: the icon number
    int16_t maxLevel = 0;

    static ObjectRecord decode(const char* p);
    void encode(char* p) const;
    bool operator==(const ObjectRecord&) const = default;
};

// .tbL, 6 bytes.
struct GridCell {
    static constexpr int kRecordLength = 6;
    int16_t objectCount = 0;
    int32_t firstEntry = 0;

    static GridCell decode(const char* p);
    void encode(char* p) const;
    bool operator==(const GridCell&) const = default;
};

// .srL, 6 bytes.
struct CellEntry {
    static constexpr int kRecordLength = 6;
    uint16_t objectLow = 0;
    int16_t objectHigh = 0;
    int16_t flags = 0;  // bit 0: also in a lower column; bit 1: also in a lower row
    static constexpr int kMaxPerCell = 32767 / 3;  // a cell's entries times 3 fit 16 bits
    int64_t object() const { return int64_t(objectHigh) * 65536 + objectLow; }
    // The entry of an object number (from 1) with the given flags.
    static CellEntry of(int32_t object, int16_t flags);

    static CellEntry decode(const char* p);
    void encode(char* p) const;
    bool operator==(const CellEntry&) const = default;
};

// A point of the pool: x then y, 32 bits each.
struct PoolPoint {
    static constexpr int kLength = 8;
    static QPoint decode(const char* p);
    static void encode(char* p, const QPoint& point);
};

// The files of one layer, opened together and closed when this goes away.
// Level 0 opens only the object records and the point pool.
class LayerFiles {
public:
    LayerFiles(const QString& dataDirectory, const LayerRecord& layer, int level,
               FileCache* cache = nullptr);

    bool gridOpen() const { return grid_ && entries_ && grid_->isOpen() && entries_->isOpen(); }
    bool objectsOpen() const { return objects_.isOpen() && points_.isOpen(); }

    // Grid record n (from 1); false outside the file.
    bool readCell(int64_t n, GridCell& out);
    // count entries from first on; false when they run past the file or
    // count exceeds what a cell may hold.
    bool readEntries(int64_t first, int count, std::vector<CellEntry>& out);
    bool readObject(int64_t n, ObjectRecord& out);
    // The record's points in map units; false when they run past the pool.
    bool readPoints(const ObjectRecord& r, std::vector<QPoint>& out);

private:
    std::unique_ptr<RecordFile> grid_;
    std::unique_ptr<DataFile> entries_;
    RecordFile objects_;
    DataFile points_;
    QByteArray buffer_;
};

// Number of the grid record of cell (col, row): (gridExtent * col) \ cellSize + row + 1.
int64_t gridRecordNumber(int32_t gridExtent, int32_t cellSize, int64_t col, int64_t row);

}  // namespace urbica
