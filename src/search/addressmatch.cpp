#include "search/addressmatch.h"

#include <QSet>
#include <algorithm>
#include <cmath>
#include <thread>

#include "dataset/datafile.h"
#include "dataset/searchnames.h"
#include "dataset/typomatch.h"
#include "search/addresswords.h"

namespace urbica {

namespace {

// Street names shorter than this find no name one typo away.
constexpr int kTypoLetters = 6;

size_t keyHash(QStringView s) { return qHash(s, size_t(0)); }

// f(deletion) for each text with one character of key left out.
template <class F>
void forEachDeletion(const QString& key, F f) {
    QString d;
    d.reserve(key.size());
    for (qsizetype i = 0; i < key.size(); ++i) {
        d.clear();
        d.append(QStringView(key).left(i));
        d.append(QStringView(key).mid(i + 1));
        f(QStringView(d));
    }
}

}  // namespace

std::shared_ptr<const AddressIndex> AddressIndex::build(const NameContext& ctx, QString* error) {
    const int sc = ctx.catalogue.streetClass;
    if (sc < 1 || sc > ctx.tables.classCount()) {
        if (error)
            *error = QStringLiteral("Класс улиц %1 в каталоге вне таблицы классов (1..%2)")
                         .arg(sc)
                         .arg(ctx.tables.classCount());
        return nullptr;
    }
    const FileCache::Pass pass(ctx.files);
    const ClassNames names(ctx, sc);
    if (!names.ok()) {
        if (error) *error = names.error();
        return nullptr;
    }
    auto index = std::make_shared<AddressIndex>();
    index->dataDirectory_ = ctx.dataDirectory;
    index->catalogue_ = ctx.catalogue;
    index->tables_ = ctx.tables;
    index->files_ = ctx.files;
    for (int64_t n = 1; n <= names.recordCount(); ++n) {
        if (names.nameRecord(n).partCount < 1) continue;
        const QString name = names.shortName(n).trimmed();
        index->add(int32_t(n), name);
        const QString plain = searchKey(name);
        index->plain_.emplace_back(int32_t(n), plain);
        index->plainOf_[plain].push_back(int32_t(n));
    }
    // The other names of the streets (a damaged file only loses them).
    if (const auto other = SearchNames::load(ctx.dataDirectory, ctx.files)) {
        for (const SearchNames::Entry& e : other->ofClass(sc))
            if (names.nameRecord(e.record).partCount >= 1) index->add(e.record, e.name);
    }
    index->buildTypoTable();
    return index;
}

std::shared_ptr<const AddressIndex> AddressIndex::cached(const NameContext& ctx, QString* error) {
    if (!ctx.files) return build(ctx, error);
    return ctx.files->derived<AddressIndex>(QStringLiteral("address-index:") + ctx.dataDirectory,
                                            [&] { return build(ctx, error); });
}

void AddressIndex::add(int32_t record, const QString& name) {
    const StreetKey k = streetKey(name);
    if (k.key.isEmpty()) return;
    auto it = keyOf_.constFind(k.key);
    int32_t id;
    if (it == keyOf_.constEnd()) {
        id = int32_t(keys_.size());
        keys_.push_back({k.key, k.letters, {}});
        keyOf_.insert(k.key, id);
    } else {
        id = *it;
    }
    keys_[size_t(id)].names.push_back(int32_t(names_.size()));
    names_.push_back({record, k.type});
}

void AddressIndex::buildWords() const {
    for (const Key& k : keys_)
        for (const QString& w : k.key.split(u' ')) wordSet_.insert(w);
    words_.assign(wordSet_.begin(), wordSet_.end());
    std::sort(words_.begin(), words_.end());
}

void AddressIndex::buildTypoTable() {
    for (size_t id = 0; id < keys_.size(); ++id) {
        const Key& k = keys_[id];
        if (k.letters < kTypoLetters) continue;
        typos_.emplace_back(keyHash(k.key), int32_t(id));
        forEachDeletion(k.key,
                        [&](QStringView d) { typos_.emplace_back(keyHash(d), int32_t(id)); });
    }
    std::sort(typos_.begin(), typos_.end());
    typos_.erase(std::unique(typos_.begin(), typos_.end()), typos_.end());
    typos_.shrink_to_fit();
}

// Keys one edit from key: the stored key or one of its deletions equals key
// or one of key's deletions.
void AddressIndex::typoKeys(const QString& key, std::vector<int32_t>& out) const {
    auto look = [&](QStringView probe) {
        const size_t h = keyHash(probe);
        auto it = std::lower_bound(typos_.begin(), typos_.end(), std::make_pair(h, int32_t(-1)));
        for (; it != typos_.end() && it->first == h; ++it) {
            if (std::find(out.begin(), out.end(), it->second) != out.end()) continue;
            if (oneTypoApart(key, keys_[size_t(it->second)].key)) out.push_back(it->second);
        }
    };
    look(key);
    forEachDeletion(key, look);
    std::sort(out.begin(), out.end());
}

void AddressIndex::addKeyStreets(int32_t id, const StreetKey& typed, bool typo,
                                 std::vector<Street>& out) const {
    for (int32_t n : keys_[size_t(id)].names) {
        const Name& name = names_[size_t(n)];
        out.push_back(
            {name.record, typo, typed.type != StreetType::None && name.type != typed.type});
    }
}

namespace {

// Best first, each street once.
void orderStreets(std::vector<AddressIndex::Street>& out) {
    using Street = AddressIndex::Street;
    std::stable_sort(out.begin(), out.end(), [](const Street& a, const Street& b) {
        return std::make_pair(a.typo, a.otherType) < std::make_pair(b.typo, b.otherType);
    });
    QSet<int32_t> seen;
    out.erase(std::remove_if(out.begin(), out.end(),
                             [&](const Street& s) {
                                 if (seen.contains(s.record)) return true;
                                 seen.insert(s.record);
                                 return false;
                             }),
              out.end());
}

// Abbreviations leave out at least this many letters (one is a typo), and
// those that keep the last letter are at most this long.
constexpr qsizetype kLeftOut = 2;
constexpr qsizetype kLongestContraction = 5;

// True when abbr may be a shortening of word: the same first letter, its
// letters in word in their order, and word begins with it ("STR" of
// "STRASSE", "RESIDENZSTR" of "RESIDENZSTRASSE") or, for a short one, ends
// as it does ("KGS" of "KONGENS", "BLVD" of "BOULEVARD").
bool contractionOf(QStringView abbr, QStringView word) {
    if (abbr.size() < 2 || word.size() < abbr.size() + kLeftOut || abbr[0] != word[0]) return false;
    if (word.startsWith(abbr)) return true;
    if (abbr.size() > kLongestContraction || abbr.back() != word.back()) return false;
    qsizetype j = 1;
    for (qsizetype i = 1; i < abbr.size(); ++i) {
        while (j < word.size() && word[j] != abbr[i]) ++j;
        if (j == word.size()) return false;
        ++j;
    }
    return true;
}

// At most this many full words for one typed word, and keys tried for one street.
constexpr int kMaxMeanings = 8;
constexpr size_t kMaxCombinations = 64;

}  // namespace

void AddressIndex::contractions(const QString& word, QStringList& out) const {
    auto it = std::lower_bound(words_.begin(), words_.end(), QString(word[0]));
    for (; it != words_.end() && !it->isEmpty() && it->front() == word[0]; ++it) {
        if (!contractionOf(word, *it) || out.contains(*it)) continue;
        out << *it;
        if (out.size() >= kMaxMeanings) break;
    }
}

void AddressIndex::expandWords(const QStringList& words, const StreetKey& typed, bool merged,
                               std::vector<Street>& out) const {
    const AddressWords& dictionary = AddressWords::instance();
    std::vector<QStringList> choices;
    bool changed = merged;
    size_t combinations = 1;
    for (const QString& w : words) {
        QStringList c;
        const bool known = wordSet_.contains(w);
        if (known) c << w;
        if (const QStringList* meanings = dictionary.meanings(w))
            for (const QString& m : *meanings)
                if (wordSet_.contains(m) && !c.contains(m) && c.size() < kMaxMeanings) c << m;
        if (!known)
            for (const QString& whole : dictionary.wholeEndings(w))
                if (wordSet_.contains(whole) && !c.contains(whole)) c << whole;
        if (!known && w.front().isLetter()) contractions(w, c);
        if (c.isEmpty()) return;
        changed = changed || c.size() > 1 || c.front() != w;
        combinations *= size_t(c.size());
        choices.push_back(std::move(c));
    }
    if (!changed || combinations > kMaxCombinations) return;
    std::vector<qsizetype> at(choices.size(), 0);
    for (size_t n = 0; n < combinations; ++n) {
        QStringList k;
        for (size_t i = 0; i < choices.size(); ++i) k << choices[i][at[i]];
        std::sort(k.begin(), k.end());
        auto id = keyOf_.constFind(k.join(u' '));
        if (id != keyOf_.constEnd()) addKeyStreets(*id, typed, false, out);
        for (size_t i = 0; i < at.size(); ++i) {
            if (++at[i] < choices[i].size()) break;
            at[i] = 0;
        }
    }
}

std::vector<AddressIndex::Street> AddressIndex::abbreviated(const StreetKey& typed) const {
    std::vector<Street> out;
    if (typed.key.isEmpty()) return out;
    std::call_once(wordsMade_, [this] { buildWords(); });
    const QStringList words = typed.key.split(u' ');
    expandWords(words, typed, false, out);
    // A compound written in two words ("Lindwurm Str.", "Lindwurm Straße" for
    // "Lindwurmstraße"): each pair of words joined, the first pair that names a street.
    constexpr qsizetype kMostWordsJoined = 4;
    for (qsizetype i = 0;
         out.empty() && words.size() >= 2 && words.size() <= kMostWordsJoined && i < words.size();
         ++i)
        for (qsizetype j = 0; out.empty() && j < words.size(); ++j) {
            if (i == j || !words[i].front().isLetter() || !words[j].front().isLetter()) continue;
            QStringList joined;
            for (qsizetype k = 0; k < words.size(); ++k)
                if (k != i && k != j) joined << words[k];
            joined << words[i] + words[j];
            expandWords(joined, typed, true, out);
        }
    orderStreets(out);
    return out;
}

std::vector<AddressIndex::Street> AddressIndex::streets(const StreetKey& typed,
                                                        bool withTypos) const {
    std::vector<Street> out;
    if (typed.key.isEmpty()) return out;
    auto addKey = [&](int32_t id, bool typo) { addKeyStreets(id, typed, typo, out); };
    auto it = keyOf_.constFind(typed.key);
    if (it != keyOf_.constEnd()) addKey(*it, false);
    if (withTypos && typed.letters >= kTypoLetters - 1) {
        std::vector<int32_t> ids;
        typoKeys(typed.key, ids);
        for (int32_t id : ids) addKey(id, true);
    }
    orderStreets(out);
    return out;
}

std::vector<int32_t> AddressIndex::streetsByText(const QString& text) const {
    const QString key = searchKey(text.trimmed());
    if (key.isEmpty()) return {};
    auto it = plainOf_.constFind(key);
    if (it != plainOf_.constEnd()) return *it;
    std::vector<int32_t> out;
    for (const auto& [record, plain] : plain_)
        if (searchKeyMatches(plain, key, TextMatch::Anywhere)) out.push_back(record);
    return out;
}

void AddressIndex::readStreet(const NameContext& ctx, int32_t street, StreetHouses& h) {
    h.ok = readStreetHouses(ctx, street, h.list, &h.error);
    h.byNumber.reserve(h.list.size());
    for (size_t i = 0; i < h.list.size(); ++i)
        h.byNumber.emplace_back(houseNumberValue(h.list[i].number), i);
    std::sort(h.byNumber.begin(), h.byNumber.end());
}

const AddressIndex::StreetHouses& AddressIndex::streetHouses(int32_t street) const {
    const std::lock_guard<std::mutex> lock(housesLock_);
    std::unique_ptr<StreetHouses>& h = houses_[street];
    if (!h) {
        h = std::make_unique<StreetHouses>();
        readStreet(context(), street, *h);
    }
    return *h;
}

void AddressIndex::readHouses(int32_t count, int threads) const {
    threads = std::clamp(threads, 1, 16);
    // Every threads-th street from a first one: streets of one district are
    // neighbours, so the parts' sizes are alike.
    auto part = [this, count, threads](int first) {
        FileCache files;
        const FileCache::Pass pass(&files);
        const NameContext ctx{dataDirectory_, catalogue_, tables_, &files};
        for (int32_t n = first; n <= count; n += threads) {
            auto h = std::make_unique<StreetHouses>();
            readStreet(ctx, n, *h);
            const std::lock_guard<std::mutex> lock(housesLock_);
            houses_.try_emplace(n, std::move(h));
        }
    };
    std::vector<std::thread> workers;
    for (int k = 2; k <= threads; ++k) workers.emplace_back(part, k);
    part(1);
    for (std::thread& t : workers) t.join();
}

const std::vector<HouseEntry>* AddressIndex::houses(int32_t street, QString* error) const {
    const StreetHouses& h = streetHouses(street);
    if (error) *error = h.error;
    return h.ok ? &h.list : nullptr;
}

std::vector<size_t> AddressIndex::matching(int32_t street, const HouseQuery& q) const {
    return matchingIn(streetHouses(street), q);
}

std::vector<size_t> AddressIndex::matchingIn(const StreetHouses& h, const HouseQuery& q) {
    if (!h.ok) return {};
    if (q.number.isEmpty()) return matchingHouses(h.list, q);
    // The number is that of every candidate; the other fields as houseMatches compares them.
    const double n = houseNumberValue(q.number);
    const QString letter = searchKey(q.letter);
    const double building = houseNumberValue(q.building), fraction = houseNumberValue(q.fraction);
    std::vector<size_t> found;
    auto it = std::lower_bound(h.byNumber.begin(), h.byNumber.end(), std::make_pair(n, size_t(0)));
    for (; it != h.byNumber.end() && it->first == n; ++it) {
        const HouseEntry& e = h.list[it->second];
        if (!q.letter.isEmpty() && !searchKey(e.number).contains(letter) &&
            searchKey(QStringLiteral("с") + e.structure) != letter)
            continue;
        if (!q.building.isEmpty() && houseNumberValue(e.building) != building) continue;
        if (!q.fraction.isEmpty() && houseNumberValue(e.fraction) != fraction) continue;
        if (!q.structure.isEmpty() && !structureMatches(e, q.structure)) continue;
        found.push_back(it->second);
    }
    return found;  // positions ascend within one number value
}

std::vector<AddressHit> AddressIndex::housesOn(const std::vector<Street>& streets,
                                               const HouseQuery& query, QString* error) const {
    const FileCache::Pass pass(files_);
    const HouseQuery q = query.trimmed();
    std::vector<AddressHit> hits;
    std::vector<const StreetHouses*> all;
    all.reserve(streets.size());
    for (const Street& s : streets) {
        all.push_back(&streetHouses(s.record));
        if (!all.back()->ok && error && error->isEmpty()) *error = all.back()->error;
    }
    auto hit = [&](const Street& s, const HouseEntry& h, bool exact) {
        hits.push_back({h.classNumber, h.record, s.record, exact, s.typo,
                        (s.typo ? 2 : 0) + (s.otherType ? 1 : 0)});
    };
    // On each street, a house with no field beyond those typed comes first:
    // "5" finds house 5 before 5 корп. 1.
    auto whole = [&q](const HouseEntry& h) {
        // A number such as 12А or 12с1 has more than its digits.
        const QString& n = h.number;
        const bool more = !n.isEmpty() && n.front().isDigit() &&
                          std::any_of(n.begin(), n.end(), [](QChar c) { return !c.isDigit(); });
        return (!q.letter.isEmpty() || !more) && (!q.fraction.isEmpty() || h.fraction.isEmpty()) &&
               (!q.building.isEmpty() || h.building.isEmpty()) &&
               (!q.structure.isEmpty() || h.structure.isEmpty());
    };
    for (size_t k = 0; k < streets.size(); ++k) {
        const std::vector<size_t> found = matchingIn(*all[k], q);
        const std::vector<HouseEntry>& list = all[k]->list;
        if (found.size() == 1) {
            hit(streets[k], list[found[0]], true);
            continue;
        }
        for (bool first : {true, false})
            for (size_t i : found)
                if (whole(list[i]) == first) hit(streets[k], list[i], true);
    }
    if (!hits.empty() || q.isEmpty()) return hits;
    // The house search's order: the typed number in the street's order, then
    // the nearest lower and the nearest higher house on the same side.
    for (size_t k = 0; k < streets.size(); ++k) {
        const std::vector<HouseEntry>& list = all[k]->list;
        for (size_t i : nearestHouses(list, q)) hit(streets[k], list[i], false);
    }
    return hits;
}

std::vector<AddressHit> findAddress(const AddressIndex& index, const QString& line,
                                    QString* error) {
    return findAddress(index, readAddressLine(line), error);
}

std::vector<AddressHit> findAddress(const AddressIndex& index,
                                    const std::vector<AddressReading>& readings, QString* error) {
    // The first reading that names a street as written; else with its
    // abbreviations read in full; else one typo away.
    for (const AddressReading& r : readings)
        if (!index.streets(r.street, false).empty())
            return index.housesOn(index.streets(r.street), r.house, error);
    for (const AddressReading& r : readings) {
        const std::vector<AddressIndex::Street> streets = index.abbreviated(r.street);
        if (!streets.empty()) return index.housesOn(streets, r.house, error);
    }
    for (const AddressReading& r : readings) {
        const std::vector<AddressIndex::Street> streets = index.streets(r.street);
        if (!streets.empty()) return index.housesOn(streets, r.house, error);
    }
    return {};
}

std::vector<AddressHit> findAddress(const AddressIndex& index, const QString& street,
                                    const HouseQuery& house, QString* error) {
    std::vector<AddressIndex::Street> streets;
    for (int32_t s : index.streetsByText(street)) streets.push_back({s, false, false});
    if (streets.empty()) {
        const StreetKey key = streetKey(street);
        if (!index.streets(key, false).empty())
            return index.housesOn(index.streets(key), house, error);
        streets = index.abbreviated(key);
        if (streets.empty()) streets = index.streets(key);
    }
    return index.housesOn(streets, house, error);
}

}  // namespace urbica
