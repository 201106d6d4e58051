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

}  // namespace

FillStatus findByText(const NameContext& ctx, const QString& text, ListModel& list,
                      const std::vector<int>& classes, const std::atomic<bool>* cancel,
                      QString* error, TextMatch rule, bool typos, const QStringList& spellings) {
    const QString wanted = searchKey(trimBlanks(text));
    const TypoQuery typo = typos ? typoQuery(wanted) : TypoQuery{};
    std::vector<QStringView> words;  // scratch of typoMatches
    std::vector<ListModel::Item> typoFound, looseFound;
    if (wanted.isEmpty()) return FillStatus::Done;
    LooseQuery loose(wanted, spellings, rule);
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
        const std::vector<int32_t> other = otherNameMatches(
            *otherNames, names, c, [&](QStringView k) { return keyMatches(k, wanted, rule); });
        std::vector<int32_t> typoRecords;
        if (typo.usable)
            typoRecords = otherNameMatches(
                *otherNames, names, c, [&](QStringView k) { return typoMatches(k, typo, words); });
        auto nextOther = other.begin();
        auto takeOthersBefore = [&](int32_t n) {
            for (; nextOther != other.end() && *nextOther < n; ++nextOther)
                found.push_back({prefix + names.displayName(*nextOther), itemKey(c, *nextOther)});
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
                found.push_back({prefix + names.displayName(n), itemKey(c, n)});
            }
        }
        // Names one typo away: the few the class's word index offers, checked whole.
        if (typo.usable && status != FillStatus::Cancelled) {
            const auto index =
                ctx.files
                    ? ctx.files->derived<TypoIndex>(
                          keyName + QStringLiteral(" typo words"),
                          [&] { return std::make_shared<const TypoIndex>(all, keys->starts); })
                    : std::make_shared<const TypoIndex>(all, keys->starts);
            for (int32_t i : index->candidates(typo)) {
                const QStringView key = all.mid(
                    keys->starts[size_t(i)], keys->starts[size_t(i) + 1] - keys->starts[size_t(i)]);
                if (typoMatches(key, typo, words)) typoRecords.push_back(keys->records[size_t(i)]);
            }
        }
        if (status != FillStatus::Cancelled) takeOthersBefore(INT32_MAX);
        std::vector<int32_t> exact;
        for (const ListModel::Item& f : found) exact.push_back(decodeItemKey(f.data).record);
        std::sort(exact.begin(), exact.end());
        // Written another way (ASCII spellings, abbreviations written out),
        // unless found as typed: after the names found as typed.
        std::vector<int32_t> looseRecords;
        if (loose.active() && status != FillStatus::Cancelled) {
            looseRecords = looseMatchRecords(ctx, keyName, *keys, *otherNames, names, c, loose);
            for (int32_t n : looseRecords)
                if (!std::binary_search(exact.begin(), exact.end(), n))
                    looseFound.push_back({prefix + names.displayName(n), itemKey(c, n), 1});
        }
        // One typo away, unless found as typed or written another way.
        std::sort(typoRecords.begin(), typoRecords.end());
        typoRecords.erase(std::unique(typoRecords.begin(), typoRecords.end()), typoRecords.end());
        for (int32_t n : typoRecords)
            if (!std::binary_search(exact.begin(), exact.end(), n) &&
                !std::binary_search(looseRecords.begin(), looseRecords.end(), n))
                typoFound.push_back({prefix + names.shortName(n), itemKey(c, n), 1});
        if (status != FillStatus::Cancelled && !eventsUpTo(count)) status = FillStatus::Cancelled;
        list.addItems(std::move(found));
        if (status == FillStatus::Cancelled) break;
        list.letEventsRun();  // also lets a cancel in before the next class
    }
    list.addItems(std::move(looseFound));
    list.addItems(std::move(typoFound));
    distinguishSameTexts(ctx, list);
    if (!list.isEmpty()) list.setCurrentIndex(0);
    return status;
}

}  // namespace urbica
