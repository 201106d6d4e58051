#include "osmnames.h"

#include <QHash>
#include <algorithm>
#include <tuple>

#include "builder.h"
#include "classify.h"
#include "dataset/namerecords.h"
#include "dataset/names.h"
#include "osmtext.h"
#include "textmemo.h"

namespace urbica::osmimport {

namespace {

// A spelling that ignores letter case and the dots over ё.
QString folded(const QString& name) { return name.toLower().replace(QChar(u'ё'), QChar(u'е')); }

void addDistinct(std::vector<QString>& to, const QString& name) {
    if (!name.isEmpty() && std::find(to.begin(), to.end(), name) == to.end()) to.push_back(name);
}

}  // namespace

// ---------------------------------------------------------------------------
// While reading

int32_t NameRegistry::attach(int16_t cls, const QString& name, size_t pending,
                             osmium::Location where, bool merge) {
    std::vector<Named>& list = classes[cls];
    int32_t record = 0;
    if (merge) {
        auto it = named_[cls].find(name);
        if (it != named_[cls].end()) record = it->second;
    }
    if (!record) {
        list.push_back({name, {}, {}, where, 0, {}});
        record = int32_t(list.size());
        if (merge) named_[cls].emplace(name, record);
    }
    list[size_t(record - 1)].pendings.push_back(pending);
    return record;
}

int32_t NameRegistry::recordNamed(int16_t cls, const QString& name) {
    if (const int32_t record = recordOf(cls, name)) return record;
    classes[cls].push_back({name, {}, {}, osmium::Location(), 0, {}});
    const int32_t record = int32_t(classes[cls].size());
    named_[cls].emplace(name, record);
    return record;
}

void NameRegistry::setWhole(int16_t cls, int32_t record, const QString& whole) {
    QString& kept = classes[cls][size_t(record - 1)].whole;
    if (kept.isEmpty()) kept = whole;
}

int32_t NameRegistry::recordOf(int16_t cls, const QString& name) const {
    auto it = named_[cls].find(name);
    return it == named_[cls].end() ? 0 : it->second;
}

void NameRegistry::addOtherNames(int16_t cls, int32_t record, const std::vector<QString>& names) {
    for (const QString& n : names) addDistinct(classes[cls][size_t(record - 1)].otherNames, n);
}

void NameRegistry::addStreetNames(int32_t street, const std::vector<QString>& names) {
    for (const QString& n : names) addDistinct(streets[size_t(street)].otherNames, n);
}

int32_t NameRegistry::streetFor(const QString& key, const QString& display, osmium::Location where,
                                const QString& whole) {
    auto it = streetByKey_.find(key);
    if (it != streetByKey_.end()) {
        Street& s = streets[size_t(it->second)];
        if (s.display == s.key && display != key) {
            s.display = display;
            s.whole = whole;
        }
        return it->second;
    }
    streets.push_back({key, display, {}, {}, {}, where, 0, whole});
    const int32_t i = int32_t(streets.size() - 1);
    streetByKey_.emplace(key, i);
    streetByFolded_.emplace(folded(key), i);
    return i;
}

void NameRegistry::addRussianName(const QString& ru, int32_t street) {
    streetByRuName_.emplace(ru, street);
}

int32_t NameRegistry::streetOfAddress(const QString& key, osmium::Location where,
                                      const QString& whole) {
    if (auto it = streetByKey_.find(key); it != streetByKey_.end()) return it->second;
    if (auto it = streetByRuName_.find(key); it != streetByRuName_.end()) return it->second;
    if (auto it = streetByFolded_.find(folded(key)); it != streetByFolded_.end()) return it->second;
    return streetFor(key, key, where, whole);
}

// ---------------------------------------------------------------------------
// Building the name records

namespace {

// What reading a text added to the report's counts, to be counted again each
// time the kept reading is used instead.
struct TextCounted {
    int64_t replaced = 0, unknown = 0;
    static TextCounted since(const TextStats& before, const TextStats& now) {
        return {now.replacedCharacters - before.replacedCharacters,
                now.unknownCharacters - before.unknownCharacters};
    }
    void countAgain(TextStats& stats) const {
        stats.replacedCharacters += replaced;
        stats.unknownCharacters += unknown;
    }
};

}  // namespace

void Builder::makeHouses() {
    // A street spelling and a number text are read once each: the same spelling
    // links to the same street every time, and the same text splits the same way.
    struct Spelling {
        int32_t street;
        TextCounted counted;
    };
    struct Number {
        bool exact;
        int32_t firstField, fieldCount;  // in houseFields_
        TextCounted counted;
    };
    TextMemo<Number> numbers;
    TextMemo<Spelling> spellings;
    TextStats& stats = r_.report.text;
    r_.addresses.reserve(c_.addresses.size());
    houses_.reserve(c_.addresses.size());
    for (const Address& a : c_.addresses) {
        if (a.pending >= pendingObjects_.size()) continue;  // never placed
        // A text met before counts its changes again, as if converted anew.
        bool made = false;
        const Number number = numbers.get(
            a.number,
            [&] {
                const TextStats before = stats;
                const HouseNumberSplit split =
                    splitHouseNumber(c_.text(a.number.toUtf8().constData()));
                const int32_t first = int32_t(houseFields_.size());
                houseFields_.insert(houseFields_.end(), split.houses.begin(), split.houses.end());
                return Number{split.exact, first, int32_t(split.houses.size()),
                              TextCounted::since(before, stats)};
            },
            &made);
        if (!made) number.counted.countAgain(stats);
        if (!number.exact) ++r_.report.inexactHouseNumbers;
        if (number.fieldCount == 0) {
            c_.skip(u("адреса без номера"));
            continue;
        }
        const Spelling spelling = spellings.get(
            a.street,
            [&] {
                const TextStats before = stats;
                const int32_t street = c_.streetOfAddress(a.street, a.where);
                c_.names.addStreetNames(street, {a.street});
                return Spelling{street, TextCounted::since(before, stats)};
            },
            &made);
        if (!made) spelling.counted.countAgain(stats);
        const int32_t street = spelling.street;
        const bool alone = number.exact && number.fieldCount == 1;
        for (int32_t f = number.firstField; f < number.firstField + number.fieldCount; ++f) {
            houses_.push_back({f, street, a.pending, alone, a.approximate});
            c_.names.streets[size_t(street)].houses.push_back(int32_t(houses_.size() - 1));
        }
        // The check counts the extract's own addresses.
        if (!a.approximate) r_.addresses.push_back({a.street, a.number, street + 1});
    }
    // The addresses live on in the houses and the samples.
    std::vector<Address>().swap(c_.addresses);
}

bool Builder::makeNames(QString* error) {
    makeFixedNames();
    makeHouseClasses();
    rankHouseFields();
    if (!makeStreets(error)) return false;
    // Other classes with more map objects than a record holds keep the first ones.
    for (size_t cls = 1; cls < d_.classNames.size(); ++cls)
        for (NameData& nd : d_.classNames[cls])
            if (nd.mapObjects.size() > size_t(kMaxRefs)) {
                c_.skip(u("части объектов сверх предела одного имени"),
                        int64_t(nd.mapObjects.size()) - kMaxRefs);
                nd.mapObjects.resize(size_t(kMaxRefs));
            }
    return true;
}

void Builder::makeFixedNames() {
    for (int cls = kDistrictClass; cls < kFirstHouseClass; ++cls) {
        if (cls == kStreetClass) continue;
        for (const Named& n : c_.names.classes[cls]) {
            NameData nd;
            nd.name = fitText(n.name, PlainNameRecord::kName.width, r_.report.text);
            for (size_t p : n.pendings)
                for (const ObjectRefData& ref : pendingObjects_[p]) nd.mapObjects.push_back(ref);
            if (cls == kPoiClass || cls == kParkClass || cls == kWaterClass) {
                const int32_t district = districtOf(n.where);
                if (district) nd.parentClass = kDistrictClass, nd.parentRecord = district;
            }
            const QString shown = nd.name;
            d_.classNames[size_t(cls)].push_back(std::move(nd));
            const int32_t record = int32_t(d_.classNames[size_t(cls)].size());
            addSearchNames(int16_t(cls), record, shown, n.otherNames);
            addDisplayName(int16_t(cls), record, shown, n.whole);
        }
    }
}

// Streets with their houses; house classes of at most kHousesPerClass records.
bool Builder::makeStreets(QString* error) {
    const std::vector<Street>& streets = c_.names.streets;
    int16_t houseClass = kFirstHouseClass;
    classHouses_.reserve(std::min(houses_.size(), size_t(kHousesPerClass)));
    for (size_t s = 0; s < streets.size(); ++s) {
        const Street& st = streets[s];
        NameData nd;
        const QString listed = typeWordLast(st.display);
        nd.name = fitStreetName(listed, StreetNameRecord::kName.width, r_.report.text);
        std::vector<QString> otherNames = st.otherNames;
        if (listed != st.display) {
            // Found in both orders; the map is labelled as the data writes it.
            addDistinct(otherNames, st.display);
            d_.mapLabels.push_back(
                {kStreetClass, int32_t(s + 1), st.whole.isEmpty() ? st.display : st.whole});
        }
        for (size_t p : st.pendings)
            for (const ObjectRefData& ref : pendingObjects_[p]) nd.mapObjects.push_back(ref);
        if (st.district) nd.parentClass = kDistrictClass, nd.parentRecord = st.district;
        if (!addHouses(st, int32_t(s + 1), nd, houseClass, error)) return false;
        addSearchNames(kStreetClass, int32_t(s + 1), nd.name, otherNames);
        addDisplayName(kStreetClass, int32_t(s + 1), nd.name, typeWordLast(st.whole));
        if (nd.mapObjects.size() > size_t(kMaxRefs)) {
            c_.skip(u("участки улиц сверх предела одной улицы"),
                    int64_t(nd.mapObjects.size()) - kMaxRefs);
            nd.mapObjects.resize(size_t(kMaxRefs));
        }
        d_.classNames[kStreetClass].push_back(std::move(nd));
    }
    for (; houseClass < int16_t(d_.tables.classes.size()); ++houseClass)
        if (!finishHouseClass(houseClass, error)) return false;
    return true;
}

void Builder::makeHouseClasses() {
    // Counted as addHouses fills them: a class is full at kHousesPerClass
    // records, and a street keeps no more than kMaxRefs of its houses.
    int classes = 1;
    int32_t filled = 0;
    for (const Street& street : c_.names.streets)
        for (size_t k = 0; k < street.houses.size(); ++k) {
            if (filled >= kHousesPerClass) ++classes, filled = 0;
            if (k < size_t(kMaxRefs)) ++filled;
        }
    Tables& t = d_.tables;
    for (int k = 1; k < classes; ++k) {
        t.classes.push_back(t.classes[kFirstHouseClass]);
        t.classExtra.push_back(0);
    }
    d_.classNames.resize(t.classes.size());
    nameHouseClasses();
}

bool Builder::finishHouseClass(int16_t cls, QString* error) {
    r_.report.classRecords.resize(d_.tables.classes.size());
    r_.report.classRecords[size_t(cls)] = int64_t(classHouses_.size());
    NameData hd;
    hd.parentClass = kStreetClass;
    auto record = [&](size_t i) -> const NameData& {
        const HouseRecord& r = classHouses_[i];
        const House& house = houses_[size_t(r.house)];
        const HouseFields& f = houseFields_[size_t(house.fields)];
        hd.number = f.number;
        hd.fraction = f.fraction;
        hd.building = f.building;
        hd.parentRecord = r.street;
        const std::vector<ObjectRefData>& refs = pendingObjects_[house.pending];
        hd.mapObjects.assign(refs.begin(), refs.begin() + std::min(refs.size(), size_t(kMaxRefs)));
        return hd;
    };
    // A house drawn by more map objects than a record holds keeps the first ones.
    for (const HouseRecord& r : classHouses_)
        if (const size_t n = pendingObjects_[houses_[size_t(r.house)].pending].size();
            n > size_t(kMaxRefs))
            c_.skip(u("части объектов сверх предела одного имени"), int64_t(n) - kMaxRefs);
    bool done = true;
    if (out_.dir().isEmpty()) {
        std::vector<NameData>& names = d_.classNames[size_t(cls)];
        names.reserve(classHouses_.size());
        for (size_t i = 0; i < classHouses_.size(); ++i) names.push_back(record(i));
    } else {
        done = writeClassFiles(d_, cls, {classHouses_.size(), record}, out_, error);
    }
    classHouses_.clear();
    return done;
}

namespace {

// The value of a field's leading digits (no sign, point or blank read, unlike
// leadingNumber); 0 when it has none.
int64_t leadingDigits(const QString& field) {
    int64_t v = 0;
    for (qsizetype i = 0; i < field.size() && field[i].isDigit() && v < (int64_t(1) << 40); ++i)
        v = v * 10 + field[i].digitValue();
    return v;
}

}  // namespace

void Builder::rankHouseFields() {
    using Key = std::tuple<int64_t, QString, int64_t, QString, int64_t, QString, int64_t, QString>;
    std::vector<std::pair<Key, int32_t>> keyed;
    keyed.reserve(houseFields_.size());
    for (size_t i = 0; i < houseFields_.size(); ++i) {
        const HouseFields& f = houseFields_[i];
        keyed.push_back(
            {Key(leadingDigits(f.number), f.number, leadingDigits(f.fraction), f.fraction,
                 leadingDigits(f.building), f.building, leadingDigits(f.structure), f.structure),
             int32_t(i)});
    }
    std::sort(keyed.begin(), keyed.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    fieldRank_.assign(houseFields_.size(), 0);
    for (size_t k = 1; k < keyed.size(); ++k)
        fieldRank_[size_t(keyed[k].second)] =
            fieldRank_[size_t(keyed[k - 1].second)] + (keyed[k - 1].first < keyed[k].first);
}

// A street's houses by number, then fraction, building and structure; of houses that
// read the same, first those whose address names them alone, then the order
// of the extract.
std::vector<int32_t> Builder::housesInOrder(const Street& street) const {
    std::vector<std::pair<std::pair<int32_t, bool>, int32_t>> keyed;
    keyed.reserve(street.houses.size());
    for (int32_t h : street.houses) {
        const House& house = houses_[size_t(h)];
        keyed.push_back({{fieldRank_[size_t(house.fields)], !house.alone}, h});
    }
    std::stable_sort(keyed.begin(), keyed.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<int32_t> order;
    order.reserve(keyed.size());
    for (const auto& k : keyed) order.push_back(k.second);
    return order;
}

// The houses of a street become records of the current house class (a new
// class when it is full) and parts of the street's record.
bool Builder::addHouses(const Street& street, int32_t record, NameData& nd, int16_t& houseClass,
                        QString* error) {
    for (int32_t h : housesInOrder(street)) {
        if (int32_t(classHouses_.size()) >= kHousesPerClass) {
            if (!finishHouseClass(houseClass, error)) return false;
            ++houseClass;
        }
        const House& house = houses_[size_t(h)];
        const HouseFields& f = houseFields_[size_t(house.fields)];
        for (const ObjectRefData& ref : pendingObjects_[house.pending]) {
            MapObjectData& obj = d_.layerObjects[size_t(ref.first)][size_t(ref.second - 1)];
            if (!obj.nameKind)
                obj.nameKind = houseClass, obj.nameIndex = int32_t(classHouses_.size() + 1);
        }
        if (nd.parts.size() < size_t(kMaxRefs)) {
            classHouses_.push_back({h, record});
            const int32_t houseRecord = int32_t(classHouses_.size());
            nd.parts.push_back({houseClass, houseRecord});
            if (house.approximate) d_.approximateHouses.push_back({houseClass, houseRecord});
            if (!f.structure.isEmpty())
                d_.houseStructures.push_back({houseClass, houseRecord, f.structure});
        } else {
            c_.skip(u("дома сверх предела на одной улице"));
        }
    }
    return true;
}

void Builder::addSearchNames(int16_t cls, int32_t record, const QString& shown,
                             const std::vector<QString>& names) {
    std::vector<QString> keys{searchKey(shown)};
    for (const QString& name : names) {
        const QString key = searchKey(name);
        if (key.trimmed().isEmpty() || std::find(keys.begin(), keys.end(), key) != keys.end())
            continue;
        keys.push_back(key);
        d_.searchNames.push_back({cls, record, name});
    }
}

// The whole name of an object whose shown name lost letters to the code
// page, or was shortened or cut to its field.
void Builder::addDisplayName(int16_t cls, int32_t record, const QString& shown,
                             const QString& whole) {
    if (!whole.isEmpty() && whole != shown) d_.displayNames.push_back({cls, record, whole});
}

// Several house classes are numbered "Дома 1", "Дома 2" ...
void Builder::nameHouseClasses() {
    const int16_t last = int16_t(d_.tables.classes.size() - 1);
    if (last <= kFirstHouseClass) return;
    for (int16_t cls = kFirstHouseClass; cls <= last; ++cls) {
        const int k = cls - kFirstHouseClass + 1;
        d_.tables.classes[size_t(cls)].className = u("Дома %1").arg(k);
        d_.tables.classes[size_t(cls)].baseName = QStringLiteral("doma%1").arg(k);
    }
}

}  // namespace urbica::osmimport
