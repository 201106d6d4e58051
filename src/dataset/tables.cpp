#include "dataset/tables.h"

#include "dataset/binary.h"
#include "dataset/datafile.h"
#include "dataset/settings.h"
#include "dataset/writerlock.h"

namespace urbica {

namespace {

QByteArray blankRecord(const QByteArray& raw, int length) {
    if (raw.size() == length) return raw;
    QByteArray r(length, '\0');
    return r;
}

// Writes a text field unless the record holds that text already, so that an
// unchanged record is written back byte for byte, even with bytes the code
// page has no character for (they read as U+FFFD).
void putChangedText(char* p, int len, const QString& s) {
    if (getText(p, len) != s) putText(p, len, s);
}

}  // namespace

Catalogue Catalogue::decode(const char* p) {
    Catalogue c;
    c.startX = getI32(p + 0);
    c.startY = getI32(p + 4);
    c.startWidth = getI32(p + 8);
    c.minUnitsPerPixel = getF32(p + 12);
    c.extentLeft = getI32(p + 16);
    c.extentTop = getI32(p + 20);
    c.extentWidth = getI32(p + 24);
    c.gridExtent = getI32(p + 28);
    c.metroRangeDivisor = getF32(p + 32);
    c.streetClass = getI16(p + 44);
    c.metroClass = getI16(p + 46);
    c.reserved50 = getText(p + 56, 50);
    c.extentHeight = getI32(p + 106);
    c.overviewLeft = getI32(p + 110);
    c.overviewTop = getI32(p + 114);
    c.overviewWidth = getI32(p + 118);
    c.reserved984 = getText(p + 122, 984);
    c.raw = QByteArray(p, kRecordLength);
    return c;
}

QByteArray Catalogue::encode() const {
    QByteArray r = blankRecord(raw, kRecordLength);
    char* p = r.data();
    if (raw.size() != kRecordLength) {
        putText(p + 56, 50, reserved50);
        putText(p + 122, 984, reserved984);
    }
    putI32(p + 0, startX);
    putI32(p + 4, startY);
    putI32(p + 8, startWidth);
    putF32(p + 12, minUnitsPerPixel);
    putI32(p + 16, extentLeft);
    putI32(p + 20, extentTop);
    putI32(p + 24, extentWidth);
    putI32(p + 28, gridExtent);
    putF32(p + 32, metroRangeDivisor);
    putI16(p + 44, streetClass);
    putI16(p + 46, metroClass);
    putI32(p + 106, extentHeight);
    putI32(p + 110, overviewLeft);
    putI32(p + 114, overviewTop);
    putI32(p + 118, overviewWidth);
    return r;
}

LayerRecord LayerRecord::decode(const char* p) {
    LayerRecord l;
    l.layerName = getText(p, 50);
    l.shown = getI16(p + 50);
    l.baseName = getText(p + 52, 12);
    l.onOverview = getI16(p + 64);
    l.selectable = getI16(p + 76);
    for (int k = 0; k < 5; ++k) {
        const char* s = p + 82 + 30 * k;
        l.levels[size_t(k)].cellSize = getI32(s + 2);
        l.levels[size_t(k)].scaleLimit = getF32(s + 26);
    }
    l.listed = getI16(p + 232);
    l.raw = QByteArray(p, kRecordLength);
    return l;
}

QByteArray LayerRecord::encode() const {
    QByteArray r = blankRecord(raw, kRecordLength);
    char* p = r.data();
    if (raw.size() != kRecordLength) {
        putText(p + 66, 10, QString());
        for (int k = 0; k < 5; ++k) {
            putText(p + 82 + 30 * k + 6, 8, QString());
            putText(p + 82 + 30 * k + 14, 12, QString());
        }
    }
    putChangedText(p, 50, layerName);
    putI16(p + 50, shown);
    putChangedText(p + 52, 12, baseName);
    putI16(p + 64, onOverview);
    putI16(p + 76, selectable);
    for (int k = 0; k < 5; ++k) {
        char* s = p + 82 + 30 * k;
        putI32(s + 2, levels[size_t(k)].cellSize);
        putF32(s + 26, levels[size_t(k)].scaleLimit);
    }
    putI16(p + 232, listed);
    return r;
}

ObjectType ObjectType::decode(const char* p) {
    ObjectType t;
    t.typeName = getText(p, 46);
    t.drawMode = getI16(p + 50);
    t.penColor = getI32(p + 52);
    t.fillColor = getI32(p + 56);
    t.lineWidth = getI16(p + 60);
    t.hiPenColor = getI32(p + 64);
    t.hiFillColor = getI32(p + 68);
    t.hiLineWidth = getI16(p + 72);
    t.closed = getI16(p + 74);
    t.labelMode = getI16(p + 78);
    t.fontName = getText(p + 80, 20);
    t.labelBold = getI16(p + 100);
    t.labelSize = getI16(p + 108);
    t.labelColor = getI32(p + 110);
    t.hiLabelColor = getI32(p + 114);
    t.labelScale = getF32(p + 118);
    t.penStyle = getI16(p + 122);
    t.fillStyle = getI16(p + 124);
    t.hiPenStyle = getI16(p + 126);
    t.hiFillStyle = getI16(p + 128);
    t.raw = QByteArray(p, kRecordLength);
    return t;
}

QByteArray ObjectType::encode() const {
    QByteArray r = blankRecord(raw, kRecordLength);
    char* p = r.data();
    putChangedText(p, 46, typeName);
    putI16(p + 50, drawMode);
    putI32(p + 52, penColor);
    putI32(p + 56, fillColor);
    putI16(p + 60, lineWidth);
    putI32(p + 64, hiPenColor);
    putI32(p + 68, hiFillColor);
    putI16(p + 72, hiLineWidth);
    putI16(p + 74, closed);
    putI16(p + 78, labelMode);
    putChangedText(p + 80, 20, fontName);
    putI16(p + 100, labelBold);
    putI16(p + 108, labelSize);
    putI32(p + 110, labelColor);
    putI32(p + 114, hiLabelColor);
    putF32(p + 118, labelScale);
    putI16(p + 122, penStyle);
    putI16(p + 124, fillStyle);
    putI16(p + 126, hiPenStyle);
    putI16(p + 128, hiFillStyle);
    return r;
}

ClassRecord ClassRecord::decode(const char* p) {
    ClassRecord c;
    c.className = getText(p, 50);
    c.searchable = getI16(p + 50);
    c.nameStyle = getI16(p + 52);
    c.baseName = getText(p + 54, 12);
    c.hasNames = getI16(p + 66);
    c.raw = QByteArray(p, kRecordLength);
    return c;
}

QByteArray ClassRecord::encode() const {
    QByteArray r = blankRecord(raw, kRecordLength);
    char* p = r.data();
    putChangedText(p, 50, className);
    putI16(p + 50, searchable);
    putI16(p + 52, nameStyle);
    putChangedText(p + 54, 12, baseName);
    putI16(p + 66, hasNames);
    return r;
}

QString noDataMessage() {
    return message(QStringLiteral("urbica"), 23, QStringLiteral("Нет данных"));
}

namespace {

// Reads a whole table file of fixed records; each record is handed to take().
template <typename Take>
bool readRecords(const QString& path, int length, Take take) {
    DataFile f(path);
    QByteArray all;
    if (!f.isOpen() || !f.readAll(all)) return false;
    const qsizetype count = all.size() / length;
    for (qsizetype i = 0; i < count; ++i) take(all.constData() + i * length);
    return true;
}

bool readShorts(const QString& path, std::vector<int16_t>& out) {
    std::vector<int16_t> v{0};
    if (!readRecords(path, 2, [&](const char* p) { v.push_back(getI16(p)); })) return false;
    out = std::move(v);
    return true;
}

template <typename Record>
bool readTable(const QString& path, std::vector<Record>& out) {
    std::vector<Record> v(1);
    if (!readRecords(path, Record::kRecordLength,
                     [&](const char* p) { v.push_back(Record::decode(p)); }))
        return false;
    out = std::move(v);
    return true;
}

template <typename Record>
QByteArray joinRecords(const std::vector<Record>& v) {
    QByteArray out;
    for (size_t i = 1; i < v.size(); ++i) out += v[i].encode();
    return out;
}

QByteArray joinShorts(const std::vector<int16_t>& v) {
    QByteArray out(qsizetype(v.size() > 0 ? v.size() - 1 : 0) * 2, '\0');
    for (size_t i = 1; i < v.size(); ++i) putI16(out.data() + (i - 1) * 2, v[i]);
    return out;
}

}  // namespace

bool loadTables(const QString& dir, Tables& t) {
    auto path = [&](const char* name) { return dataFilePath(dir, QLatin1String(name)); };
    if (!readTable(path(kTypeFile), t.types)) return false;
    std::vector<LayerRecord> layers;
    std::vector<int16_t> drawOrder, selectOrder;
    if (!readTable(path(kLayerFile), layers) || !readShorts(path(kDrawOrderFile), drawOrder) ||
        !readShorts(path(kSelectOrderFile), selectOrder))
        return false;
    t.layers = std::move(layers);
    t.drawOrder = std::move(drawOrder);
    t.selectOrder = std::move(selectOrder);
    std::vector<ClassRecord> classes;
    std::vector<int16_t> extra;
    if (!readTable(path(kClassFile), classes) || !readShorts(path(kClassExtraFile), extra))
        return false;
    // One per-class value per class, whatever the file holds.
    extra.resize(classes.size(), 0);
    t.classes = std::move(classes);
    t.classExtra = std::move(extra);
    return true;
}

bool readCatalogue(Settings& settings, Catalogue& catalogue, Tables& tables) {
    const QString path = dataFilePath(settings.dataDirectory, QLatin1String(kCatalogueFile));
    DataFile f(path);
    if (f.isOpen()) {
        char buf[Catalogue::kRecordLength];
        if (!f.readAt(0, buf, Catalogue::kRecordLength)) return false;
        catalogue = Catalogue::decode(buf);
    }
    catalogue.bookmarkBase = QStringLiteral("bookmark");
    if (!loadTables(settings.dataDirectory, tables)) return false;
    if (settings.savedTypeIndex > tables.typeCount()) settings.savedTypeIndex = 1;
    if (settings.savedClassIndex > tables.classCount()) settings.savedClassIndex = 1;
    return true;
}

bool saveTables(const Settings& settings, const Tables& t, QString* error, FileCache* cache) {
    if (settings.tableSaveMode == 2) return true;
    auto path = [&](const char* name) {
        return dataFilePath(settings.dataDirectory, QLatin1String(name));
    };
    // The dataset's writers take turns: an import never exchanges the folder
    // halfway through the tables, and two windows write the tables one after
    // the other, the last one whole.
    const QString folder = platformPath(settings.dataDirectory);
    WriterLock lock;
    if (!lock.acquire(folder, kFileLockWaitMs, datasetBusyText(folder), error)) return false;
    const bool saved =
        writeFileAtomically(path(kLayerFile), joinRecords(t.layers), error) &&
        writeFileAtomically(path(kDrawOrderFile), joinShorts(t.drawOrder), error) &&
        writeFileAtomically(path(kSelectOrderFile), joinShorts(t.selectOrder), error) &&
        writeFileAtomically(path(kTypeFile), joinRecords(t.types), error) &&
        writeFileAtomically(path(kClassExtraFile), joinShorts(t.classExtra), error) &&
        writeFileAtomically(path(kClassFile), joinRecords(t.classes), error);
    // Also after a failed write: some files may have been replaced already.
    if (cache) cache->clear();
    return saved;
}

void readIconTable(const QString& dir, Tables& t) {
    std::vector<int16_t> codes{0};
    if (!readShorts(dataFilePath(dir, QLatin1String(kIconFile)), codes)) codes = {0};
    t.iconCodes = codes;
    t.iconCache.assign(1, IconCacheEntry{});
    for (size_t i = 1; i < codes.size(); ++i) t.iconCache.push_back({codes[i], 1});
}

int16_t viewlevel(const LayerRecord& layer, float unitsPerPixel) {
    int16_t result = 0;
    for (int i = 1; i <= 3; ++i)
        if (layer.levels[size_t(i - 1)].scaleLimit < 0) result = int16_t(i);
    for (int i = 3; i >= 1; --i) {
        float lim = layer.levels[size_t(i - 1)].scaleLimit;
        if (lim != 0 && unitsPerPixel < lim) result = int16_t(i);
    }
    return result;
}

}  // namespace urbica
