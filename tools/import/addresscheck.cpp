#include "addresscheck.h"

#include <QDir>
#include <QHash>
#include <QStringList>
#include <algorithm>
#include <map>
#include <thread>

#include "dataset/binary.h"
#include "dataset/datafile.h"
#include "dataset/names.h"
#include "dataset/numbers.h"
#include "dataset/textfold.h"

namespace urbica::osmimport {

namespace {

bool loadDataset(const QString& dir, Catalogue& catalogue, Tables& tables, QString& error) {
    const QString data = QDir(dir).absolutePath() + QDir::separator();
    DataFile cat(dataFilePath(data, QString::fromLatin1(kCatalogueFile)));
    QByteArray raw;
    if (!cat.readAt(0, Catalogue::kRecordLength, raw)) {
        error = QString::fromUtf8("нет каталога набора данных в %1").arg(dir);
        return false;
    }
    catalogue = Catalogue::decode(raw.constData());
    if (!loadTables(data, tables)) {
        error = noDataMessage();
        return false;
    }
    return true;
}

}  // namespace

TypedHouse typedFor(const HouseFields& house) {
    TypedHouse t;
    const QString n = house.number.trimmed();
    qsizetype i = 0;
    while (i < n.size() && n.at(i).isDigit()) ++i;
    t.number = n.left(i);
    t.letter = n.mid(i).trimmed();
    if (t.number.isEmpty()) t.number = n, t.letter = n;  // a number without digits
    t.fraction = house.fraction.trimmed();
    t.building = house.building.trimmed();
    return t;
}

bool houseMatches(const TypedHouse& typed, const QString& number, const QString& fraction,
                  const QString& building) {
    if (!typed.number.isEmpty() && leadingNumber(typed.number) != leadingNumber(number))
        return false;
    if (!typed.letter.isEmpty() && !upperCp1251(number).contains(upperCp1251(typed.letter)))
        return false;
    if (!typed.building.isEmpty() && leadingNumber(typed.building) != leadingNumber(building))
        return false;
    if (!typed.fraction.isEmpty() && leadingNumber(typed.fraction) != leadingNumber(fraction))
        return false;
    return true;
}

namespace {

// What the check reads of a written dataset once: the street names and the
// house records. Only read after it is made, so several threads may share it.
class HouseIndex {
public:
    HouseIndex(const NameContext& ctx, const ClassNames& streets)
        : ctx_(ctx), streets_(streets), streetNames_(size_t(streets.recordCount()) + 1) {
        for (int64_t n = 1; n <= streets.recordCount(); ++n) {
            streetNames_[size_t(n)] = streets.shortName(n);
            byName_[streetNames_[size_t(n)]].push_back(n);
        }
        sameName_.resize(streetNames_.size());
        for (int64_t n = 1; n <= streets.recordCount(); ++n)
            sameName_[size_t(n)] = &byName_.find(streetNames_[size_t(n)]).value();
        readHouses();
    }

