#include "search/houses.h"

#include <map>
#include <memory>

#include "dataset/binary.h"
#include "dataset/datafile.h"
#include "dataset/filecheck.h"
#include "dataset/fileproblems.h"
#include "dataset/listmodel.h"
#include "dataset/namerecords.h"
#include "dataset/numbers.h"
#include "dataset/searchnames.h"

namespace urbica {

namespace {

QString trimBlanks(const QString& s) {
    qsizetype b = 0, e = s.size();
    while (b < e && s.at(b).isSpace()) ++b;
    while (e > b && s.at(e - 1).isSpace()) --e;
    return s.mid(b, e - b);
}

QString cannotRead(const QString& path) {
    return QStringLiteral("Не удаётся прочитать файл %1").arg(path);
}

void setError(QString* error, const QString& text) {
    if (error) *error = text;
}

// The first file a walk had to pass over, and why.
struct PassedOver {
    QString path, why;
    void skip(const QString& file, int length, int64_t needed) {
        if (!why.isEmpty()) return;
        why = recordFileProblem(file, length, needed);
        path = file;
    }
};

// The end of a street's walk: the file passed over is given to the caller and
// noted once; when no house could be read it is the walk's error.
bool endWalk(const NameContext& ctx, const PassedOver& skipped, bool found, QString* error,
             QString* passedOver) {
    if (passedOver) *passedOver = skipped.why;
    if (!found && !skipped.why.isEmpty()) {
        setError(error, skipped.why);
        return false;
    }
    if (ctx.problems) ctx.problems->note(skipped.path, skipped.why);
    return true;
}

// The name index and number file of one house class, open for one walk.
struct HouseClassFiles {
    RecordFile index;
    RecordFile numbers;
    HouseClassFiles(const QString& indexPath, const QString& numberPath, FileCache* cache)
        : index(indexPath, NameRecord::kRecordLength, cache),
          numbers(numberPath, HouseNumberRecord::kRecordLength, cache) {}
};

// A text field of a record, trimmed as trimBlanks trims it; no copy for a blank field.
QString trimmedField(const char* rec, TextField field) {
    const char* p = rec + field.at;
    const int len = field.width;
    auto blank = [](uint8_t b) { return (b >= 9 && b <= 13) || b == 0x20 || b == 0xA0; };
    int b = 0, e = len;
    while (b < e && blank(uint8_t(p[b]))) ++b;
    while (e > b && blank(uint8_t(p[e - 1]))) --e;
    return b == e ? QString() : getText(p + b, e - b);
}

bool sameSide(double a, double b) { return nearestInt(a) % 2 == nearestInt(b) % 2; }

}  // namespace

HouseQuery HouseQuery::trimmed() const {
    return HouseQuery{trimBlanks(number), trimBlanks(letter), trimBlanks(fraction),
                      trimBlanks(building), trimBlanks(structure)};
}

bool HouseQuery::isEmpty() const {
    return number.isEmpty() && letter.isEmpty() && fraction.isEmpty() && building.isEmpty() &&
           structure.isEmpty();
}

double houseNumberValue(const QString& text) {
    // The common cases at once: nothing, or digits then a letter or nothing ("12", "12А").
    if (text.isEmpty()) return 0;
    qsizetype d = 0;
    while (d < text.size() && d < 15 && text[d].unicode() >= '0' && text[d].unicode() <= '9') ++d;
    if (d > 0 && d < 15 &&
        (d == text.size() || (text[d] != u'.' && !text[d].isSpace() && !text[d].isDigit()))) {
        double v = 0;
        for (qsizetype i = 0; i < d; ++i) v = v * 10 + (text[i].unicode() - '0');
        return v;
    }
    QString packed;
    packed.reserve(text.size());
    for (QChar c : text)
        if (!c.isSpace()) packed += c;
    return leadingNumber(packed);
}

bool readStreetHouses(const NameContext& ctx, int64_t street, std::vector<HouseEntry>& out,
                      QString* error, QString* passedOver) {
    out.clear();
    const int sc = ctx.catalogue.streetClass;
    if (sc < 1 || sc > ctx.tables.classCount()) return true;
    // A missing file ends the search with its name. A file that is not a whole
    // number of records, or a reference past a file's end, is passed over; it
    // is named when no house could be read at all (a house file cut short),
    // instead of finding nothing.
    auto damaged = [&](const QString& path, int length, int64_t needed) {
        QString why = recordFileProblem(path, length, needed);
        if (why.isEmpty()) why = cannotRead(path);
        setError(error, why);
        out.clear();
        return false;
    };
    PassedOver skipped;
    auto whole = [&](const RecordFile& f, const QString& path) {
        if (f.isOpen()) skipped.skip(path, f.recordLength(), 0);
        return f.isOpen();
    };
    const QString indexPath = classFilePath(ctx, sc, ".cl2");
    RecordFile streetIndex(indexPath, NameRecord::kRecordLength, ctx.files);
    if (!whole(streetIndex, indexPath)) return damaged(indexPath, NameRecord::kRecordLength, 0);
    char buf[NameRecord::kRecordLength];
    if (!streetIndex.read(street, buf)) return true;  // no such street: no houses
    const NameRecord streetRecord = NameRecord::decode(buf);
    if (streetRecord.partCount < 1) return true;

    const QString partPath = classFilePath(ctx, sc, ".dnl");
    RecordFile parts(partPath, ObjectRef::kRecordLength, ctx.files);
    if (!whole(parts, partPath)) return damaged(partPath, ObjectRef::kRecordLength, 0);
    std::map<int, std::unique_ptr<HouseClassFiles>> open;
    const std::shared_ptr<const SearchNames> structures =
        SearchNames::load(ctx.dataDirectory, ctx.files, nullptr, kHouseStructuresLines);
    char partBuf[ObjectRef::kRecordLength];
    char numberBuf[HouseNumberRecord::kRecordLength];
    for (int64_t k = 1; k <= streetRecord.partCount; ++k) {
        const int64_t partNumber = int64_t(streetRecord.firstPart) + k - 1;
        if (!parts.read(partNumber, partBuf)) {
            skipped.skip(partPath, ObjectRef::kRecordLength, partNumber);
            continue;
        }
        const ObjectRef part = ObjectRef::decode(partBuf);
        const int c = part.first;
        if (c < 1 || c > ctx.tables.classCount()) continue;
        if (ctx.tables.classes[size_t(c)].nameStyle != kHouseNumberStyle) continue;
        auto it = open.find(c);
        if (it == open.end()) {
            auto files = std::make_unique<HouseClassFiles>(
                classFilePath(ctx, c, ".cl2"), classFilePath(ctx, c, ".cls"), ctx.files);
            if (!whole(files->index, classFilePath(ctx, c, ".cl2")))
                return damaged(classFilePath(ctx, c, ".cl2"), NameRecord::kRecordLength, 0);
            if (!whole(files->numbers, classFilePath(ctx, c, ".cls")))
                return damaged(classFilePath(ctx, c, ".cls"), HouseNumberRecord::kRecordLength, 0);
            it = open.emplace(c, std::move(files)).first;
        }
        HouseClassFiles& files = *it->second;
        if (!files.index.read(part.second, buf)) {
            skipped.skip(classFilePath(ctx, c, ".cl2"), NameRecord::kRecordLength, part.second);
            continue;
        }
        if (NameRecord::decode(buf).mapObjectCount < 1) continue;
        if (!files.numbers.read(part.second, numberBuf)) {
            skipped.skip(classFilePath(ctx, c, ".cls"), HouseNumberRecord::kRecordLength,
                         part.second);
            continue;
        }
        const QString* structure = structures->find(c, part.second);
        using H = HouseNumberRecord;
        out.push_back(HouseEntry{c, part.second, trimmedField(numberBuf, H::kNumber),
                                 trimmedField(numberBuf, H::kFraction),
                                 trimmedField(numberBuf, H::kBuilding),
                                 structure ? *structure : QString()});
    }
    return endWalk(ctx, skipped, !out.empty(), error, passedOver);
}

bool structureMatches(const HouseEntry& house, const QString& typed) {
    if (!house.structure.isEmpty())
        return houseNumberValue(typed) == houseNumberValue(house.structure);
    return searchKey(house.number).contains(searchKey(QStringLiteral("с") + typed));
}

bool houseMatches(const HouseEntry& house, const HouseQuery& q) {
    if (!q.number.isEmpty() && houseNumberValue(q.number) != houseNumberValue(house.number))
        return false;
    if (!q.letter.isEmpty() && !searchKey(house.number).contains(searchKey(q.letter)) &&
        searchKey(QStringLiteral("с") + house.structure) != searchKey(q.letter))
        return false;
    if (!q.structure.isEmpty() && !structureMatches(house, q.structure)) return false;
    if (!q.building.isEmpty() && houseNumberValue(q.building) != houseNumberValue(house.building))
        return false;
    if (!q.fraction.isEmpty() && houseNumberValue(q.fraction) != houseNumberValue(house.fraction))
        return false;
    return true;
}

std::vector<size_t> matchingHouses(const std::vector<HouseEntry>& houses, const HouseQuery& query) {
    const HouseQuery q = query.trimmed();
    std::vector<size_t> found;
    for (size_t i = 0; i < houses.size(); ++i)
        if (houseMatches(houses[i], q)) found.push_back(i);
    return found;
}

std::vector<size_t> nearestHouses(const std::vector<HouseEntry>& houses, const HouseQuery& query) {
    const HouseQuery q = query.trimmed();
    const double n = houseNumberValue(q.number);
    std::vector<size_t> found;
    // The slots hold the nearest house below and above; -1 while empty.
    ptrdiff_t lower = -1, higher = -1;
    double lowerValue = 0, higherValue = 0;
    for (size_t i = 0; i < houses.size(); ++i) {
        const double h = houseNumberValue(houses[i].number);
        if (!q.number.isEmpty() && n == h) found.push_back(i);
        if (!sameSide(n, h)) continue;
        if (n < h && (higherValue == 0 || higherValue > h)) {
            higher = ptrdiff_t(i);
            higherValue = h;
        }
        if (n > h && (lowerValue == 0 || lowerValue < h)) {
            lower = ptrdiff_t(i);
            lowerValue = h;
        }
    }
    if (lower >= 0 && !houses[size_t(lower)].number.isEmpty()) found.push_back(size_t(lower));
    if (higher >= 0 && !houses[size_t(higher)].number.isEmpty()) found.push_back(size_t(higher));
    return found;
}

QString houseLabel(const NameContext& ctx, const HouseEntry& house, QString* error) {
    return objectName(ctx, house.classNumber, house.record, true, error);
}

namespace {

uint8_t firstKeyByte(const ListModel& list, int i) {
    const QByteArray& key = list.sortKey(i);  // a byte a character, as the text's first
    return key.isEmpty() ? 0 : uint8_t(key.at(0));
}

}  // namespace

FirstLetterIndex buildFirstLetterIndex(const ListModel& streets) {
    FirstLetterIndex index;
    const int count = streets.count();
    int j = 0;
    for (int code = 0; code < 256; ++code) {
        if (j < count - 1)
            while (j < count && firstKeyByte(streets, j) < code) ++j;
        index.start[size_t(code)] = j;
    }
    return index;
}

int streetTypingPosition(const ListModel& streets, const FirstLetterIndex& index,
                         const QString& typed) {
    const int count = streets.count();
    if (count == 0) return -1;
    const QByteArray t = listSortKey(typed);
    if (t.isEmpty()) return 0;
    int j = index.start[uint8_t(t.at(0))];
    const char sentinel = char(0xDF);  // "я" upper-cased
    while (j < count - 1) {
        QByteArray probe = listSortKey(streets.text(j));
        probe.append(sentinel);
        if (t.compare(probe) <= 0) break;
        ++j;
    }
    return std::min(j, count - 1);
}

}  // namespace urbica
