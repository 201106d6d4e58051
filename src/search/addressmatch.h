// Whole addresses found among the houses of the streets: the street index
// (street names and their other names keyed as addresses compare them, with
// a lookup of names one typo away, and each street's houses read once), and
// the matcher that turns a typed address into the houses the house search
// would find.
#pragma once

#include <QHash>
#include <QSet>
#include <QString>
#include <cstdint>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <vector>

#include "dataset/names.h"
#include "dataset/tables.h"
#include "search/addressline.h"
#include "search/houses.h"

namespace urbica {

// One house found for an address.
struct AddressHit {
    int houseClass = 0;
    int32_t houseRecord = 0;
    int32_t streetRecord = 0;
    bool exact = true;        // the house has every typed field; false: a nearest house
    bool streetTypo = false;  // the street name was found one typo away
    // 0: street name and type as typed; 1: another street type; 2 and 3: the
    // same with a typo in the name. Hits come best first.
    int rank = 0;
};

class AddressIndex {
public:
    // The streets of the street class that have houses. Null with the
    // reason when the street class cannot be read.
    static std::shared_ptr<const AddressIndex> build(const NameContext& ctx,
                                                     QString* error = nullptr);
    // The index kept in ctx.files (made on first use, dropped with the files);
    // without a cache it is built anew.
    static std::shared_ptr<const AddressIndex> cached(const NameContext& ctx,
                                                      QString* error = nullptr);

    struct Street {
        int32_t record = 0;
        bool typo = false;
        bool otherType = false;
    };
    // Streets whose key equals the typed one, then (names of six letters or
    // more) those one typo away; each street once, in that order, those of the
    // typed type first within each. withTypos false: the equal ones only.
    std::vector<Street> streets(const StreetKey& typed, bool withTypos = true) const;
    // Streets whose key is the typed one with its abbreviations read in full:
    // each typed word that no street name holds stands for a word of the
    // names it abbreviates (the dictionaries' meanings, or a word it is a
    // contraction of: "KGS" of "KONGENS", "BLVD" of "BOULEVARD", "RESIDENZSTR"
    // of "RESIDENZSTRASSE"); else the same with two words joined into one
    // ("Lindwurm Str." for "Lindwurmstraße"); empty when that changes nothing.
    std::vector<Street> abbreviated(const StreetKey& typed) const;
    // The streets named exactly so (letter case and Ё/Е aside), else those
    // whose name holds the text, in file order: the rule of "street<TAB>house".
    std::vector<int32_t> streetsByText(const QString& text) const;
    // The houses of a street, read on first use and kept; null (with the
    // reason) when its files cannot be read.
    const std::vector<HouseEntry>* houses(int32_t street, QString* error = nullptr) const;
    // Reads the houses of streets 1..count at once, on threads threads, each
    // with a file cache of its own; houses() then finds them read.
    void readHouses(int32_t count, int threads) const;
    // Positions (in houses(street)) of the houses that match, in the street's
    // order: matchingHouses (houses.h) without reading every house's number.
    std::vector<size_t> matching(int32_t street, const HouseQuery& trimmedQuery) const;

    // The hits on the streets, as findAddress gives them (see below).
    std::vector<AddressHit> housesOn(const std::vector<Street>& streets, const HouseQuery& query,
                                     QString* error = nullptr) const;

    NameContext context() const { return NameContext{dataDirectory_, catalogue_, tables_, files_}; }
    int64_t nameCount() const { return int64_t(names_.size()); }

private:
    struct Name {
        int32_t record = 0;
        StreetType type = StreetType::None;
    };
    struct Key {
        QString key;
        int letters = 0;
        std::vector<int32_t> names;  // into names_
    };
    void add(int32_t record, const QString& name);
    void buildTypoTable();
    void addKeyStreets(int32_t id, const StreetKey& typed, bool typo,
                       std::vector<Street>& out) const;
    void contractions(const QString& word, QStringList& out) const;
    // The streets of the keys the words may stand for (abbreviated); merged:
    // two of the typed words were joined into one.
    void expandWords(const QStringList& words, const StreetKey& typed, bool merged,
                     std::vector<Street>& out) const;
    void typoKeys(const QString& key, std::vector<int32_t>& out) const;

    QString dataDirectory_;
    Catalogue catalogue_;
    Tables tables_;
    FileCache* files_ = nullptr;

    std::vector<Name> names_;
    std::vector<Key> keys_;
    QHash<QString, int32_t> keyOf_;  // key -> keys_
    // Hashes of every key of six letters or more and of each of its one-letter
    // deletions, with the key, sorted.
    std::vector<std::pair<size_t, int32_t>> typos_;
    // Every word of the keys, sorted, and as a set; made on first use.
    void buildWords() const;
    mutable std::once_flag wordsMade_;
    mutable std::vector<QString> words_;
    mutable QSet<QString> wordSet_;
    // The names as written (search key), in record order, for streetsByText.
    std::vector<std::pair<int32_t, QString>> plain_;
    QHash<QString, std::vector<int32_t>> plainOf_;

    struct StreetHouses {
        std::vector<HouseEntry> list;
        std::vector<std::pair<double, size_t>> byNumber;  // (number value, position), sorted
        QString error;                                    // why the list could not be read
        bool ok = false;
    };
    const StreetHouses& streetHouses(int32_t street) const;
    static void readStreet(const NameContext& ctx, int32_t street, StreetHouses& h);
    static std::vector<size_t> matchingIn(const StreetHouses& h, const HouseQuery& trimmedQuery);
    mutable std::mutex housesLock_;
    mutable std::unordered_map<int32_t, std::unique_ptr<StreetHouses>> houses_;
};

// The houses of a one-line address ("ул. Кирова, д. 5 к 2"), best first:
// on every street the address may name, the houses that have every typed
// field; only when there is none on any of them, the nearest houses of
// each street in the house search's order (nearestHouses). Empty when the line is no
// address or names no street; *error says why a street could not be read.
std::vector<AddressHit> findAddress(const AddressIndex& index, const QString& line,
                                    QString* error = nullptr);
// The same for the readings of a line (readAddressLine) read before.
std::vector<AddressHit> findAddress(const AddressIndex& index,
                                    const std::vector<AddressReading>& readings,
                                    QString* error = nullptr);
// The same for a street and house typed apart ("street<TAB>house"): the
// streets of streetsByText, else those of the key rules above.
std::vector<AddressHit> findAddress(const AddressIndex& index, const QString& street,
                                    const HouseQuery& house, QString* error = nullptr);

}  // namespace urbica
