#include "dataset/writer.h"

#include <QDir>
#include <QSet>
#include <algorithm>
#include <limits>

#include "dataset/binary.h"
#include "dataset/datafile.h"
#include "dataset/namerecords.h"
#include "dataset/writerparts.h"

namespace urbica {

using writer_parts::fileIn;
using writer_parts::writeExtras;
using writer_parts::writeIcons;

namespace {

// The record lengths are the readers'.
constexpr int kNameRecordLength = NameRecord::kRecordLength;
constexpr int kRefLength = ObjectRef::kRecordLength;
constexpr int kObjectRecordLength = ObjectRecord::kRecordLength;
constexpr int kPointLength = PoolPoint::kLength;
constexpr int kGridRecordLength = GridCell::kRecordLength;
constexpr int kCellEntryLength = CellEntry::kRecordLength;

void setError(QString* error, const QString& text) {
    if (error) *error = text;
}

struct Box {
    int32_t x1 = 0, y1 = 0, x2 = 0, y2 = 0;
};

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

QString layerLabel(int layer, const std::vector<LayerRecord>& layers) {
    QString name =
        size_t(layer) < layers.size() ? layers[size_t(layer)].layerName.trimmed() : QString();
    return QStringLiteral("слой %1 «%2»").arg(layer).arg(name);
}

QString classLabel(int cls, const std::vector<ClassRecord>& classes) {
    QString name =
        size_t(cls) < classes.size() ? classes[size_t(cls)].className.trimmed() : QString();
    return QStringLiteral("класс %1 «%2»").arg(cls).arg(name);
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

// Columns and rows of the cells a box overlaps; an edge on gridExtent belongs
// to the last cell.
struct CellRange {
    int32_t c0, c1, r0, r1;
};
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

bool validBaseName(const QString& base) {
    if (base.isEmpty() || base.size() > 12 || base == QLatin1String(".") ||
        base == QLatin1String(".."))
        return false;
    for (QChar ch : base)
        if (ch == QLatin1Char('/') || ch == QLatin1Char('\\') || ch == QLatin1Char(':') ||
            ch.unicode() < 0x20)
            return false;
    return true;
}

bool fits(const QString& text, int length) { return text.size() <= length; }

// True when the texts of a name fit the fields of its class's name record.
bool fitsNameRecord(const NameData& n, int16_t nameStyle) {
    switch (nameStyle) {
        case kStreetNameStyle:
            return fits(n.name, StreetNameRecord::kName.width);
        case kHouseNumberStyle:
            return fits(n.number, HouseNumberRecord::kNumber.width) &&
                   fits(n.fraction, HouseNumberRecord::kFraction.width) &&
                   fits(n.building, HouseNumberRecord::kBuilding.width);
        case kLongNameStyle:
            return fits(n.name, LongNameRecord::kFullName.width) &&
                   fits(n.shortName, LongNameRecord::kShortName.width);
        default:
            return fits(n.name, PlainNameRecord::kName.width);
    }
}

bool checkLayers(const DatasetData& d, QString* error) {
    const auto& layers = d.tables.layers;
    const int layerCount = int(layers.size()) - 1;
    if (layerCount > 32767) {
        setError(error, QStringLiteral("слоёв больше 32767"));
        return false;
    }
    if (d.layerObjects.size() > layers.size()) {
        setError(error, QStringLiteral("объекты заданы для %1 слоёв, а в таблице слоёв их %2")
                            .arg(d.layerObjects.size() - 1)
                            .arg(layerCount));
        return false;
    }
    for (const auto* order : {&d.tables.drawOrder, &d.tables.selectOrder}) {
        if (order->size() > 1 && order->size() != layers.size()) {
            setError(error,
                     QStringLiteral("порядок слоёв должен иметь %1 записей").arg(layerCount));
            return false;
        }
    }
    QSet<QString> bases;
    for (int l = 1; l <= layerCount; ++l) {
        const LayerRecord& layer = layers[size_t(l)];
        const QString base = layer.fileBase();
        if (!validBaseName(base) || !fits(layer.layerName, 50)) {
            setError(error,
                     layerLabel(l, layers) +
                         QStringLiteral(": недопустимое имя файлов «%1» или название").arg(base));
            return false;
        }
        if (bases.contains(base.toLower())) {
            setError(error, layerLabel(l, layers) +
                                QStringLiteral(": имя файлов «%1» уже занято").arg(base));
            return false;
        }
        bases.insert(base.toLower());
        const std::vector<MapObjectData> none;
        const auto& objects = size_t(l) < d.layerObjects.size() ? d.layerObjects[size_t(l)] : none;
        if (objects.size() > size_t(std::numeric_limits<int32_t>::max())) {
            setError(error, layerLabel(l, layers) + QStringLiteral(": слишком много объектов"));
            return false;
        }
        int64_t poolBytes = 0;
        for (size_t i = 0; i < objects.size(); ++i) {
            const MapObjectData& o = objects[i];
            if (o.points.size() > size_t(kMaxRefs)) {
                setError(
                    error,
                    layerLabel(l, layers) +
                        QStringLiteral(": у объекта %1 больше %2 точек").arg(i + 1).arg(kMaxRefs));
                return false;
            }
            if (!checkObjectRange(o, d.catalogue.gridExtent, qsizetype(i + 1), error)) {
                if (error) *error = layerLabel(l, layers) + QStringLiteral(": ") + *error;
                return false;
            }
            if (o.iconNumber > 0)
                poolBytes = std::max<int64_t>(
                    poolBytes, int64_t(o.iconNumber) - 1 + int64_t(o.points.size()) * kPointLength);
            else
                poolBytes += int64_t(o.points.size()) * kPointLength;
        }
        if (poolBytes >= std::numeric_limits<int32_t>::max()) {
            setError(error, layerLabel(l, layers) +
                                QStringLiteral(": пул точек больше 2 ГБ не адресуется"));
            return false;
        }
        for (int level = 1; level <= 3; ++level) {
            const int32_t cellSize = layer.levels[size_t(level - 1)].cellSize;
            if (cellSize < 0) {
                setError(error,
                         layerLabel(l, layers) +
                             QStringLiteral(": отрицательный размер ячейки уровня %1").arg(level));
                return false;
            }
            if (cellSize == 0) continue;
            // Counting is enough to find an overfull cell before anything is written.
            std::vector<int32_t> counts;
            if (!countCellEntries(objects, level, d.catalogue.gridExtent, cellSize, counts,
                                  error)) {
                if (error)
                    *error = layerLabel(l, layers) + QStringLiteral(", уровень %1: ").arg(level) +
                             *error;
                return false;
            }
        }
    }
    return true;
}

bool checkClasses(const DatasetData& d, QString* error) {
    const auto& classes = d.tables.classes;
    const int classCount = int(classes.size()) - 1;
    if (d.classNames.size() > classes.size()) {
        setError(error, QStringLiteral("имена заданы для %1 классов, а в таблице классов их %2")
                            .arg(d.classNames.size() - 1)
                            .arg(classCount));
        return false;
    }
    QSet<QString> bases;
    for (int c = 1; c <= classCount; ++c) {
        const ClassRecord& cls = classes[size_t(c)];
        const QString base = cls.fileBase();
        if (!validBaseName(base) || !fits(cls.className, 50) ||
            base.compare(QLatin1String("gor"), Qt::CaseInsensitive) == 0) {
            setError(error,
                     classLabel(c, classes) +
                         QStringLiteral(": недопустимое имя файлов «%1» или название").arg(base));
            return false;
        }
        if (bases.contains(base.toLower())) {
            setError(error, classLabel(c, classes) +
                                QStringLiteral(": имя файлов «%1» уже занято").arg(base));
            return false;
        }
        bases.insert(base.toLower());
        if (size_t(c) >= d.classNames.size()) continue;
        const auto& names = d.classNames[size_t(c)];
        const int64_t limit = std::min<int64_t>(
            kMaxClassRecords, int64_t(std::numeric_limits<int32_t>::max()) - int64_t(c) * 1000000);
        if (int64_t(names.size()) > limit) {
            setError(error, classLabel(c, classes) +
                                QStringLiteral(": %1 записей имён, допустимо не больше %2 "
                                               "(номер класса × 1000000 + номер записи)")
                                    .arg(names.size())
                                    .arg(std::max<int64_t>(limit, 0)));
            return false;
        }
        int64_t ssl = 0, dnl = 0;
        for (size_t i = 0; i < names.size(); ++i) {
            const NameData& n = names[i];
            // Only a refused record needs its place in words.
            auto where = [&] {
                return classLabel(c, classes) + QStringLiteral(", запись %1: ").arg(i + 1);
            };
            if (n.mapObjects.size() > size_t(kMaxRefs) || n.parts.size() > size_t(kMaxRefs)) {
                setError(error,
                         where() + QStringLiteral("больше %1 объектов или частей").arg(kMaxRefs));
                return false;
            }
            ssl += int64_t(n.mapObjects.size());
            dnl += int64_t(n.parts.size());
            if (!fitsNameRecord(n, cls.nameStyle)) {
                setError(error, where() + QStringLiteral("текст не помещается в поле записи"));
                return false;
            }
        }
        if (ssl > std::numeric_limits<int32_t>::max() ||
            dnl > std::numeric_limits<int32_t>::max()) {
            setError(error, classLabel(c, classes) + QStringLiteral(": слишком много ссылок"));
            return false;
        }
    }
    return true;
}

bool checkIcons(const DatasetData& d, QString* error) {
    QSet<int32_t> seen;
    for (const IconData& icon : d.icons) {
        if (icon.number < 1 || seen.contains(icon.number)) {
            setError(error,
                     QStringLiteral("недопустимый или повторный номер значка %1").arg(icon.number));
            return false;
        }
        seen.insert(icon.number);
    }
    return true;
}

QByteArray encodeShorts(const std::vector<int16_t>& table, size_t count, bool identity) {
    QByteArray out(qsizetype(count) * 2, '\0');
    for (size_t i = 1; i <= count; ++i) {
        int16_t v = identity ? int16_t(i) : (i < table.size() ? table[i] : int16_t(0));
        putI16(out.data() + (i - 1) * 2, v);
    }
    return out;
}

template <typename Record>
QByteArray encodeTable(const std::vector<Record>& table) {
    QByteArray out;
    out.reserve(qsizetype(table.size()) * Record::kRecordLength);
    for (size_t i = 1; i < table.size(); ++i) out += table[i].encode();
    return out;
}

bool writeTables(const DatasetData& d, const QString& dir, QString* error) {
    const Tables& t = d.tables;
    const size_t layerCount = t.layers.size() - 1;
    const size_t classCount = t.classes.size() - 1;
    std::vector<int16_t> icons = t.iconCodes;
    if (icons.size() <= 1) {
        icons.assign(1, 0);
        for (const IconData& icon : d.icons) icons.push_back(int16_t(icon.number));
    }
    auto write = [&](const char* name, const QByteArray& bytes) {
        return writeFileAtomically(fileIn(dir, QLatin1String(name)), bytes, error);
    };
    return write(kCatalogueFile, d.catalogue.encode()) &&
           write(kLayerFile, encodeTable(t.layers)) &&
           write(kDrawOrderFile, encodeShorts(t.drawOrder, layerCount, t.drawOrder.size() <= 1)) &&
           write(kSelectOrderFile,
                 encodeShorts(t.selectOrder, layerCount, t.selectOrder.size() <= 1)) &&
           write(kTypeFile, encodeTable(t.types)) && write(kClassFile, encodeTable(t.classes)) &&
           write(kClassExtraFile, encodeShorts(t.classExtra, classCount, false)) &&
           write(kIconFile, encodeShorts(icons, icons.size() - 1, false));
}

bool writeLayer(const DatasetData& d, int l, const QString& dir, QString* error) {
    const LayerRecord& layer = d.tables.layers[size_t(l)];
    const QString base = layer.fileBase();
    const std::vector<MapObjectData> none;
    const auto& objects = size_t(l) < d.layerObjects.size() ? d.layerObjects[size_t(l)] : none;

    // Object records and the point pool.
    QByteArray zgs(qsizetype(objects.size()) * kObjectRecordLength, '\0');
    int64_t poolPoints = 0, poolNeeded = 0;
    for (const MapObjectData& o : objects)
        if (o.iconNumber <= 0) poolPoints += int64_t(o.points.size());
    QByteArray xy4(qsizetype(poolPoints) * kPointLength, '\0');
    int64_t written = 0;
    for (size_t i = 0; i < objects.size(); ++i) {
        const MapObjectData& o = objects[i];
        const Box b = storedBox(o);
        int32_t offset = 1;
        if (o.iconNumber > 0) {
            offset = o.iconNumber;
            if (!o.points.empty())
                poolNeeded =
                    std::max<int64_t>(poolNeeded, int64_t(o.iconNumber) - 1 +
                                                      int64_t(o.points.size()) * kPointLength);
        } else if (!o.points.empty()) {
            offset = int32_t(written + 1);
            char* p = xy4.data() + written;
            for (const QPoint& pt : o.points) {
                PoolPoint::encode(p, pt);
                p += kPointLength;
            }
            written += int64_t(o.points.size()) * kPointLength;
        }
        const ObjectRecord record{.typeIndex = o.typeIndex,
                                  .nameKind = o.nameKind,
                                  .nameIndex = o.nameIndex,
                                  .x1 = b.x1,
                                  .y1 = b.y1,
                                  .x2 = b.x2,
                                  .y2 = b.y2,
                                  .pointCount = int16_t(o.points.size()),
                                  .pointOffset = offset,
                                  .maxLevel = o.maxLevel};
        record.encode(zgs.data() + qsizetype(i) * kObjectRecordLength);
    }
    if (poolNeeded > xy4.size()) xy4.append(QByteArray(qsizetype(poolNeeded - xy4.size()), '\0'));
    if (!writeFileAtomically(fileIn(dir, base + QLatin1String(".zgs")), zgs, error) ||
        !writeFileAtomically(fileIn(dir, base + QLatin1String(".xy4")), xy4, error))
        return false;
    zgs.clear();
    xy4.clear();

    for (int level = 1; level <= 3; ++level) {
        const int32_t cellSize = layer.levels[size_t(level - 1)].cellSize;
        if (cellSize <= 0) continue;
        GridIndex grid;
        if (!buildGridIndex(objects, level, d.catalogue.gridExtent, cellSize, grid, error))
            return false;
        QByteArray tb(qsizetype(grid.cells.size()) * kGridRecordLength, '\0');
        for (size_t k = 0; k < grid.cells.size(); ++k)
            grid.cells[k].encode(tb.data() + qsizetype(k) * kGridRecordLength);
        QByteArray sr(qsizetype(grid.entries.size()) * kCellEntryLength, '\0');
        for (size_t k = 0; k < grid.entries.size(); ++k)
            CellEntry::of(grid.entries[k].object, grid.entries[k].flags)
                .encode(sr.data() + qsizetype(k) * kCellEntryLength);
        const QString digit = QString::number(level);
        if (!writeFileAtomically(fileIn(dir, base + QLatin1String(".tb") + digit), tb, error) ||
            !writeFileAtomically(fileIn(dir, base + QLatin1String(".sr") + digit), sr, error))
            return false;
    }
    return true;
}

bool writeClass(const DatasetData& d, int c, const QString& dir, QString* error) {
    const ClassRecord& cls = d.tables.classes[size_t(c)];
    const QString base = cls.fileBase();
    const std::vector<NameData> none;
    const auto& names = size_t(c) < d.classNames.size() ? d.classNames[size_t(c)] : none;
    const int nameLength = nameRecordLength(cls.nameStyle);

    size_t sslCount = 0, dnlCount = 0;
    for (const NameData& n : names) {
        sslCount += n.mapObjects.size();
        dnlCount += n.parts.size();
    }
    QByteArray cl2(qsizetype(names.size()) * kNameRecordLength, '\0');
    QByteArray ssl(qsizetype(sslCount) * kRefLength, '\0');
    QByteArray dnl(qsizetype(dnlCount) * kRefLength, '\0');
    QByteArray cls2(qsizetype(names.size()) * nameLength, '\0');
    size_t sslAt = 0, dnlAt = 0;
    for (size_t i = 0; i < names.size(); ++i) {
        const NameData& n = names[i];
        const NameRecord record{.mapObjectCount = int16_t(n.mapObjects.size()),
                                .firstMapObject = n.mapObjects.empty() ? 0 : int32_t(sslAt + 1),
                                .partCount = int16_t(n.parts.size()),
                                .firstPart = n.parts.empty() ? 0 : int32_t(dnlAt + 1),
                                .parentClass = n.parentClass,
                                .parentRecord = n.parentRecord};
        record.encode(cl2.data() + qsizetype(i) * kNameRecordLength);
        for (const ObjectRefData& ref : n.mapObjects)
            ref.encode(ssl.data() + (sslAt++) * kRefLength);
        for (const ObjectRefData& ref : n.parts) ref.encode(dnl.data() + (dnlAt++) * kRefLength);

        char* t = cls2.data() + qsizetype(i) * nameLength;
        switch (cls.nameStyle) {
            case kStreetNameStyle:
                StreetNameRecord{n.name}.encode(t);
                break;
            case kHouseNumberStyle:
                HouseNumberRecord{n.number, n.fraction, n.building}.encode(t);
                break;
            case kLongNameStyle:
                LongNameRecord{n.name, n.shortName}.encode(t);
                break;
            default:
                PlainNameRecord{n.name}.encode(t);
        }
    }
    auto write = [&](const char* ext, const QByteArray& bytes) {
        return writeFileAtomically(fileIn(dir, base + QLatin1String(ext)), bytes, error);
    };
    return write(".cl2", cl2) && write(".ssl", ssl) && write(".dnl", dnl) && write(".cls", cls2);
}

}  // namespace

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

bool writeDataset(const DatasetData& data, const QString& dir, QString* error) {
    if (!checkLayers(data, error) || !checkClasses(data, error) || !checkIcons(data, error))
        return false;
    if (!QDir().mkpath(dir)) {
        setError(error, QStringLiteral("не удалось создать папку %1").arg(dir));
        return false;
    }
    if (!writeTables(data, dir, error)) return false;
    for (int l = 1; l < int(data.tables.layers.size()); ++l)
        if (!writeLayer(data, l, dir, error)) return false;
    for (int c = 1; c < int(data.tables.classes.size()); ++c)
        if (!writeClass(data, c, dir, error)) return false;
    // Opened by the street list but never read: one blank record.
    QByteArray gor(PlainNameRecord::kRecordLength, '\0');
    PlainNameRecord{}.encode(gor.data());
    if (!writeFileAtomically(fileIn(dir, QStringLiteral("gor.cls")), gor, error)) return false;
    return writeExtras(data, dir, error) && writeIcons(data, dir, error);
}

}  // namespace urbica
