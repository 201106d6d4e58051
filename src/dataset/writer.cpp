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

using writer_parts::Box;
using writer_parts::cellRange;
using writer_parts::checkGridShape;
using writer_parts::checkObjectRange;
using writer_parts::countCellEntries;
using writer_parts::makeFolder;
using writer_parts::setError;
using writer_parts::storedBox;
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

// False, with the place put before the reason.
bool failAt(QString* error, const QString& place) {
    if (error) *error = place + *error;
    return false;
}

// Room for at least size bytes, grown by half again at a time.
void growTo(QByteArray& bytes, qsizetype size) {
    if (size > bytes.capacity()) bytes.reserve(std::max(size, bytes.capacity() * 3 / 2));
    bytes.resize(size);
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

const std::vector<MapObjectData>& objectsOf(const DatasetData& d, int l) {
    static const std::vector<MapObjectData> none;
    return size_t(l) < d.layerObjects.size() ? d.layerObjects[size_t(l)] : none;
}

bool checkLayerObjects(const DatasetData& d, int l, const std::vector<MapObjectData>& objects,
                       bool countCells, QString* error);

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
        if (!checkLayerObjects(d, l, objectsOf(d, l), true, error)) return false;
    }
    return true;
}

// The objects of one layer: their number, points and places, and with
// countCells the cells they fill.
bool checkLayerObjects(const DatasetData& d, int l, const std::vector<MapObjectData>& objects,
                       bool countCells, QString* error) {
    const auto& layers = d.tables.layers;
    const LayerRecord& layer = layers[size_t(l)];
    {
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
            if (cellSize == 0 || !countCells) continue;
            // Counting is enough to find an overfull cell before anything is written;
            // a layer without objects (or written already and let go) has the
            // grid's shape to check only.
            std::vector<int32_t> counts;
            const bool fits = objects.empty()
                                  ? checkGridShape(d.catalogue.gridExtent, cellSize, error)
                                  : countCellEntries(objects, level, d.catalogue.gridExtent,
                                                     cellSize, counts, error);
            if (!fits) {
                if (error)
                    *error = layerLabel(l, layers) + QStringLiteral(", уровень %1: ").arg(level) +
                             *error;
                return false;
            }
        }
    }
    return true;
}

bool checkNameCount(const DatasetData& d, int c, size_t count, QString* error) {
    const int64_t limit = std::min<int64_t>(
        kMaxClassRecords, int64_t(std::numeric_limits<int32_t>::max()) - int64_t(c) * 1000000);
    if (int64_t(count) > limit) {
        setError(error, classLabel(c, d.tables.classes) +
                            QStringLiteral(": %1 записей имён, допустимо не больше %2 "
                                           "(номер класса × 1000000 + номер записи)")
                                .arg(count)
                                .arg(std::max<int64_t>(limit, 0)));
        return false;
    }
    return true;
}

// Map-object and part references of a class's records so far.
struct NameRefCounts {
    int64_t ssl = 0, dnl = 0;
};

