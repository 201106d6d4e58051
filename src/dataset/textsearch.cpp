// The text search over the names of classes: search keys made once per
// class and kept, matched anywhere or at word starts, names cut at their
// field, and the other names of objects.
#include <QStringView>
#include <algorithm>
#include <climits>

#include "dataset/binary.h"
#include "dataset/listmodel.h"
#include "dataset/names.h"
#include "dataset/namesshared.h"
#include "dataset/sametexts.h"
#include "dataset/searchnames.h"
#include "dataset/textfold.h"
#include "dataset/typomatch.h"

namespace urbica {

using namespace names_shared;

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

// A key as the loose pass compares it: the ASCII double spellings of
// national letters folded (foldLatinSpellings), dots read as blanks and
// blanks run together ("H.C. ANDERSENS" as "H C ANDERSENS").
QString looseKey(QStringView key) {
    const QString folded = foldLatinSpellings(key);
    QString out;
    out.reserve(folded.size());
    for (QChar c : folded) {
        if (c == u'.') c = u' ';
        if (c == u' ' && (out.isEmpty() || out.back() == u' ')) continue;
        out += c;
    }
    while (out.endsWith(u' ')) out.chop(1);
    return out;
}

// The keys as looseKey makes them, made only for a search that asks for them.
struct LooseSearchKeys {
    QString keys;
    std::vector<qsizetype> starts;

