// Parts of the dataset writer kept in files of their own.
#pragma once

#include <QString>

#include "dataset/filetarget.h"
#include "dataset/writer.h"

namespace urbica::writer_parts {

inline void setError(QString* error, const QString& text) {
    if (error) *error = text;
}
// Makes the folder and those above it; false, with a message, when it cannot.
bool makeFolder(const QString& dir, QString* error);

// The icon pictures under icons/ (none when the dataset has no icons).
bool writeIcons(const DatasetData& d, const FileTarget& out, QString* error);
// The other names of objects (urbica.snm) and the projection (urbica.geo),
// each only when the dataset has it.
bool writeExtras(const DatasetData& d, const FileTarget& out, QString* error);

// In writergrid.cpp.
struct Box {
    int32_t x1 = 0, y1 = 0, x2 = 0, y2 = 0;
};
// The box as stored: from the points when there are any, else as given.
Box storedBox(const MapObjectData& o);
// The area the grid lists the object in (the stored box with its ends ordered).
Box gridBox(const MapObjectData& o);
// False with a message when the object's box leaves the grid square.
bool checkObjectRange(const MapObjectData& o, int32_t gridExtent, qsizetype number, QString* error);
// False with a message when the cell size does not divide the square or the
// grid has too many cells.
bool checkGridShape(int32_t gridExtent, int32_t cellSize, QString* error);
// Columns and rows of the cells a box overlaps; an edge on gridExtent belongs
// to the last cell.
struct CellRange {
    int32_t c0, c1, r0, r1;
};
CellRange cellRange(const Box& b, int32_t cellSize, int32_t n);
// Entries per cell of one level's grid, cell (col, row) at col * n + row;
// false when the grid's shape, an object's position or a cell's size breaks a rule.
bool countCellEntries(const std::vector<MapObjectData>& objects, int level, int32_t gridExtent,
                      int32_t cellSize, std::vector<int32_t>& counts, QString* error);

}  // namespace urbica::writer_parts
