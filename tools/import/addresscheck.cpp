#include "addresscheck.h"

#include <QDir>
#include <QHash>
#include <QStringList>
#include <map>

#include "dataset/binary.h"
#include "dataset/datafile.h"
#include "dataset/names.h"
#include "dataset/numbers.h"

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
    QMultiHash<QString, int64_t> byName;
    for (int64_t n = 1; n <= streets.recordCount(); ++n) byName.insert(streets.shortName(n), n);

    // House records of every house class, read whole once.
    struct Stored {
        QString number, fraction, building;
        bool onMap = false;
    };
    QHash<int, std::vector<Stored>> houseClasses;
    for (int c = 1; c <= tables.classCount(); ++c) {
        if (tables.classes[size_t(c)].nameStyle != 3) continue;
        RecordFile cls(classFilePath(ctx, c, ".cls"), kHouseNumberLength);
        RecordFile cl2(classFilePath(ctx, c, ".cl2"), NameRecord::kRecordLength);
        QByteArray names, index;
        std::vector<Stored> list(size_t(cls.recordCount()));
        if (!list.empty() &&
            (!cls.readRange(1, cls.recordCount(), names) ||
             !cl2.readRange(1, std::min(cl2.recordCount(), cls.recordCount()), index)))
            continue;
        for (size_t i = 0; i < list.size(); ++i) {
            const char* r = names.constData() + i * kHouseNumberLength;
            list[i].number = getText(r, 4).trimmed();
            list[i].fraction = getText(r + 4, 3).trimmed();
            list[i].building = getText(r + 7, 3).trimmed();
            if (qsizetype((i + 1) * NameRecord::kRecordLength) <= index.size())
                list[i].onMap =
                    NameRecord::decode(index.constData() + i * NameRecord::kRecordLength)
                        .mapObjectCount >= 1;
        }
        houseClasses.insert(c, std::move(list));
    }

    // The houses of each street, by the leading number of their number text.
    struct Candidate {
        const Stored* house;
    };
    QHash<int64_t, std::multimap<double, Candidate>> partsOf;
    auto housesOf = [&](int64_t street) -> const std::multimap<double, Candidate>& {
        auto it = partsOf.find(street);
        if (it != partsOf.end()) return *it;
        std::multimap<double, Candidate> byNumber;
        std::vector<ObjectRef> parts;
        readPartRefs(ctx, streetClass, streets.nameRecord(street), parts);
        for (const ObjectRef& p : parts) {
            auto c = houseClasses.constFind(p.first);
            if (c == houseClasses.constEnd() || p.second < 1 || size_t(p.second) > c->size())
                continue;
            const Stored& h = (*c)[size_t(p.second - 1)];
            if (h.onMap) byNumber.emplace(leadingNumber(h.number), Candidate{&h});
        }
        return *partsOf.insert(street, std::move(byNumber));
    };

    for (const AddressSample& a : addresses) {
        ++out.total;
        const TypedHouse typed = typedFor(a.house);
        bool found = false;
        for (int64_t street : byName.values(a.streetName)) {
            const auto& houses = housesOf(street);
            auto [from, to] = typed.number.isEmpty()
                                  ? std::make_pair(houses.begin(), houses.end())
                                  : houses.equal_range(leadingNumber(typed.number));
            for (auto it = from; it != to && !found; ++it) {
                const Stored& h = *it->second.house;
                found = houseMatches(typed, h.number, h.fraction, h.building);
            }
            if (found) break;
        }
        if (found)
            ++out.found;
        else
            out.missing.push_back(a);
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