// Record i of class c: its references and texts fit their fields.
bool checkNameRecord(const DatasetData& d, int c, size_t i, const NameData& n, NameRefCounts& refs,
                     QString* error) {
    const ClassRecord& cls = d.tables.classes[size_t(c)];
    // Only a refused record needs its place in words.
    auto where = [&] {
        return classLabel(c, d.tables.classes) + QStringLiteral(", запись %1: ").arg(i + 1);
    };
    if (n.mapObjects.size() > size_t(kMaxRefs) || n.parts.size() > size_t(kMaxRefs)) {
        setError(error, where() + QStringLiteral("больше %1 объектов или частей").arg(kMaxRefs));
        return false;
    }
    refs.ssl += int64_t(n.mapObjects.size());
    refs.dnl += int64_t(n.parts.size());
    if (!fitsNameRecord(n, cls.nameStyle)) {
        setError(error, where() + QStringLiteral("текст не помещается в поле записи"));
        return false;
    }
    if (refs.ssl > std::numeric_limits<int32_t>::max() ||
        refs.dnl > std::numeric_limits<int32_t>::max()) {
        setError(error, classLabel(c, d.tables.classes) + QStringLiteral(": слишком много ссылок"));
        return false;
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
        if (!checkNameCount(d, c, names.size(), error)) return false;
        NameRefCounts refs;
        for (size_t i = 0; i < names.size(); ++i)
            if (!checkNameRecord(d, c, i, names[i], refs, error)) return false;
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

bool writeTables(const DatasetData& d, const FileTarget& out, QString* error) {
    const Tables& t = d.tables;
    const size_t layerCount = t.layers.size() - 1;
    const size_t classCount = t.classes.size() - 1;
    std::vector<int16_t> icons = t.iconCodes;
    if (icons.size() <= 1) {
        icons.assign(1, 0);
        for (const IconData& icon : d.icons) icons.push_back(int16_t(icon.number));
    }
    auto write = [&](const char* name, const QByteArray& bytes) {
        return out.put(QLatin1String(name), bytes, error);
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

// Where each object's points begin: its icon's number for an icon, else its
// place in the point pool counted from 1 (1 for an object without points).
template <typename Visit>
void forEachPointOffset(const std::vector<MapObjectData>& objects, Visit visit) {
    int64_t written = 0;
    for (size_t i = 0; i < objects.size(); ++i) {
        const MapObjectData& o = objects[i];
        int32_t offset = 1;
        if (o.iconNumber > 0) {
            offset = o.iconNumber;
        } else if (!o.points.empty()) {
            offset = int32_t(written + 1);
            written += int64_t(o.points.size()) * kPointLength;
        }
        visit(i, o, offset);
    }
}

// The object records (.zgs).
bool writeLayerRecords(const DatasetData& d, int l, const std::vector<MapObjectData>& objects,
                       const FileTarget& out, QString* error) {
    QByteArray zgs(qsizetype(objects.size()) * kObjectRecordLength, '\0');
    forEachPointOffset(objects, [&](size_t i, const MapObjectData& o, int32_t offset) {
        const Box b = storedBox(o);
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
    });
    const QString base = d.tables.layers[size_t(l)].fileBase();
    return out.put(base + QLatin1String(".zgs"), std::move(zgs), error);
}

// The point pool (.xy4) and each level's grid (.tbN, .srN).
bool writeLayerGeometry(const DatasetData& d, int l, const std::vector<MapObjectData>& objects,
                        const FileTarget& out, QString* error) {
    const LayerRecord& layer = d.tables.layers[size_t(l)];
    const QString base = layer.fileBase();
    int64_t poolPoints = 0, poolNeeded = 0;
    for (const MapObjectData& o : objects)
        if (o.iconNumber <= 0) poolPoints += int64_t(o.points.size());
    QByteArray xy4(qsizetype(poolPoints) * kPointLength, '\0');
    forEachPointOffset(objects, [&](size_t, const MapObjectData& o, int32_t offset) {
        if (o.points.empty()) return;
        if (o.iconNumber > 0) {
            poolNeeded = std::max<int64_t>(
                poolNeeded, int64_t(o.iconNumber) - 1 + int64_t(o.points.size()) * kPointLength);
            return;
        }
        char* p = xy4.data() + (offset - 1);
        for (const QPoint& pt : o.points) {
            PoolPoint::encode(p, pt);
            p += kPointLength;
        }
    });
    if (poolNeeded > xy4.size()) xy4.append(QByteArray(qsizetype(poolNeeded - xy4.size()), '\0'));
    if (!out.put(base + QLatin1String(".xy4"), std::move(xy4), error)) return false;

    for (int level = 1; level <= 3; ++level) {
        const int32_t cellSize = layer.levels[size_t(level - 1)].cellSize;
        if (cellSize <= 0) continue;
        GridIndex grid;
        if (!buildGridIndex(objects, level, d.catalogue.gridExtent, cellSize, grid, error))
            return failAt(error, layerLabel(l, d.tables.layers) +
                                     QStringLiteral(", уровень %1: ").arg(level));
        QByteArray tb(qsizetype(grid.cells.size()) * kGridRecordLength, '\0');
        for (size_t k = 0; k < grid.cells.size(); ++k)
            grid.cells[k].encode(tb.data() + qsizetype(k) * kGridRecordLength);
        QByteArray sr(qsizetype(grid.entries.size()) * kCellEntryLength, '\0');
        for (size_t k = 0; k < grid.entries.size(); ++k)
            CellEntry::of(grid.entries[k].object, grid.entries[k].flags)
                .encode(sr.data() + qsizetype(k) * kCellEntryLength);
        const QString digit = QString::number(level);
        if (!out.put(base + QLatin1String(".tb") + digit, std::move(tb), error) ||
            !out.put(base + QLatin1String(".sr") + digit, std::move(sr), error))
            return false;
    }
    return true;
}

bool writeLayer(const DatasetData& d, int l, const std::vector<MapObjectData>& objects,
                const FileTarget& out, QString* error) {
    return writeLayerRecords(d, l, objects, out, error) &&
           writeLayerGeometry(d, l, objects, out, error);
}

// The records are handed over one at a time and checked as they come.
bool writeClass(const DatasetData& d, int c, const NameRecords& names, const FileTarget& out,
                QString* error) {
    const ClassRecord& cls = d.tables.classes[size_t(c)];
    const QString base = cls.fileBase();
    const int nameLength = nameRecordLength(cls.nameStyle);
    if (!checkNameCount(d, c, names.count, error)) return false;

    QByteArray cl2(qsizetype(names.count) * kNameRecordLength, '\0');
    QByteArray ssl, dnl;
    ssl.reserve(qsizetype(names.count) * kRefLength);
    QByteArray cls2(qsizetype(names.count) * nameLength, '\0');
    size_t sslAt = 0, dnlAt = 0;
    NameRefCounts refs;
    for (size_t i = 0; i < names.count; ++i) {
        const NameData& n = names.at(i);
        if (!checkNameRecord(d, c, i, n, refs, error)) return false;
        growTo(ssl, qsizetype(sslAt + n.mapObjects.size()) * kRefLength);
        growTo(dnl, qsizetype(dnlAt + n.parts.size()) * kRefLength);
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
    auto write = [&](const char* ext, QByteArray bytes) {
        return out.put(base + QLatin1String(ext), std::move(bytes), error);
    };
    return write(".cl2", std::move(cl2)) && write(".ssl", std::move(ssl)) &&
           write(".dnl", std::move(dnl)) && write(".cls", std::move(cls2));
}

}  // namespace

namespace {

bool layerExists(const DatasetData& data, int layer, QString* error) {
    if (layer >= 1 && size_t(layer) < data.tables.layers.size()) return true;
    setError(error, QStringLiteral("нет слоя %1 в таблице слоёв").arg(layer));
    return false;
}

}  // namespace

bool writeLayerFiles(const DatasetData& data, int layer, const std::vector<MapObjectData>& objects,
                     const FileTarget& out, QString* error) {
    return writeLayerGeometryFiles(data, layer, objects, out, error) &&
           writeLayerRecordFiles(data, layer, objects, out, error);
}

bool writeLayerGeometryFiles(const DatasetData& data, int layer,
                             const std::vector<MapObjectData>& objects, const FileTarget& out,
                             QString* error) {
    // The cells are counted as each level's index is built, before its files are written.
    return layerExists(data, layer, error) &&
           checkLayerObjects(data, layer, objects, false, error) && makeFolder(out.dir(), error) &&
           writeLayerGeometry(data, layer, objects, out, error);
}

bool writeLayerRecordFiles(const DatasetData& data, int layer,
                           const std::vector<MapObjectData>& objects, const FileTarget& out,
                           QString* error) {
    return layerExists(data, layer, error) && makeFolder(out.dir(), error) &&
           writeLayerRecords(data, layer, objects, out, error);
}

bool writeClassFiles(const DatasetData& data, int cls, const NameRecords& names,
                     const FileTarget& out, QString* error) {
    if (cls < 1 || size_t(cls) >= data.tables.classes.size()) {
        setError(error, QStringLiteral("нет класса %1 в таблице классов").arg(cls));
        return false;
    }
    return makeFolder(out.dir(), error) && writeClass(data, cls, names, out, error);
}

namespace {

// The tables, the catalogue and the files beside the layers and classes.
bool writeRest(const DatasetData& data, const FileTarget& out, QString* error) {
    if (!makeFolder(out.dir(), error) || !writeTables(data, out, error)) return false;
    // Opened by the street list but never read: one blank record.
    QByteArray gor(PlainNameRecord::kRecordLength, '\0');
    PlainNameRecord{}.encode(gor.data());
    if (!out.put(QStringLiteral("gor.cls"), gor, error)) return false;
    return writeExtras(data, out, error) && writeIcons(data, out, error);
}

}  // namespace

bool writeDatasetRest(const DatasetData& data, const FileTarget& out, QString* error) {
    return checkLayers(data, error) && checkClasses(data, error) && checkIcons(data, error) &&
           writeRest(data, out, error);
}

bool writeDataset(const DatasetData& data, const FileTarget& out, QString* error) {
    if (!checkLayers(data, error) || !checkClasses(data, error) || !checkIcons(data, error) ||
        !makeFolder(out.dir(), error))
        return false;
    for (int l = 1; l < int(data.tables.layers.size()); ++l)
        if (!writeLayer(data, l, objectsOf(data, l), out, error)) return false;
    for (int c = 1; c < int(data.tables.classes.size()); ++c) {
        static const std::vector<NameData> none;
        const auto& names = size_t(c) < data.classNames.size() ? data.classNames[size_t(c)] : none;
        const NameRecords records{names.size(),
                                  [&](size_t i) -> const NameData& { return names[i]; }};
        if (!writeClass(data, c, records, out, error)) return false;
    }
    return writeRest(data, out, error);
}

}  // namespace urbica
