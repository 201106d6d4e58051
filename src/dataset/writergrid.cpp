// The grid index of a layer's level: which cells each object's box overlaps,
// how many entries each cell lists, and the index as written.
#include <QString>
#include <algorithm>
#include <limits>

#include "dataset/writerparts.h"

namespace urbica::writer_parts {

// The box as stored: from the points when there are any, else as given.
Box storedBox(const MapObjectData& o) {
    if (o.points.empty()) return {o.x1, o.y1, o.x2, o.y2};
    Box b{o.points[0].x(), o.points[0].y(), o.points[0].x(), o.points[0].y()};
    for (const QPoint& p : o.points) {
        b.x1 = std::min(b.x1, int32_t(p.x()));
        b.y1 = std::min(b.y1, int32_t(p.y()));
        b.x2 = std::max(b.x2, int32_t(p.x()));
        b.y2 = std::max(b.y2, int32_t(p.y()));
    }
    return b;
}

// The area the grid lists the object in. Without points the stored values may
// be two ends of a segment in any order (rotated text), so they are ordered.
Box gridBox(const MapObjectData& o) {
    Box b = storedBox(o);
    return {std::min(b.x1, b.x2), std::min(b.y1, b.y2), std::max(b.x1, b.x2), std::max(b.y1, b.y2)};
}

bool checkObjectRange(const MapObjectData& o, int32_t gridExtent, qsizetype number,
                      QString* error) {
    const Box b = gridBox(o);
    if (b.x1 < 0 || b.y1 < 0 || b.x2 > gridExtent || b.y2 > gridExtent) {
        setError(error, QStringLiteral("объект %1 (%2, %3 – %4, %5) лежит вне квадрата сетки 0..%6")
                            .arg(number)
                            .arg(b.x1)
                            .arg(b.y1)
                            .arg(b.x2)
                            .arg(b.y2)
                            .arg(gridExtent));
        return false;
    }
    return true;
}

bool checkGridShape(int32_t gridExtent, int32_t cellSize, QString* error) {
    if (gridExtent <= 0) {
        setError(error, QStringLiteral("размер сетки gridExtent должен быть больше 0"));
        return false;
    }
    if (cellSize <= 0 || gridExtent % cellSize != 0) {
        setError(error, QStringLiteral("размер ячейки %1 не делит размер сетки %2")
                            .arg(cellSize)
                            .arg(gridExtent));
        return false;
    }
    const int64_t n = gridExtent / cellSize;
    if (n * n > kMaxGridCells) {
        setError(error, QStringLiteral("сетка %1 × %1 ячеек слишком велика (больше %2 ячеек)")
                            .arg(n)
                            .arg(kMaxGridCells));
        return false;
    }
    return true;
}

CellRange cellRange(const Box& b, int32_t cellSize, int32_t n) {
    auto cell = [&](int32_t v) { return std::min(v / cellSize, n - 1); };
    return {cell(b.x1), cell(b.x2), cell(b.y1), cell(b.y2)};
}

// Entries per cell of one level's grid, cell (col, row) at col * n + row;
// false when the grid's shape, an object's position or a cell's size breaks a rule.
bool countCellEntries(const std::vector<MapObjectData>& objects, int level, int32_t gridExtent,
                      int32_t cellSize, std::vector<int32_t>& counts, QString* error) {
    if (!checkGridShape(gridExtent, cellSize, error)) return false;
    const int32_t n = gridExtent / cellSize;
    counts.assign(size_t(n) * size_t(n), 0);
    int64_t total = 0;
    for (size_t i = 0; i < objects.size(); ++i) {
        const MapObjectData& o = objects[i];
        if (level > o.maxLevel) continue;
        if (!checkObjectRange(o, gridExtent, qsizetype(i + 1), error)) return false;
        const CellRange r = cellRange(gridBox(o), cellSize, n);
        for (int32_t c = r.c0; c <= r.c1; ++c) {
            int32_t* column = counts.data() + size_t(c) * size_t(n);
            for (int32_t row = r.r0; row <= r.r1; ++row) {
                if (++column[row] > kMaxCellEntries) {
                    setError(error, QStringLiteral("ячейка (%1, %2) перечисляет больше %3 объектов")
                                        .arg(c)
                                        .arg(row)
                                        .arg(kMaxCellEntries));
                    return false;
                }
            }
        }
        total += int64_t(r.c1 - r.c0 + 1) * int64_t(r.r1 - r.r0 + 1);
        if (total > std::numeric_limits<int32_t>::max()) {
            setError(error, QStringLiteral("больше 2^31 записей ячеек"));
            return false;
        }
    }
    return true;
}

}  // namespace urbica::writer_parts

namespace urbica {

using writer_parts::cellRange;
using writer_parts::CellRange;
using writer_parts::countCellEntries;
using writer_parts::gridBox;

bool buildGridIndex(const std::vector<MapObjectData>& objects, int level, int32_t gridExtent,
                    int32_t cellSize, GridIndex& out, QString* error) {
    out = GridIndex{};
    std::vector<int32_t> counts;
    if (!countCellEntries(objects, level, gridExtent, cellSize, counts, error)) return false;
    const int32_t n = gridExtent / cellSize;
    out.cells.resize(counts.size());
    std::vector<int64_t> next(counts.size());
    int64_t running = 0;
    for (size_t k = 0; k < counts.size(); ++k) {
        out.cells[k].objectCount = int16_t(counts[k]);
        out.cells[k].firstEntry = counts[k] > 0 ? int32_t(running + 1) : 0;
        next[k] = running;
        running += counts[k];
    }
    out.entries.resize(size_t(running));
    for (size_t i = 0; i < objects.size(); ++i) {
        const MapObjectData& o = objects[i];
        if (level > o.maxLevel) continue;
        const CellRange r = cellRange(gridBox(o), cellSize, n);
        for (int32_t c = r.c0; c <= r.c1; ++c) {
            for (int32_t row = r.r0; row <= r.r1; ++row) {
                GridIndex::Entry& e =
                    out.entries[size_t(next[size_t(c) * size_t(n) + size_t(row)]++)];
                e.object = int32_t(i + 1);
                e.flags = int16_t((c > r.c0 ? 1 : 0) | (row > r.r0 ? 2 : 0));
            }
        }
    }
    return true;
}
}  // namespace urbica