    LooseSearchKeys(QStringView all, const std::vector<qsizetype>& keyStarts) {
        starts.reserve(keyStarts.size());
        for (size_t i = 0; i + 1 < keyStarts.size(); ++i) {
            starts.push_back(keys.size());
            keys += looseKey(all.mid(keyStarts[i], keyStarts[i + 1] - keyStarts[i]));
        }
        starts.push_back(keys.size());
        keys.squeeze();
    }
};

// The typed key and its other spellings, folded as loose keys are; empty
// when a loose pass could find nothing more (no Latin letter, no spelling
// that adds to the key).
// A spelling that holds the typed key finds nothing more when the key may
// stand anywhere ("БУЛЬВАР" for "БУЛЬВ").
QStringList looseWanted(const QString& wanted, const QStringList& spellings, TextMatch rule) {
    const bool latin = std::any_of(wanted.begin(), wanted.end(), [](QChar c) {
        return c.unicode() >= 'A' && c.unicode() <= 'Z';
    });
    QStringList out{looseKey(wanted)};
    for (const QString& s : spellings) {
        const QString k = looseKey(searchKey(trimBlanks(s)));
        if (!k.isEmpty() && !out.contains(k) &&
            !(rule == TextMatch::Anywhere && k.contains(out.front())))
            out << k;
    }
    if (!latin && out.size() == 1) out.clear();
    return out;
}

// A typed text with words written short, each marked by its dot ("KGS.
// NYTORV", "MARIENPL."): its words folded as loose keys are.
struct ShortWordsQuery {
    std::vector<QString> words;
    std::vector<bool> shortened;
    QString longestWhole;  // a name that matches holds it
    bool usable = false;   // some word is marked short
};

ShortWordsQuery shortWordsQuery(const QString& wanted) {
    ShortWordsQuery q;
    QString w;
    auto end = [&](bool dot) {
        if (!w.isEmpty()) {
            w = foldLatinSpellings(w);
            q.usable = q.usable || dot;
            if (!dot && w.size() > q.longestWhole.size()) q.longestWhole = w;
            q.words.push_back(w);
            q.shortened.push_back(dot);
        }
        w.clear();
    };
    for (QChar c : wanted) {
        if (c.isLetterOrNumber())
            w += c;
        else
            end(c == u'.');
    }
    end(false);
    return q;
}

// True when the typed short word may stand for the name's word: its
// beginning, or a contraction (same first and last letter, the others in
// order, at least two left out: "KGS" for "KONGENS", "GL" for "GAMMEL").
bool shortFor(QStringView typed, QStringView word) {
    if (word.startsWith(typed)) return true;
    if (typed.size() < 2 || word.size() < typed.size() + 2 || typed.front() != word.front() ||
        typed.back() != word.back())
        return false;
    qsizetype j = 1;
    for (qsizetype i = 1; i < typed.size(); ++i) {
        j = word.indexOf(typed[i], j);
        if (j < 0) return false;
        ++j;
    }
    return true;
}

// True when the name's loose key holds the typed words at word starts one
// after another: short words as shortFor allows, the last whole word as a
// beginning, the others whole.
bool shortWordsMatch(QStringView key, const ShortWordsQuery& q, std::vector<QStringView>& words) {
    if (!key.contains(q.longestWhole)) return false;
    words.clear();
    for (qsizetype i = 0; i < key.size();) {
        if (!key[i].isLetterOrNumber()) {
            ++i;
            continue;
        }
        qsizetype e = i;
        while (e < key.size() && key[e].isLetterOrNumber()) ++e;
        words.push_back(key.mid(i, e - i));
        i = e;
    }
    const size_t n = q.words.size();
    for (size_t s = 0; s + n <= words.size(); ++s) {
        size_t i = 0;
        for (; i < n; ++i) {
            const QStringView t(q.words[i]), w = words[s + i];
            const bool ok = q.shortened[i] ? shortFor(t, w) : i + 1 == n ? w.startsWith(t) : w == t;
            if (!ok) break;
        }
        if (i == n) return true;
    }
    return false;
}

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
        case kStreetNameStyle:
            return StreetNameRecord::kName.width;
        case kHouseNumberStyle:
            return 0;
        case kLongNameStyle:
            return LongNameRecord::kShortName.width;
        default:
            return PlainNameRecord::kName.width;
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
template <class Matches>
std::vector<int32_t> otherNameMatches(const SearchNames& other, const ClassNames& names, int c,
                                      Matches matches) {
    std::vector<int32_t> out;
    for (const SearchNames::Entry& e : other.ofClass(c)) {
        if (e.record > names.recordCount() || names.nameRecord(e.record).mapObjectCount < 1)
            continue;
        if (!out.empty() && out.back() == e.record) continue;
        if (matches(QStringView(e.key))) out.push_back(e.record);
    }
    return out;
}

// The text written another way: its ASCII spellings folded, its other
// spellings, its words cut at their dots.
class LooseQuery {
public:
    LooseQuery(const QString& wanted, const QStringList& spellings, TextMatch rule)
        : keys_(looseWanted(wanted, spellings, rule)),
          short_(shortWordsQuery(wanted)),
          rule_(rule) {}
    bool active() const { return !keys_.isEmpty() || short_.usable; }
    bool matches(QStringView looseKey) {
        return std::any_of(keys_.begin(), keys_.end(),
                           [&](const QString& l) { return keyMatches(looseKey, l, rule_); }) ||
               (short_.usable && shortWordsMatch(looseKey, short_, scratch_));
    }

private:
    QStringList keys_;
    ShortWordsQuery short_;
    TextMatch rule_;
    std::vector<QStringView> scratch_;
};

// The records of class c (ascending, each once) that some name of them
// matches written another way.
std::vector<int32_t> looseMatchRecords(const NameContext& ctx, const QString& keyName,
                                       const ClassSearchKeys& keys, const SearchNames& other,
                                       const ClassNames& names, int c, LooseQuery& loose) {
    const QStringView all(keys.keys);
    auto make = [&] { return std::make_shared<const LooseSearchKeys>(all, keys.starts); };
    const auto lk =
        ctx.files ? ctx.files->derived<LooseSearchKeys>(keyName + QStringLiteral(" loose"), make)
                  : make();
    const QStringView la(lk->keys);
    std::vector<int32_t> out;
    for (size_t i = 0; i < keys.records.size(); ++i)
        if (loose.matches(la.mid(lk->starts[i], lk->starts[i + 1] - lk->starts[i])))
            out.push_back(keys.records[i]);
    const std::vector<int32_t> others = otherNameMatches(
        other, names, c, [&](QStringView k) { return loose.matches(looseKey(k)); });
    out.insert(out.end(), others.begin(), others.end());
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
    return out;
}

// One search by text over classes. Each class lists its names found as
// typed at once; the names found written another way and those one typo
// away are kept to follow the names found as typed of every class.
class TextSearchRun {
public:
    TextSearchRun(const NameContext& ctx, ListModel& list, const std::atomic<bool>* cancel,
                  const QString& wanted, TextMatch rule, bool typos, const QStringList& spellings)
        : ctx_(ctx),
          list_(list),
          cancel_(cancel),
          wanted_(wanted),
          rule_(rule),
          typo_(typos ? typoQuery(wanted) : TypoQuery{}),
          loose_(wanted, spellings, rule) {}

