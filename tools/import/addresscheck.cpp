#include "addresscheck.h"

#include <QDir>
#include <QHash>
#include <QStringList>
#include <map>

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
    // Street records by their written name.
    ClassNames streets(ctx, streetClass);
    if (!streets.ok()) {
        out.error = streets.error();
        return out;
    }
    // Every street record with the name of each record, the record itself included.
    QHash<QString, std::vector<int64_t>> byName;
    std::vector<const std::vector<int64_t>*> sameName(size_t(streets.recordCount()) + 1);
    std::vector<QString> streetNames(sameName.size());
    for (int64_t n = 1; n <= streets.recordCount(); ++n) {
        streetNames[size_t(n)] = streets.shortName(n);
        byName[streetNames[size_t(n)]].push_back(n);
    }
    for (int64_t n = 1; n <= streets.recordCount(); ++n)
        sameName[size_t(n)] = &byName[streetNames[size_t(n)]];

    // House records of every house class, read whole once and kept as read;
    // a record's texts are decoded when its number is the one looked for.
    struct Stored {
        const char* record = nullptr;
        bool onMap = false;
    };
    struct HouseClass {
        QByteArray records;
        std::vector<Stored> houses;
    };
    QHash<int, HouseClass> houseClasses;
    for (int c = 1; c <= tables.classCount(); ++c) {
        if (tables.classes[size_t(c)].nameStyle != 3) continue;
        RecordFile cls(classFilePath(ctx, c, ".cls"), kHouseNumberLength);
        RecordFile cl2(classFilePath(ctx, c, ".cl2"), NameRecord::kRecordLength);
        HouseClass hc;
        QByteArray index;
        hc.houses.resize(size_t(cls.recordCount()));
        if (!hc.houses.empty() &&
            (!cls.readRange(1, cls.recordCount(), hc.records) ||
             !cl2.readRange(1, std::min(cl2.recordCount(), cls.recordCount()), index)))
            continue;
        for (size_t i = 0; i < hc.houses.size(); ++i) {
            hc.houses[i].record = hc.records.constData() + i * kHouseNumberLength;
            if (qsizetype((i + 1) * NameRecord::kRecordLength) <= index.size())
                hc.houses[i].onMap =
                    NameRecord::decode(index.constData() + i * NameRecord::kRecordLength)
                        .mapObjectCount >= 1;
        }
        houseClasses.insert(c, std::move(hc));
    }

    // The houses of each street, by the leading number of their number text.
    QHash<int64_t, std::multimap<double, const char*>> partsOf;
    auto housesOf = [&](int64_t street) -> const std::multimap<double, const char*>& {
        auto it = partsOf.find(street);
        if (it != partsOf.end()) return *it;
        std::multimap<double, const char*> byNumber;
        std::vector<ObjectRef> parts;
        readPartRefs(ctx, streetClass, streets.nameRecord(street), parts);
        for (const ObjectRef& p : parts) {
            auto c = houseClasses.constFind(p.first);
            if (c == houseClasses.constEnd() || p.second < 1 ||
                size_t(p.second) > c->houses.size())
                continue;
            const Stored& h = c->houses[size_t(p.second - 1)];
            if (h.onMap)
                byNumber.emplace(leadingNumber(getText(h.record, 4).trimmed()), h.record);
        }
        return *partsOf.insert(street, std::move(byNumber));
    };

    // The first house each number text names, as the importer split it.
    struct First {
        HouseFields house;
        TypedHouse typed;
    };
    QHash<QString, First> firstHouse;
    for (const AddressSample& a : addresses) {
        ++out.total;
        auto h = firstHouse.constFind(a.houseNumber);
        if (h == firstHouse.constEnd()) {
            const HouseNumberSplit split = splitHouseNumber(foldToCp1251(a.houseNumber));
            const HouseFields house = split.houses.empty() ? HouseFields{} : split.houses.front();
            h = firstHouse.insert(a.houseNumber, {house, typedFor(house)});
        }
        const bool known = a.streetRecord >= 1 && a.streetRecord <= streets.recordCount();
        static const std::vector<int64_t> kNone;
        const std::vector<int64_t>& candidates = known ? *sameName[size_t(a.streetRecord)] : kNone;
        const TypedHouse& typed = h->typed;
        bool found = false;
        for (int64_t street : candidates) {
            const auto& houses = housesOf(street);
            auto [from, to] = typed.number.isEmpty()
                                  ? std::make_pair(houses.begin(), houses.end())
                                  : houses.equal_range(leadingNumber(typed.number));
            for (auto it = from; it != to && !found; ++it) {
                const char* r = it->second;
                found = houseMatches(typed, getText(r, 4).trimmed(), getText(r + 4, 3).trimmed(),
                                     getText(r + 7, 3).trimmed());
            }
            if (found) break;
        }
        if (found)
            ++out.found;
        else
            out.missing.push_back({a.street, a.houseNumber,
                                   known ? streetNames[size_t(a.streetRecord)] : QString(), h->house});
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
