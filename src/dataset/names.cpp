#include "dataset/names.h"

#include <QHash>
#include <QStringList>
#include <algorithm>
#include <limits>

#include "dataset/binary.h"
#include "dataset/datafile.h"
#include "dataset/displaynames.h"
#include "dataset/fileproblems.h"
#include "dataset/listmodel.h"
#include "dataset/listorder.h"
#include "dataset/namesshared.h"
#include "dataset/numbers.h"
#include "dataset/sametexts.h"
#include "dataset/searchnames.h"
#include "dataset/settings.h"

namespace urbica {

using namespace names_shared;

namespace {

QString fieldText(const char* rec, TextField f) { return trimBlanks(getText(rec + f.at, f.width)); }

QString cannotRead(const QString& path) {
    return QStringLiteral("Не удаётся прочитать файл %1").arg(path);
}

// A field of a record without the blanks around it, decoded after the text.
void appendField(QString& text, const char* rec, TextField f) {
    const char* p = rec + f.at;
    int b = 0, e = f.width;
    while (b < e && p[b] == ' ') ++b;
    while (e > b && p[e - 1] == ' ') --e;
    if (b >= e) return;
    const qsizetype at = text.size();
    text.resize(at + (e - b));
    decodeCp1251(p + b, e - b, text.data() + at);
}

bool blankField(const char* rec, TextField f) {
    for (int i = f.at; i < f.end(); ++i)
        if (rec[i] != ' ') return false;
    return true;
}

// A house number record as text; with context the long prefixes. A house
// with a structure reads as people write it: "д.5 корп.2 стр.1", "5 к.2 с1".
QString houseName(const char* rec, bool context, const QString& structure = {}) {
    QString name;
    name.reserve(48);  // room for the street's name should the list add it
    using H = HouseNumberRecord;
    if (!blankField(rec, H::kNumber)) {
        if (context) name += message(QStringLiteral("urbica"), 11, QStringLiteral("д."));
        appendField(name, rec, H::kNumber);
    }
    if (!blankField(rec, H::kFraction)) {
        name += QLatin1Char('/');
        appendField(name, rec, H::kFraction);
    }
    if (!blankField(rec, H::kBuilding)) {
        name += QLatin1Char(' ');
        name += context ? (structure.isEmpty()
                               ? message(QStringLiteral("urbica"), 12, QStringLiteral("кор."))
                               : QStringLiteral("корп."))
                        : message(QStringLiteral("urbica"), 13, QStringLiteral("к."));
        appendField(name, rec, H::kBuilding);
    }
    if (!structure.isEmpty())
        name += (context ? QStringLiteral(" стр.") : QStringLiteral(" с")) + structure;
    return name;
}

// The structure of house record n of class c, from the dataset's file beside
// the records; empty when it has none.
QString houseStructure(const NameContext& ctx, int c, int64_t n) {
    if (n < 1 || n > INT32_MAX) return {};
    const std::shared_ptr<const SearchNames> structures =
        SearchNames::load(ctx.dataDirectory, ctx.files, nullptr, kHouseStructuresLines);
    const QString* s = structures->find(c, int32_t(n));
    return s ? *s : QString();
}

// The name held in one record of a class's name file (any style but streets).
QString nameFromRecord(int style, const char* rec, bool context) {
    switch (style) {
        case kHouseNumberStyle:
            return houseName(rec, context);
        case kLongNameStyle:
            return fieldText(rec, context ? LongNameRecord::kFullName : LongNameRecord::kShortName);
        default:
            return fieldText(rec, PlainNameRecord::kName);
    }
}

QString streetNameFromRecord(const char* rec) { return fieldText(rec, StreetNameRecord::kName); }

// Styles whose one name field the whole name replaces (not house numbers,
// nor the two forms of long names).
bool wholeNameStyle(int style) { return style != kHouseNumberStyle && style != kLongNameStyle; }

QString wholeName(const NameContext& ctx, int c, int64_t n) {
    return ctx.wholeNames ? ctx.wholeNames->of(c, n) : QString();
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
    if (readRecordNoting(index, n, buf, ctx.problems)) {
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
    if (style == kStreetNameStyle) {
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
    if (!readRecordNoting(names, n, rec.data(), ctx.problems)) return {};
    if (style == kHouseNumberStyle) {
        name = houseName(rec.constData(), context, houseStructure(ctx, c, n));
    } else {
        const QString whole = wholeNameStyle(style) ? wholeName(ctx, c, n) : QString();
        name = whole.isEmpty() ? nameFromRecord(style, rec.constData(), context) : whole;
    }
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
    if (!file.isOpen()) return noteRecordProblem(ctx.problems, path, 0);
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
    // A range outside the file names it, whatever its numbers.
    return (first >= 1 && first + count - 1 <= total) ||
           noteRecordProblem(ctx.problems, path, ObjectRef::kRecordLength,
                             first < 1 ? first : first + count - 1);
}

}  // namespace

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
    RecordFile names(path, StreetNameRecord::kRecordLength, ctx.files);
    if (!names.isOpen()) {
        setError(error, cannotRead(path));
        return {};
    }
    char buf[StreetNameRecord::kRecordLength];
    if (!readRecordNoting(names, record, buf, ctx.problems)) return {};
    if (QString whole = wholeName(ctx, sc, record); !whole.isEmpty()) return whole;
    return streetNameFromRecord(buf);
}

bool readNameRecord(const NameContext& ctx, int classNumber, int64_t record, NameRecord& out) {
    out = NameRecord{};
    const QString path = classFilePath(ctx, classNumber, ".cl2");
    if (path.isEmpty()) return false;
    RecordFile index(path, NameRecord::kRecordLength, ctx.files);
    char buf[NameRecord::kRecordLength];
    if (!readRecordNoting(index, record, buf, ctx.problems)) return false;
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
    if (style_ == kHouseNumberStyle) {
        structures_ =
            SearchNames::load(ctx.dataDirectory, ctx.files, nullptr, kHouseStructuresLines);
        classNumber_ = c;
    }
    recordLength_ = nameRecordLength(style_);
    // Streets take their names from the street class, whatever class they are in.
    const int nameClass = style_ == kStreetNameStyle ? ctx.catalogue.streetClass : c;
    nameClass_ = nameClass;
    if (wholeNameStyle(style_)) whole_ = ctx.wholeNames;
    if (classInTable(ctx, nameClass)) {
        const QString namePath = classFilePath(ctx, nameClass, ".cls");
        names_ = std::make_unique<WholeFile>(namePath, ctx.files);
        if (!names_->ok()) {
            error_ = cannotRead(namePath);
            return;
        }
        nameCount_ = names_->size() / recordLength_;
        checkNameFiles(ctx.problems, indexPath, index_->size(), namePath, names_->size(),
                       recordLength_);
    }
    ok_ = true;
}

NameRecord ClassNames::nameRecord(int64_t n) const {
    char rec[NameRecord::kRecordLength];
    if (n < 1 || n > indexCount_ ||
        !index_->read((n - 1) * NameRecord::kRecordLength, rec, NameRecord::kRecordLength))
        return {};
    return NameRecord::decode(rec);
}

QString ClassNames::shortName(int64_t n) const {
    char rec[kMaxNameRecordLength];
    if (n < 1 || n > nameCount_ || recordLength_ > kMaxNameRecordLength ||
        !names_->read((n - 1) * recordLength_, rec, recordLength_))
        return {};
    if (style_ == kStreetNameStyle) return streetNameFromRecord(rec);
    if (style_ == kHouseNumberStyle && structures_)
        if (const QString* s = structures_->find(classNumber_, int32_t(n)))
            return trimBlanks(houseName(rec, false, *s));
    return trimBlanks(nameFromRecord(style_, rec, false));
}

QString ClassNames::displayName(int64_t n) const {
    if (whole_ && n >= 1 && n <= nameCount_)
        if (QString whole = whole_->of(nameClass_, n); !whole.isEmpty()) return whole;
    return shortName(n);
}

// ---------------------------------------------------------------------------

StreetListEntries streetListEntries(const NameContext& ctx, bool sorted,
                                    const std::function<void()>& letEventsRun) {
    StreetListEntries out;
    auto fail = [](const QString& e) {
        StreetListEntries failed;
        failed.status = FillStatus::Failed;
        failed.error = e;
        return failed;
    };
    const int sc = ctx.catalogue.streetClass;
    if (!classInTable(ctx, sc)) return out;
    const FileCache::Pass pass(ctx.files);  // the parents' files are looked at once

    const QString indexPath = classFilePath(ctx, sc, ".cl2");
    const QString namePath = classFilePath(ctx, sc, ".cls");
    const WholeFile index(indexPath, ctx.files);
    if (!index.ok()) return fail(cannotRead(indexPath));
    const WholeFile names(namePath, ctx.files);
    if (!names.ok()) return fail(cannotRead(namePath));
    const int64_t count = index.size() / NameRecord::kRecordLength;
    constexpr int kNameLength = StreetNameRecord::kRecordLength;
    const int64_t nameCount = names.size() / kNameLength;
    checkNameFiles(ctx.problems, indexPath, index.size(), namePath, names.size(), kNameLength);

    std::vector<ListModel::Item> items;
    items.reserve(size_t(count));
    // Each parent's name is looked up once; its class and its record tell
    // parents apart. The first failing look-up ends the fill, as it always did.
    QHash<qint64, QString> parentNames;
    for (int64_t n = 1; n <= count; ++n) {
        // A file cut while it is read gives what was read before.
        char indexRecord[NameRecord::kRecordLength];
        if (!index.read((n - 1) * NameRecord::kRecordLength, indexRecord, sizeof indexRecord))
            break;
        const NameRecord rec = NameRecord::decode(indexRecord);
        if (rec.mapObjectCount < 1 && rec.partCount < 1) continue;
        char nameRecord[kNameLength];
        QString street =
            n <= nameCount && names.read((n - 1) * kNameLength, nameRecord, kNameLength)
                ? streetNameFromRecord(nameRecord)
                : QString();
        if (n <= nameCount)
            if (QString whole = wholeName(ctx, sc, n); !whole.isEmpty()) street = whole;
        const qint64 parent =
            (qint64(uint16_t(rec.parentClass)) << 32) | uint32_t(rec.parentRecord);
        auto known = parentNames.constFind(parent);
        if (known == parentNames.constEnd()) {
            QString e;
            QString name = objectName(ctx, rec.parentClass, rec.parentRecord, false, &e);
            if (!e.isEmpty()) return fail(e);
            known = parentNames.insert(parent, std::move(name));
        }
        QString text;
        text.reserve(street.size() + known->size() + 4);
        text += street;
        text += QLatin1String("  (");
        text += *known;
        text += QLatin1Char(')');
        items.push_back({std::move(text), n});
        if (items.size() % kEventsEvery == 0 && letEventsRun) letEventsRun();
    }
    ListModel::KeyedItems ordered = ListModel::inListOrder(std::move(items), sorted);
    out.items = std::move(ordered.items);
    out.keys = std::move(ordered.keys);
    return out;
}

void putStreetList(ListModel& list, StreetListEntries entries) {
    list.clear();
    list.addItemsInOrder(std::move(entries.items), std::move(entries.keys));
    if (!list.isEmpty()) list.setCurrentIndex(0);
}

FillStatus fillStreetList(const NameContext& ctx, ListModel& list, QString* error) {
    if (!classInTable(ctx, ctx.catalogue.streetClass)) return FillStatus::Done;
    list.clear();
    StreetListEntries entries =
        streetListEntries(ctx, list.isSorted(), [&list] { list.letEventsRun(); });
    if (entries.status == FillStatus::Failed) {
        setError(error, entries.error);
        return FillStatus::Failed;
    }
    putStreetList(list, std::move(entries));
    return FillStatus::Done;
}

namespace {

// Fills the list with the entries (and their keys) at the given positions, in
// that order; from vectors passed as rvalues the entries are moved.
template <class Items, class Keys>
void addInOrder(ListModel& list, Items&& all, Keys&& keys, const std::vector<uint32_t>& order) {
    std::vector<ListModel::Item> items;
    std::vector<QByteArray> itemKeys;
    items.reserve(order.size());
    itemKeys.reserve(order.size());
    for (uint32_t i : order) {
        items.push_back(std::forward<Items>(all)[i]);
        itemKeys.push_back(std::forward<Keys>(keys)[i]);
    }
    list.addItemsInOrder(std::move(items), std::move(itemKeys));
}

// The order of a sorted list filled with the texts as read and then again
// with some retitled: by the new texts, equal ones by the texts as read,
// then in file order.
void addInTextOrder(ListModel& list, std::vector<ListModel::Item> all,
                    const std::vector<ListModel::Item>& before, std::vector<QByteArray> keys,
                    bool retitled) {
    std::vector<uint32_t> order = keyOrder(keys);
    // Entries that tie on their new texts but read differently before go by
    // the texts as read.
    for (size_t first = 0; retitled && first < order.size();) {
        size_t end = first + 1;
        bool differ = false;
        while (end < order.size() && keys[order[end]] == keys[order[first]]) {
            differ = differ || before[order[end]].text != before[order[first]].text;
            ++end;
        }
        if (differ)
            std::stable_sort(
                order.begin() + qsizetype(first), order.begin() + qsizetype(end),
                [&](uint32_t a, uint32_t b) {
                    return listSortKey(before[a].text).compare(listSortKey(before[b].text)) < 0;
                });
        first = end;
    }
    addInOrder(list, std::move(all), std::move(keys), order);
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

    // Names of the records with map objects, in file order, and their parents.
    std::vector<ListModel::Item> all;
    std::vector<NamedObject> parents;
    bool numeric = true;
    for (int64_t n = 1; n <= count; ++n) {
        const NameRecord r = names.nameRecord(n);
        if (r.mapObjectCount < 1) continue;
        QString name = names.displayName(n);
        if (!name.isEmpty() && !startsWithDigit(name)) numeric = false;
        all.push_back({std::move(name), itemKey(c, int32_t(n))});
        parents.push_back({r.parentClass, r.parentRecord});
    }

    // A numeric class: the numbers in ascending order, as read before the
    // parents' names are added.
    numeric = numeric && !all.empty();
    std::vector<uint32_t> byNumber;
    if (numeric) {
        std::vector<double> value(all.size());
        for (size_t i = 0; i < all.size(); ++i) value[i] = leadingNumber(all[i].text);
        byNumber = exchangeSortOrder(value);
    }

    // Entries that read the same carry their parent's name. The lettered
    // list comes out as when it was sorted by the texts as read and then again,
    // keeping that order among equals, by the texts with the parents' names.
    const std::vector<ListModel::Item> before = all;
    const bool retitled = distinguishSameTexts(ctx, all, parents);

    std::vector<QByteArray> keys(all.size());
    for (size_t i = 0; i < all.size(); ++i) keys[i] = listSortKey(all[i].text);
    if (numeric) {
        findList.setVisible(false);
        nosortList.setVisible(true);
        // The numeric list is not sorted by text: a sorted one would sort it.
        if (nosortList.isSorted()) {
            std::vector<ListModel::Item> items;
            for (uint32_t i : byNumber) items.push_back(all[i]);
            nosortList.addItems(std::move(items));
        } else {
            addInOrder(nosortList, all, keys, byNumber);
        }
    }
    if (findList.isSorted())
        addInTextOrder(findList, std::move(all), before, std::move(keys), retitled);
    else
        findList.addItemsInOrder(std::move(all), std::move(keys));
    return FillStatus::Done;
}

}  // namespace urbica