    void loadOtherNames() { otherNames_ = SearchNames::load(ctx_.dataDirectory, ctx_.files); }
    bool cancelled() const { return cancel_ && cancel_->load(std::memory_order_relaxed); }
    // Lists what class c holds; Cancelled when a cancel came.
    FillStatus searchClass(int c, const ClassNames& names);
    // Lists the names found written another way, then those a typo away.
    void finish() {
        list_.addItems(std::move(looseFound_));
        list_.addItems(std::move(typoFound_));
    }

private:
    // Pending events run at every kEventsEvery-th record, listed or not.
    bool eventsUpTo(int64_t n) {
        for (; nextEvents_ <= n; nextEvents_ += kEventsEvery) {
            list_.letEventsRun();
            if (cancelled()) return false;
        }
        return true;
    }
    FillStatus listAsTyped(int c, const ClassNames& names, const ClassSearchKeys& keys,
                           const QString& prefix, std::vector<ListModel::Item>& found);
    void addTypoCandidates(const QString& keyName, const ClassSearchKeys& keys,
                           std::vector<int32_t>& typoRecords);
    void keepOtherWays(int c, const ClassNames& names, const QString& keyName,
                       const ClassSearchKeys& keys, const QString& prefix,
                       const std::vector<ListModel::Item>& found, std::vector<int32_t>& typoRecords,
                       bool cancelled);

