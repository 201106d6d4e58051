#include "dataset/names.h"

#include <QStringList>
#include <limits>

#include "dataset/binary.h"
#include "dataset/datafile.h"
#include "dataset/listmodel.h"
#include "dataset/numbers.h"
#include "dataset/searchnames.h"
#include "dataset/settings.h"
#include "dataset/textfold.h"

namespace urbica {

namespace {

// Names are trimmed of blanks only, as they were padded.
QString trimBlanks(const QString& s) {
    qsizetype b = 0, e = s.size();
    while (b < e && s.at(b) == QLatin1Char(' ')) ++b;
    while (e > b && s.at(e - 1) == QLatin1Char(' ')) --e;
    return (b == 0 && e == s.size()) ? s : s.mid(b, e - b);
}

QString fieldText(const char* p, int len) { return trimBlanks(getText(p, len)); }

QString cannotRead(const QString& path) {
    return QStringLiteral("Не удаётся прочитать файл %1").arg(path);
}

bool classInTable(const NameContext& ctx, int64_t c) {
    return c >= 1 && c <= ctx.tables.classCount();
}

const ClassRecord& classRecord(const NameContext& ctx, int c) {
    return ctx.tables.classes[size_t(c)];
}

// A house number record as text; with context the long prefixes.
QString houseName(const char* rec, bool context) {
    const QString number = fieldText(rec, 4);
    const QString fraction = fieldText(rec + 4, 3);
    const QString building = fieldText(rec + 7, 3);
    QString name;
    QString buildingPrefix;
    if (context) {
        if (!number.isEmpty())
            name += message(QStringLiteral("urbica"), 11, QStringLiteral("д.")) + number;
        if (!fraction.isEmpty()) name += QLatin1Char('/') + fraction;
        buildingPrefix = message(QStringLiteral("urbica"), 12, QStringLiteral("кор."));
    } else {
        if (!number.isEmpty()) name += number;
        if (!fraction.isEmpty()) name += QLatin1Char('/') + fraction;
        buildingPrefix = message(QStringLiteral("urbica"), 13, QStringLiteral("к."));
    }
    if (!building.isEmpty()) name += QLatin1Char(' ') + buildingPrefix + building;
    return name;
}

// The name held in one record of a class's name file (any style but streets).
QString nameFromRecord(int style, const char* rec, bool context) {
    switch (style) {
        case 3:
            return houseName(rec, context);
        case 4:
            return context ? fieldText(rec, 80) : fieldText(rec + 175, 25);
        default:
            return fieldText(rec, 94);
    }
}

QString streetNameFromRecord(const char* rec) { return fieldText(rec, 32); }

void setError(QString* error, const QString& text) {
    if (error) *error = text;
}

// Parents are named without context, so the chain ends after one step; the
// depth guard keeps it that way should a caller ever ask for more.
constexpr int kMaxParentDepth = 4;

QString objectNameAt(const NameContext& ctx, int64_t c, int64_t n, bool context, int depth,
                     QString* error);

// Appends the parent's name to (street) or puts it before (others) the name.
bool withParent(const NameContext& ctx, int c, int64_t n, int depth, bool streetStyle,
                QString& name, QString* error) {
    const QString path = classFilePath(ctx, c, ".cl2");
    RecordFile index(path, NameRecord::kRecordLength, ctx.files);
    if (!index.isOpen()) {
        setError(error, cannotRead(path));
        return false;
    }
    char buf[NameRecord::kRecordLength];
    NameRecord rec;
    if (index.read(n, buf)) {
        rec = NameRecord::decode(buf);
    } else if (streetStyle) {
        name.clear();  // a street past its index has no name with context
        return true;
    }
    if (rec.parentRecord <= 0) return true;
    QString parentError;
    QString parent;
    if (depth < kMaxParentDepth)
        parent =
            objectNameAt(ctx, rec.parentClass, rec.parentRecord, false, depth + 1, &parentError);
    if (!parentError.isEmpty()) {
        setError(error, parentError);
        return false;
    }
    if (streetStyle)
        name += QLatin1Char('(') + parent + QLatin1Char(')');
    else
        name = parent + QLatin1Char(' ') + name;
    return true;
}

QString objectNameAt(const NameContext& ctx, int64_t c64, int64_t n, bool context, int depth,
                     QString* error) {
    if (!classInTable(ctx, c64) || n <= 0) return {};
    const int c = int(c64);
    const int style = classRecord(ctx, c).nameStyle;
    QString name;
    if (style == 2) {
        QString e;
        name = streetName(ctx, n, &e);
        if (!e.isEmpty()) {
            setError(error, e);
            return {};
        }
        if (context && !withParent(ctx, c, n, depth, true, name, error)) return {};
        return trimBlanks(name);
    }
    const QString path = classFilePath(ctx, c, ".cls");
    RecordFile names(path, nameRecordLength(style), ctx.files);
    if (!names.isOpen()) {
        setError(error, cannotRead(path));
        return {};
    }
    QByteArray rec(names.recordLength(), Qt::Uninitialized);
    if (!names.read(n, rec.data())) return {};
    name = nameFromRecord(style, rec.constData(), context);
    if (context && !withParent(ctx, c, n, depth, false, name, error)) return {};
    return trimBlanks(name);
}

bool readRefs(const NameContext& ctx, int c, const char* ext, int64_t first, int64_t count,
              std::vector<ObjectRef>& out) {
    out.clear();
    if (count <= 0) return true;
    const QString path = classFilePath(ctx, c, ext);
    if (path.isEmpty()) return false;
    RecordFile file(path, ObjectRef::kRecordLength, ctx.files);
    if (!file.isOpen()) return false;
    const int64_t total = file.recordCount();
    const int64_t from = std::max<int64_t>(first, 1);
    const int64_t to = std::min<int64_t>(first + count - 1, total);
    if (from <= to) {
        QByteArray bytes;
        if (!file.readRange(from, to - from + 1, bytes)) return false;
        out.reserve(size_t(to - from + 1));
        for (int64_t i = 0; i <= to - from; ++i)
            out.push_back(ObjectRef::decode(bytes.constData() + i * ObjectRef::kRecordLength));
    }
    return first >= 1 && first + count - 1 <= total;
}

// How often the long fills let pending events run (records read between calls).
constexpr int kEventsEvery = 1024;

}  // namespace

NameRecord NameRecord::decode(const char* p) {
    NameRecord r;
    r.mapObjectCount = getI16(p);
    r.firstMapObject = getI32(p + 2);
    r.partCount = getI16(p + 6);
    r.firstPart = getI32(p + 8);
    r.parentClass = getI16(p + 12);
    r.parentRecord = getI32(p + 14);
    return r;
}

ObjectRef ObjectRef::decode(const char* p) { return ObjectRef{getI16(p), getI32(p + 2)}; }

int nameRecordLength(int nameStyle) {
    switch (nameStyle) {
        case 2:
            return kStreetNameLength;
        case 3:
            return kHouseNumberLength;
        case 4:
            return kLongNameLength;
        default:
            return kPlainNameLength;
    }
}

QString classFilePath(const NameContext& ctx, int classNumber, const char* extension) {
    if (!classInTable(ctx, classNumber)) return {};
    return dataFilePath(ctx.dataDirectory,
                        classRecord(ctx, classNumber).fileBase() + QLatin1String(extension));
}

bool itemKeyFits(int64_t classNumber, int64_t record) {
    return classNumber >= 0 && record >= 0 && record < kItemKeyFactor &&
           classNumber <= std::numeric_limits<int32_t>::max() / kItemKeyFactor &&
           classNumber * kItemKeyFactor + record <= std::numeric_limits<int32_t>::max();
}

int32_t itemKey(int classNumber, int32_t record) {
    if (!itemKeyFits(classNumber, record)) return 0;
    return int32_t(classNumber * kItemKeyFactor + record);
}

NamedObject decodeItemKey(int64_t key) {
    if (key < 0 || key > std::numeric_limits<int32_t>::max()) return {};
    return NamedObject{int(key / kItemKeyFactor), int32_t(key % kItemKeyFactor)};
}

bool classKeysFit(int classNumber, int64_t recordCount) {
    return recordCount <= 0 || itemKeyFits(classNumber, recordCount);
}

QString checkClassKeys(const NameContext& ctx) {
    QStringList bad;
    for (int c = 1; c <= ctx.tables.classCount(); ++c) {
        DataFile index(classFilePath(ctx, c, ".cl2"), ctx.files);
        if (!index.isOpen()) continue;  // reported when the class is used
        const int64_t count = index.size() / NameRecord::kRecordLength;
        if (classKeysFit(c, count)) continue;
        bad << QStringLiteral("«%1» (класс %2, записей: %3)")
                   .arg(trimBlanks(classRecord(ctx, c).className))
                   .arg(c)
                   .arg(count);
    }
    if (bad.isEmpty()) return {};
    return QStringLiteral(
               "Объекты этих классов не будут показаны в списках поиска: их записи нельзя "
               "различить по номеру.\n") +
           bad.join(QLatin1Char('\n'));
}

QString objectName(const NameContext& ctx, int classNumber, int64_t record, bool context,
                   QString* error) {
    return objectNameAt(ctx, classNumber, record, context, 0, error);
}

QString streetName(const NameContext& ctx, int64_t record, QString* error) {
    if (record == 0) return QStringLiteral("Без имени");
    const int sc = ctx.catalogue.streetClass;
    if (record < 0 || !classInTable(ctx, sc)) return {};
    const QString path = classFilePath(ctx, sc, ".cls");
    RecordFile names(path, kStreetNameLength, ctx.files);
    if (!names.isOpen()) {
        setError(error, cannotRead(path));
        return {};
    }
    char buf[kStreetNameLength];
    if (!names.read(record, buf)) return {};
    return streetNameFromRecord(buf);
}

bool readNameRecord(const NameContext& ctx, int classNumber, int64_t record, NameRecord& out) {
    out = NameRecord{};
    const QString path = classFilePath(ctx, classNumber, ".cl2");
    if (path.isEmpty()) return false;
    RecordFile index(path, NameRecord::kRecordLength, ctx.files);
    char buf[NameRecord::kRecordLength];
    if (!index.read(record, buf)) return false;
    out = NameRecord::decode(buf);
    return true;
}

bool readMapObjectRefs(const NameContext& ctx, int classNumber, const NameRecord& record,
                       std::vector<ObjectRef>& out) {
    return readRefs(ctx, classNumber, ".ssl", record.firstMapObject, record.mapObjectCount, out);
}

bool readPartRefs(const NameContext& ctx, int classNumber, const NameRecord& record,
                  std::vector<ObjectRef>& out) {
    return readRefs(ctx, classNumber, ".dnl", record.firstPart, record.partCount, out);
}

// ---------------------------------------------------------------------------

ClassNames::ClassNames(const NameContext& ctx, int c) {
    if (!classInTable(ctx, c)) {
        error_ = QStringLiteral("Нет класса %1").arg(c);
        return;
    }
    const QString indexPath = classFilePath(ctx, c, ".cl2");
    index_ = std::make_unique<WholeFile>(indexPath, ctx.files);
    if (!index_->ok()) {
        error_ = cannotRead(indexPath);
        return;
    }
    indexCount_ = index_->size() / NameRecord::kRecordLength;
    style_ = classRecord(ctx, c).nameStyle;
    recordLength_ = nameRecordLength(style_);
    // Streets take their names from the street class, whatever class they are in.
    const int nameClass = style_ == 2 ? ctx.catalogue.streetClass : c;
    if (classInTable(ctx, nameClass)) {
        const QString namePath = classFilePath(ctx, nameClass, ".cls");
        names_ = std::make_unique<WholeFile>(namePath, ctx.files);
        if (!names_->ok()) {
            error_ = cannotRead(namePath);
            return;
        }
        nameCount_ = names_->size() / recordLength_;
    }
    ok_ = true;
}

NameRecord ClassNames::nameRecord(int64_t n) const {
    if (n < 1 || n > indexCount_) return {};
    return NameRecord::decode(index_->data() + (n - 1) * NameRecord::kRecordLength);
}

QString ClassNames::shortName(int64_t n) const {
    if (n < 1 || n > nameCount_) return {};
    const char* rec = names_->data() + (n - 1) * recordLength_;
    if (style_ == 2) return streetNameFromRecord(rec);
    return trimBlanks(nameFromRecord(style_, rec, false));
}

// ---------------------------------------------------------------------------

FillStatus fillStreetList(const NameContext& ctx, ListModel& list, QString* error) {
    const int sc = ctx.catalogue.streetClass;
    if (!classInTable(ctx, sc)) return FillStatus::Done;
    list.clear();

    const QString indexPath = classFilePath(ctx, sc, ".cl2");
    const QString namePath = classFilePath(ctx, sc, ".cls");
    const WholeFile index(indexPath, ctx.files);
    if (!index.ok()) {
        setError(error, cannotRead(indexPath));
        return FillStatus::Failed;
    }
    const WholeFile names(namePath, ctx.files);
    if (!names.ok()) {
        setError(error, cannotRead(namePath));
        return FillStatus::Failed;
    }
    const int64_t count = index.size() / NameRecord::kRecordLength;
    const int64_t nameCount = names.size() / kStreetNameLength;

    std::vector<ListModel::Item> items;
    // The parent's name is looked up again only when the parent changes;
    // both its class and its record tell parents apart.
    int16_t lastParentClass = 0;
    int32_t lastParentRecord = 0;
    QString parentName;
    for (int64_t n = 1; n <= count; ++n) {
        const NameRecord rec =
            NameRecord::decode(index.data() + (n - 1) * NameRecord::kRecordLength);
        if (rec.mapObjectCount < 1 && rec.partCount < 1) continue;
        const QString street =
            n <= nameCount ? streetNameFromRecord(names.data() + (n - 1) * kStreetNameLength)
                           : QString();
        if (rec.parentRecord != lastParentRecord || rec.parentClass != lastParentClass) {
            QString e;
            parentName = objectName(ctx, rec.parentClass, rec.parentRecord, false, &e);
            if (!e.isEmpty()) {
                setError(error, e);
                list.clear();
                return FillStatus::Failed;
            }
            lastParentClass = rec.parentClass;
            lastParentRecord = rec.parentRecord;
        }
        items.push_back({street + QStringLiteral("  (") + parentName + QLatin1Char(')'), n});
        if (items.size() % kEventsEvery == 0) list.letEventsRun();
    }
    list.addItems(std::move(items));
    if (!list.isEmpty()) list.setCurrentIndex(0);
    return FillStatus::Done;
}

namespace {

// Sorts by value with the diminishing-gap exchange sort the numeric class
// lists have always used; equal values keep the order this sort gives them.
// Entries are 1-based: entry 0 is unused.
void gapExchangeSort(std::vector<double>& value, std::vector<int64_t>& order) {
    const int64_t count = int64_t(value.size()) - 1;
    int64_t gap = count / 2 + 1;
    while (gap > 0) {
        int64_t limit = count - gap;
        for (;;) {
            int64_t lastSwap = 0;
            for (int64_t j = 1; j <= limit; ++j) {
                if (value[size_t(j + gap)] < value[size_t(j)]) {
                    std::swap(value[size_t(j)], value[size_t(j + gap)]);
                    std::swap(order[size_t(j)], order[size_t(j + gap)]);
                    lastSwap = j;
                }
            }
            if (lastSwap == 0) break;
            limit = lastSwap - gap;
        }
        gap /= 2;
    }
}

bool startsWithDigit(const QString& name) {
    const QChar ch = name.at(0);
    return ch >= QLatin1Char('0') && ch <= QLatin1Char('9');
}

}  // namespace

FillStatus fillClassList(const NameContext& ctx, ListModel& findList, int c, ListModel& nosortList,
                         QString* error) {
    findList.clear();
    nosortList.clear();
    findList.letEventsRun();
    // Whatever comes, the lettered list is the one shown unless the class
    // turns out numeric.
    findList.setVisible(true);
    nosortList.setVisible(false);
    if (!classInTable(ctx, c)) return FillStatus::Done;

    const ClassNames names(ctx, c);
    if (!names.ok()) {
        setError(error, names.error());
        return FillStatus::Failed;
    }
    const int64_t count = names.recordCount();
    if (!classKeysFit(c, count)) return FillStatus::Done;  // reported once at load

    // Names of the records with map objects, in file order.
    std::vector<ListModel::Item> all;
    bool numeric = true;
    for (int64_t n = 1; n <= count; ++n) {
        if (names.nameRecord(n).mapObjectCount < 1) continue;
        QString name = names.shortName(n);
        if (!name.isEmpty() && !startsWithDigit(name)) numeric = false;
        all.push_back({std::move(name), itemKey(c, int32_t(n))});
    }

    if (numeric && !all.empty()) {
        std::vector<double> value(all.size() + 1);
        std::vector<int64_t> order(all.size() + 1);
        for (size_t i = 0; i < all.size(); ++i) {
            value[i + 1] = leadingNumber(all[i].text);
            order[i + 1] = int64_t(i);
        }
        gapExchangeSort(value, order);
        std::vector<ListModel::Item> sorted;
        sorted.reserve(all.size());
        for (size_t i = 1; i < order.size(); ++i) sorted.push_back(all[size_t(order[i])]);
        findList.setVisible(false);
        nosortList.setVisible(true);
        nosortList.addItems(std::move(sorted));
    }
    findList.addItems(std::move(all));
    return FillStatus::Done;
}

QString searchKey(const QString& text) {
    QString key = upperCp1251(foldToCp1251(text));
    for (QChar& c : key)
        if (c.unicode() == 0x0401) c = QChar(char16_t(0x0415));  // Ё -> Е
    return key;
}

namespace {

// The search keys of one class's listed names (those with map objects), made
// once and kept in the file cache: all keys one after another in one string.
struct ClassSearchKeys {
    QString keys;
    std::vector<qsizetype> starts;  // entry i is keys[starts[i], starts[i + 1])
    std::vector<int32_t> records;