    bool known(int32_t street) const { return street >= 1 && size_t(street) < streetNames_.size(); }
    const QString& streetName(int32_t street) const { return streetNames_[size_t(street)]; }
    // Every street record with the name of this one, itself included.
    const std::vector<int64_t>& sameName(int32_t street) const {
        return *sameName_[size_t(street)];
    }
    // The house records on the map among the parts of a street, by the
    // leading number of their number text.
    using Houses = std::vector<std::pair<double, const char*>>;
    Houses housesOf(int64_t street) const {
        Houses byNumber;
        std::vector<ObjectRef> parts;
        readPartRefs(ctx_, ctx_.catalogue.streetClass, streets_.nameRecord(street), parts);
        for (const ObjectRef& p : parts) {
            auto c = houseClasses_.constFind(p.first);
            if (c == houseClasses_.constEnd() || p.second < 1 ||
                size_t(p.second) > c->onMap.size() || !c->onMap[size_t(p.second - 1)])
                continue;
            const char* record = c->records.constData() + (p.second - 1) * kHouseNumberLength;
            byNumber.emplace_back(leadingNumber(getText(record, 4).trimmed()), record);
        }
        std::stable_sort(byNumber.begin(), byNumber.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        return byNumber;
    }

private:
    // House records of every house class, read whole once and kept as read;
    // a record's texts are decoded when its number is the one looked for.
    struct HouseClass {
        QByteArray records;
        std::vector<bool> onMap;
    };

    void readHouses() {
        const Tables& tables = ctx_.tables;
        for (int c = 1; c <= tables.classCount(); ++c) {
            if (tables.classes[size_t(c)].nameStyle != 3) continue;
            RecordFile cls(classFilePath(ctx_, c, ".cls"), kHouseNumberLength);
            RecordFile cl2(classFilePath(ctx_, c, ".cl2"), NameRecord::kRecordLength);
            HouseClass hc;
            QByteArray index;
            hc.onMap.resize(size_t(cls.recordCount()));
            if (!hc.onMap.empty() &&
                (!cls.readRange(1, cls.recordCount(), hc.records) ||
                 !cl2.readRange(1, std::min(cl2.recordCount(), cls.recordCount()), index)))
                continue;
            for (size_t i = 0; i < hc.onMap.size(); ++i)
                hc.onMap[i] = qsizetype((i + 1) * NameRecord::kRecordLength) <= index.size() &&
                              NameRecord::decode(index.constData() + i * NameRecord::kRecordLength)
                                      .mapObjectCount >= 1;
            houseClasses_.insert(c, std::move(hc));
        }
    }

    const NameContext& ctx_;
    const ClassNames& streets_;
    std::vector<QString> streetNames_;
    QHash<QString, std::vector<int64_t>> byName_;
    std::vector<const std::vector<int64_t>*> sameName_;
    QHash<int, HouseClass> houseClasses_;
};

// Checks the addresses from..to against the index, as the house search finds them.
void checkRange(const HouseIndex& index, const AddressSample* from, const AddressSample* to,
                AddressCheck& out) {
    QHash<int64_t, HouseIndex::Houses> partsOf;
    // The first house each number text names, as the importer split it.
    struct First {
        HouseFields house;
        TypedHouse typed;
        double number;  // the leading number of the typed number
    };
    QHash<QString, First> firstHouse;
    static const std::vector<int64_t> kNone;
    for (const AddressSample* a = from; a != to; ++a) {
        ++out.total;
        auto h = firstHouse.constFind(a->houseNumber);
        if (h == firstHouse.constEnd()) {
            const HouseNumberSplit split = splitHouseNumber(foldToCp1251(a->houseNumber));
            const HouseFields house = split.houses.empty() ? HouseFields{} : split.houses.front();
            const TypedHouse typed = typedFor(house);
            h = firstHouse.insert(a->houseNumber, {house, typed, leadingNumber(typed.number)});
        }
        const bool known = index.known(a->streetRecord);
        const TypedHouse& typed = h->typed;
        bool found = false;
        for (int64_t street : known ? index.sameName(a->streetRecord) : kNone) {
            auto p = partsOf.find(street);
            if (p == partsOf.end()) p = partsOf.emplace(street, index.housesOf(street));
            const HouseIndex::Houses& houses = *p;
            auto [first, last] =
                typed.number.isEmpty()
                    ? std::make_pair(houses.begin(), houses.end())
                    : std::equal_range(
                          houses.begin(), houses.end(),
                          std::pair<double, const char*>(h->number, nullptr),
                          [](const auto& a, const auto& b) { return a.first < b.first; });
            for (auto it = first; it != last && !found; ++it) {
                const char* r = it->second;
                found = houseMatches(typed, getText(r, 4).trimmed(), getText(r + 4, 3).trimmed(),
                                     getText(r + 7, 3).trimmed());
            }
            if (found) break;
        }
        if (found)
            ++out.found;
        else
            out.missing.push_back({a->street, a->houseNumber,
                                   known ? index.streetName(a->streetRecord) : QString(),
                                   h->house});
    }
}

}  // namespace

AddressCheck checkAddresses(const QString& dataDirectory,
                            const std::vector<AddressSample>& addresses) {
    AddressCheck out;
    Catalogue catalogue;
    Tables tables;
    if (!loadDataset(dataDirectory, catalogue, tables, out.error)) return out;
    const QString data = QDir(dataDirectory).absolutePath() + QDir::separator();
    const NameContext ctx{data, catalogue, tables};
    const int streetClass = catalogue.streetClass;
    if (streetClass < 1 || streetClass > tables.classCount()) {
        out.error = QString::fromUtf8("в наборе нет класса улиц");
        return out;
    }
    ClassNames streets(ctx, streetClass);
    if (!streets.ok()) {
        out.error = streets.error();
        return out;
    }
    const HouseIndex index(ctx, streets);
    // A large list is checked in parts on the processor's cores; the parts'
    // results are joined in the list's order.
    const size_t parts = addresses.size() < 20000
                             ? 1
                             : std::clamp<size_t>(std::thread::hardware_concurrency(), 1, 8);
    std::vector<AddressCheck> results(parts);
    std::vector<std::thread> threads;
    const AddressSample* begin = addresses.data();
    for (size_t k = 0; k < parts; ++k) {
        const AddressSample* from = begin + addresses.size() * k / parts;
        const AddressSample* to = begin + addresses.size() * (k + 1) / parts;
        if (k + 1 == parts)
            checkRange(index, from, to, results[k]);
        else
            threads.emplace_back([&, k, from, to] { checkRange(index, from, to, results[k]); });
    }
    for (std::thread& t : threads) t.join();
    for (AddressCheck& r : results) {
        out.total += r.total;
        out.found += r.found;
        out.missing.insert(out.missing.end(), std::make_move_iterator(r.missing.begin()),
                           std::make_move_iterator(r.missing.end()));
    }
    return out;
}

QStringList metroStations(const QString& dataDirectory, QString* error) {
    Catalogue catalogue;
    Tables tables;
    QString why;
    QStringList out;
    if (!loadDataset(dataDirectory, catalogue, tables, why)) {
        if (error) *error = why;
        return out;
    }
    const QString data = QDir(dataDirectory).absolutePath() + QDir::separator();
    const NameContext ctx{data, catalogue, tables};
    if (catalogue.metroClass < 1 || catalogue.metroClass > tables.classCount()) return out;
    ClassNames names(ctx, catalogue.metroClass);
    for (int64_t n = 1; n <= names.recordCount(); ++n)
        if (names.nameRecord(n).mapObjectCount > 0) out << names.shortName(n);
    return out;
}

}  // namespace urbica::osmimport