    const NameContext& ctx_;
    ListModel& list_;
    const std::atomic<bool>* cancel_;
    const QString wanted_;
    const TextMatch rule_;
    const TypoQuery typo_;
    LooseQuery loose_;
    std::shared_ptr<const SearchNames> otherNames_;
    std::vector<QStringView> words_;  // scratch of typoMatches
    std::vector<ListModel::Item> typoFound_, looseFound_;
    int64_t nextEvents_ = kEventsEvery;
};

FillStatus TextSearchRun::searchClass(int c, const ClassNames& names) {
    const int64_t count = names.recordCount();
    const QString prefix = trimBlanks(classRecord(ctx_, c).className) + QLatin1Char(' ');
    nextEvents_ = kEventsEvery;
    const QString keyName = QStringLiteral("search keys %1 %2 %3")
                                .arg(classFilePath(ctx_, c, ".cl2"))
                                .arg(classRecord(ctx_, c).nameStyle)
                                .arg(ctx_.catalogue.streetClass);
    const auto keys = ctx_.files ? ctx_.files->derived<ClassSearchKeys>(
                                       keyName, [&] { return ClassSearchKeys::make(names); })
                                 : ClassSearchKeys::make(names);
    std::vector<int32_t> typoRecords;
    if (typo_.usable)
        typoRecords = otherNameMatches(
            *otherNames_, names, c, [&](QStringView k) { return typoMatches(k, typo_, words_); });
    std::vector<ListModel::Item> found;
    FillStatus status = listAsTyped(c, names, *keys, prefix, found);
    if (typo_.usable && status != FillStatus::Cancelled)
        addTypoCandidates(keyName, *keys, typoRecords);
    keepOtherWays(c, names, keyName, *keys, prefix, found, typoRecords,
                  status == FillStatus::Cancelled);
    if (status != FillStatus::Cancelled && !eventsUpTo(count)) status = FillStatus::Cancelled;
    list_.addItems(std::move(found));
    return status;
}

// The names found as typed, in record order, and among them the objects
// found by another of their names, each once.
FillStatus TextSearchRun::listAsTyped(int c, const ClassNames& names, const ClassSearchKeys& keys,
                                      const QString& prefix, std::vector<ListModel::Item>& found) {
    const QStringView all(keys.keys);
    const int field = shortNameField(classRecord(ctx_, c).nameStyle);
    const std::vector<int32_t> other = otherNameMatches(
        *otherNames_, names, c, [&](QStringView k) { return keyMatches(k, wanted_, rule_); });
    auto nextOther = other.begin();
    auto takeOthersBefore = [&](int32_t n) {
        for (; nextOther != other.end() && *nextOther < n; ++nextOther)
            found.push_back({prefix + names.displayName(*nextOther), itemKey(c, *nextOther)});
        if (nextOther != other.end() && *nextOther == n) ++nextOther;
    };
    for (size_t i = 0; i < keys.records.size(); ++i) {
        const int32_t n = keys.records[i];
        if (!eventsUpTo(n)) return FillStatus::Cancelled;
        const QStringView key = all.mid(keys.starts[i], keys.starts[i + 1] - keys.starts[i]);
        if (keyMatches(key, wanted_, rule_) || cutNameMatches(key, wanted_, field)) {
            takeOthersBefore(n);
            found.push_back({prefix + names.displayName(n), itemKey(c, n)});
        }
    }
    takeOthersBefore(INT32_MAX);
    return FillStatus::Done;
}

// Names one typo away: the few the class's word index offers, checked whole.
void TextSearchRun::addTypoCandidates(const QString& keyName, const ClassSearchKeys& keys,
                                      std::vector<int32_t>& typoRecords) {
    const QStringView all(keys.keys);
    const auto index =
        ctx_.files ? ctx_.files->derived<TypoIndex>(
                         keyName + QStringLiteral(" typo words"),
                         [&] { return std::make_shared<const TypoIndex>(all, keys.starts); })
                   : std::make_shared<const TypoIndex>(all, keys.starts);
    for (int32_t i : index->candidates(typo_)) {
        const QStringView key =
            all.mid(keys.starts[size_t(i)], keys.starts[size_t(i) + 1] - keys.starts[size_t(i)]);
        if (typoMatches(key, typo_, words_)) typoRecords.push_back(keys.records[size_t(i)]);
    }
}

// Written another way (ASCII spellings, abbreviations written out), unless
// found as typed; one typo away, unless found either way.
void TextSearchRun::keepOtherWays(int c, const ClassNames& names, const QString& keyName,
                                  const ClassSearchKeys& keys, const QString& prefix,
                                  const std::vector<ListModel::Item>& found,
                                  std::vector<int32_t>& typoRecords, bool cancelled) {
    std::vector<int32_t> exact;
    for (const ListModel::Item& f : found) exact.push_back(decodeItemKey(f.data).record);
    std::sort(exact.begin(), exact.end());
    std::vector<int32_t> looseRecords;
    if (loose_.active() && !cancelled) {
        looseRecords = looseMatchRecords(ctx_, keyName, keys, *otherNames_, names, c, loose_);
        for (int32_t n : looseRecords)
            if (!std::binary_search(exact.begin(), exact.end(), n))
                looseFound_.push_back({prefix + names.displayName(n), itemKey(c, n), 1});
    }
    std::sort(typoRecords.begin(), typoRecords.end());
    typoRecords.erase(std::unique(typoRecords.begin(), typoRecords.end()), typoRecords.end());
    for (int32_t n : typoRecords)
        if (!std::binary_search(exact.begin(), exact.end(), n) &&
            !std::binary_search(looseRecords.begin(), looseRecords.end(), n))
            typoFound_.push_back({prefix + names.shortName(n), itemKey(c, n), 1});
}

}  // namespace

FillStatus findByText(const NameContext& ctx, const QString& text, ListModel& list,
                      const std::vector<int>& classes, const std::atomic<bool>* cancel,
                      QString* error, TextMatch rule, bool typos, const QStringList& spellings) {
    const QString wanted = searchKey(trimBlanks(text));
    if (wanted.isEmpty()) return FillStatus::Done;
    TextSearchRun run(ctx, list, cancel, wanted, rule, typos, spellings);
    const FileCache::Pass pass(ctx.files);
    list.clear();
    list.letEventsRun();
    run.loadOtherNames();
    FillStatus status = FillStatus::Done;
    for (int c : classes) {
        if (!classInTable(ctx, c) || classRecord(ctx, c).hasNames == 0) continue;
        if (run.cancelled()) {
            status = FillStatus::Cancelled;
            break;
        }
        const ClassNames names(ctx, c);
        if (!names.ok()) {
            setError(error, names.error());
            list.clear();
            return FillStatus::Failed;
        }
        if (!classKeysFit(c, names.recordCount())) continue;  // reported once at load
        status = run.searchClass(c, names);
        if (status == FillStatus::Cancelled) break;
        list.letEventsRun();  // also lets a cancel in before the next class
    }
    run.finish();
    distinguishSameTexts(ctx, list);
    if (!list.isEmpty()) list.setCurrentIndex(0);
    return status;
}

}  // namespace urbica
