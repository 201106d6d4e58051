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
#include "search/addressmatch.h"
#include "textmemo.h"

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

HouseQuery typedFor(const HouseFields& house) {
    const QString n = house.number.trimmed();
    qsizetype i = 0;
    while (i < n.size() && n.at(i).isDigit()) ++i;
    // A number without digits ("вл1") is matched as text, as the letter is.
    return HouseQuery{n.left(i), n.mid(i), house.fraction, house.building}.trimmed();
}

namespace {

// The streets of the written dataset by their shown names: an address is found
// on any street of its street's name (one name in several districts).
class StreetsByName {
public:
    explicit StreetsByName(const ClassNames& streets)
        : sameName_(size_t(streets.recordCount()) + 1) {
        names_.resize(sameName_.size());
        for (int64_t n = 1; n <= streets.recordCount(); ++n) {
            names_[size_t(n)] = streets.shortName(n);
            byName_[names_[size_t(n)]].push_back(int32_t(n));
        }
        for (int64_t n = 1; n <= streets.recordCount(); ++n)
            sameName_[size_t(n)] = &byName_.find(names_[size_t(n)]).value();
    }
    bool known(int32_t street) const { return street >= 1 && size_t(street) < names_.size(); }
    const QString& name(int32_t street) const { return names_[size_t(street)]; }
    const std::vector<int32_t>& sameName(int32_t street) const {
        return *sameName_[size_t(street)];
    }

private:
    std::vector<QString> names_;
    QHash<QString, std::vector<int32_t>> byName_;
    std::vector<const std::vector<int32_t>*> sameName_;
};

// Checks the addresses from..to with the house search's own matcher; every
// street's houses were read before, so several threads may share the index.
void checkRange(const AddressIndex& index, const StreetsByName& streets, const AddressSample* from,
                const AddressSample* to, AddressCheck& out) {
    // The first house each number text names, as the importer split it.
    struct First {
        HouseFields house;
        HouseQuery typed;
    };
    std::vector<First> firsts;
    TextMemo<size_t> firstHouse;  // into firsts
    static const std::vector<int32_t> kNone;
    for (const AddressSample* a = from; a != to; ++a) {
        ++out.total;
        const First* h = &firsts[firstHouse.get(a->houseNumber, [&] {
            const HouseNumberSplit split = splitHouseNumber(foldToCp1251(a->houseNumber));
            const HouseFields house = split.houses.empty() ? HouseFields{} : split.houses.front();
            firsts.push_back({house, typedFor(house)});
            return firsts.size() - 1;
        })];
        const bool known = streets.known(a->streetRecord);
        bool found = false;
        for (int32_t street : known ? streets.sameName(a->streetRecord) : kNone)
            if (!index.matching(street, h->typed).empty()) {
                found = true;
                break;
            }
        if (found)
            ++out.found;
        else
            out.missing.push_back({a->street, a->houseNumber,
                                   known ? streets.name(a->streetRecord) : QString(), h->house});
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
    FileCache files;
    const NameContext ctx{data, catalogue, tables, &files};
    const int streetClass = catalogue.streetClass;
    if (streetClass < 1 || streetClass > tables.classCount()) {
        out.error = QString::fromUtf8("в наборе нет класса улиц");
        return out;
    }
    const FileCache::Pass pass(&files);
    ClassNames streetNames(ctx, streetClass);
    if (!streetNames.ok()) {
        out.error = streetNames.error();
        return out;
    }
    const StreetsByName streets(streetNames);
    const std::shared_ptr<const AddressIndex> index = AddressIndex::build(ctx, &out.error);
    if (!index) return out;
    // A large list is checked in parts on the processor's cores; the parts'
    // results are joined in the list's order. Every street's houses are read
    // first (each reading thread with files of its own); the parts only look
    // them up.
    const size_t parts = addresses.size() < 20000
                             ? 1
                             : std::clamp<size_t>(std::thread::hardware_concurrency(), 1, 8);
    index->readHouses(int32_t(streetNames.recordCount()), int(parts));
    std::vector<AddressCheck> results(parts);
    std::vector<std::thread> threads;
    const AddressSample* begin = addresses.data();
    for (size_t k = 0; k < parts; ++k) {
        const AddressSample* from = begin + addresses.size() * k / parts;
        const AddressSample* to = begin + addresses.size() * (k + 1) / parts;
        if (k + 1 == parts)
            checkRange(*index, streets, from, to, results[k]);
        else
            threads.emplace_back(
                [&, k, from, to] { checkRange(*index, streets, from, to, results[k]); });
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
