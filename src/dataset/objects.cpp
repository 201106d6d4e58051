#include "dataset/objects.h"

#include "dataset/binary.h"

namespace urbica {

ObjectRecord ObjectRecord::decode(const char* p) {
    ObjectRecord r;
    r.typeIndex = getI16(p);
    r.nameKind = getI16(p + 2);
    r.nameIndex = getI32(p + 4);
    r.x1 = getI32(p + 8);
    r.y1 = getI32(p + 12);
    r.x2 = getI32(p + 16);
    r.y2 = getI32(p + 20);
    r.pointCount = getI16(p + 24);
    r.pointOffset = getI32(p + 26);
    r.maxLevel = getI16(p + 30);
    return r;
}

void ObjectRecord::encode(char* p) const {
    putI16(p, typeIndex);
    putI16(p + 2, nameKind);
    putI32(p + 4, nameIndex);
    putI32(p + 8, x1);
    putI32(p + 12, y1);
    putI32(p + 16, x2);
    putI32(p + 20, y2);
    putI16(p + 24, pointCount);
    putI32(p + 26, pointOffset);
    putI16(p + 30, maxLevel);
}

GridCell GridCell::decode(const char* p) { return {getI16(p), getI32(p + 2)}; }

void GridCell::encode(char* p) const {
    putI16(p, objectCount);
    putI32(p + 2, firstEntry);
}

CellEntry CellEntry::of(int32_t object, int16_t flags) {
    const uint32_t n = uint32_t(object);
    return {uint16_t(n & 0xFFFF), int16_t(n >> 16), flags};
}

CellEntry CellEntry::decode(const char* p) { return {getU16(p), getI16(p + 2), getI16(p + 4)}; }

void CellEntry::encode(char* p) const {
    putI16(p, int16_t(objectLow));
    putI16(p + 2, objectHigh);
    putI16(p + 4, flags);
}

QPoint PoolPoint::decode(const char* p) { return QPoint(getI32(p), getI32(p + 4)); }

void PoolPoint::encode(char* p, const QPoint& point) {
    putI32(p, point.x());
    putI32(p + 4, point.y());
}

namespace {
QString layerFile(const QString& dir, const LayerRecord& layer, const QString& ext) {
    return dataFilePath(dir, layer.fileBase() + ext);
}
}  // namespace

LayerFiles::LayerFiles(const QString& dir, const LayerRecord& layer, int level, FileCache* cache)
    : objects_(layerFile(dir, layer, QStringLiteral(".zgs")), ObjectRecord::kRecordLength, cache),
      points_(layerFile(dir, layer, QStringLiteral(".xy4")), cache) {
    if (level >= 1 && level <= 3) {
        const QString digit = QString::number(level);
        grid_ = std::make_unique<RecordFile>(layerFile(dir, layer, QStringLiteral(".tb") + digit),
                                             GridCell::kRecordLength, cache);
        entries_ =
            std::make_unique<DataFile>(layerFile(dir, layer, QStringLiteral(".sr") + digit), cache);
    }
}

bool LayerFiles::readCell(int64_t n, GridCell& out) {
    char b[GridCell::kRecordLength];
    if (!grid_ || !grid_->read(n, b)) return false;
    out = GridCell::decode(b);
    return true;
}

bool LayerFiles::readEntries(int64_t first, int count, std::vector<CellEntry>& out) {
    out.clear();
    if (!entries_ || first < 1 || count < 0 || count > CellEntry::kMaxPerCell) return false;
    if (!entries_->readAt((first - 1) * CellEntry::kRecordLength,
                          int64_t(count) * CellEntry::kRecordLength, buffer_))
        return false;
    out.resize(size_t(count));
    for (int i = 0; i < count; ++i) {
        out[size_t(i)] = CellEntry::decode(buffer_.constData() + i * CellEntry::kRecordLength);
    }
    return true;
}

bool LayerFiles::readObject(int64_t n, ObjectRecord& out) {
    char b[ObjectRecord::kRecordLength];
    if (!objects_.read(n, b)) return false;
    out = ObjectRecord::decode(b);
    return true;
}

bool LayerFiles::readPoints(const ObjectRecord& r, std::vector<QPoint>& out) {
    out.clear();
    if (r.pointCount <= 0) return true;
    if (r.pointOffset < 1) return false;
    if (!points_.readAt(int64_t(r.pointOffset) - 1, int64_t(r.pointCount) * PoolPoint::kLength,
                        buffer_))
        return false;
    out.resize(size_t(r.pointCount));
    for (int i = 0; i < r.pointCount; ++i) {
        out[size_t(i)] = PoolPoint::decode(buffer_.constData() + i * PoolPoint::kLength);
    }
    return true;
}

int64_t gridRecordNumber(int32_t gridExtent, int32_t cellSize, int64_t col, int64_t row) {
    if (cellSize == 0) return 0;
    return (int64_t(gridExtent) * col) / cellSize + row + 1;
}

}  // namespace urbica