    static std::shared_ptr<const ClassSearchKeys> make(const ClassNames& names) {
        auto k = std::make_shared<ClassSearchKeys>();
        for (int64_t n = 1; n <= names.recordCount(); ++n) {
            if (names.nameRecord(n).mapObjectCount < 1) continue;
            k->starts.push_back(k->keys.size());
            k->records.push_back(int32_t(n));
            k->keys += searchKey(names.shortName(n));
        }
        k->starts.push_back(k->keys.size());
        k->keys.squeeze();
        return k;
    }
};

bool keyMatches(QStringView nameKey, QStringView wantedKey, TextMatch rule) {
    if (rule == TextMatch::Anywhere || wantedKey.isEmpty()) return nameKey.contains(wantedKey);
    for (qsizetype at = nameKey.indexOf(wantedKey); at >= 0;
         at = nameKey.indexOf(wantedKey, at + 1)) {
        if (at == 0 || !nameKey.at(at - 1).isLetterOrNumber()) return true;
    }
    return false;
}

// The width of the field a class's short names are stored in; 0 where a
// name is never cut (house numbers).
int shortNameField(int nameStyle) {
    switch (nameStyle) {
        case 2:
            return 32;
        case 3:
            return 0;
        case 4:
            return 25;
        default:
            return 94;
    }
}

// A name that fills its field may have been cut there: a text holding the
// whole name then holds the stored beginning of it.
bool cutNameMatches(QStringView nameKey, QStringView wantedKey, int field) {
    return field > 0 && nameKey.size() >= field - 1 && wantedKey.size() > nameKey.size() &&
           wantedKey.contains(nameKey);
}

}  // namespace

bool searchKeyMatches(const QString& nameKey, const QString& wantedKey, TextMatch rule) {
    return keyMatches(nameKey, wantedKey, rule);
}

namespace {

// The records of class c whose other names (the search-names file) hold the
// text, among those with map objects, in record order.
std::vector<int32_t> otherNameMatches(const SearchNames& other, const ClassNames& names, int c,
                                      const QString& wanted, TextMatch rule) {
    std::vector<int32_t> out;
    for (const SearchNames::Entry& e : other.ofClass(c)) {
        if (e.record > names.recordCount() || names.nameRecord(e.record).mapObjectCount < 1)
            continue;
        if (!out.empty() && out.back() == e.record) continue;
        if (keyMatches(e.key, wanted, rule)) out.push_back(e.record);
    }
    return out;
}

}  // namespace

FillStatus findByText(const NameContext& ctx, const QString& text, ListModel& list,
                      const std::vector<int>& classes, const std::atomic<bool>* cancel,
                      QString* error, TextMatch rule) {
    const QString wanted = searchKey(trimBlanks(text));
    if (wanted.isEmpty()) return FillStatus::Done;
    const FileCache::Pass pass(ctx.files);
    list.clear();
    list.letEventsRun();
    auto cancelled = [cancel] { return cancel && cancel->load(std::memory_order_relaxed); };

    const std::shared_ptr<const SearchNames> otherNames =
        SearchNames::load(ctx.dataDirectory, ctx.files);
    FillStatus status = FillStatus::Done;
    for (int c : classes) {
        if (!classInTable(ctx, c) || classRecord(ctx, c).hasNames == 0) continue;
        if (cancelled()) {
            status = FillStatus::Cancelled;
            break;
        }
        const ClassNames names(ctx, c);
        if (!names.ok()) {
            setError(error, names.error());
            list.clear();
            return FillStatus::Failed;
        }
        const int64_t count = names.recordCount();
        if (!classKeysFit(c, count)) continue;  // reported once at load
        const QString prefix = trimBlanks(classRecord(ctx, c).className) + QLatin1Char(' ');
        std::vector<ListModel::Item> found;
        // Pending events run at every kEventsEvery-th record, listed or not.
        int64_t nextEvents = kEventsEvery;
        auto eventsUpTo = [&](int64_t n) {
            for (; nextEvents <= n; nextEvents += kEventsEvery) {
                list.letEventsRun();
                if (cancelled()) return false;
            }
            return true;
        };
        const QString keyName = QStringLiteral("search keys %1 %2 %3")
                                    .arg(classFilePath(ctx, c, ".cl2"))
                                    .arg(classRecord(ctx, c).nameStyle)
                                    .arg(ctx.catalogue.streetClass);
        const auto keys = ctx.files ? ctx.files->derived<ClassSearchKeys>(
                                          keyName, [&] { return ClassSearchKeys::make(names); })
                                    : ClassSearchKeys::make(names);
        const QStringView all(keys->keys);
        const int field = shortNameField(classRecord(ctx, c).nameStyle);
        // Objects found by another of their names join in record order, once.
        const std::vector<int32_t> other = otherNameMatches(*otherNames, names, c, wanted, rule);
        auto nextOther = other.begin();
        auto takeOthersBefore = [&](int32_t n) {
            for (; nextOther != other.end() && *nextOther < n; ++nextOther)
                found.push_back({prefix + names.shortName(*nextOther), itemKey(c, *nextOther)});
            if (nextOther != other.end() && *nextOther == n) ++nextOther;
        };
        for (size_t i = 0; i < keys->records.size(); ++i) {
            const int32_t n = keys->records[i];
            if (!eventsUpTo(n)) {
                status = FillStatus::Cancelled;
                break;
            }
            const QStringView key = all.mid(keys->starts[i], keys->starts[i + 1] - keys->starts[i]);
            if (keyMatches(key, wanted, rule) || cutNameMatches(key, wanted, field)) {
                takeOthersBefore(n);
                found.push_back({prefix + names.shortName(n), itemKey(c, n)});
            }
        }
        if (status != FillStatus::Cancelled) takeOthersBefore(INT32_MAX);
        if (status != FillStatus::Cancelled && !eventsUpTo(count)) status = FillStatus::Cancelled;
        list.addItems(std::move(found));
        if (status == FillStatus::Cancelled) break;
        list.letEventsRun();  // also lets a cancel in before the next class
    }
    if (!list.isEmpty()) list.setCurrentIndex(0);
    return status;
}

}  // namespace urbica
