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
        case 2:
            return 32;
        case 3:
            return 0;
        case 4:
            return 25;
        default:
            return 94;
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

}  // namespace

FillStatus findByText(const NameContext& ctx, const QString& text, ListModel& list,
                      const std::vector<int>& classes, const std::atomic<bool>* cancel,
                      QString* error, TextMatch rule, bool typos) {
    const QString wanted = searchKey(trimBlanks(text));
    const TypoQuery typo = typos ? typoQuery(wanted) : TypoQuery{};
    std::vector<QStringView> words;  // scratch of typoMatches
    std::vector<ListModel::Item> typoFound;
    if (wanted.isEmpty()) return FillStatus::Done;
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
        // One typo away, unless found as typed by some name of it.
        std::sort(typoRecords.begin(), typoRecords.end());
        typoRecords.erase(std::unique(typoRecords.begin(), typoRecords.end()), typoRecords.end());
        std::vector<int32_t> exact;
        for (const ListModel::Item& f : found) exact.push_back(decodeItemKey(f.data).record);
        std::sort(exact.begin(), exact.end());
        for (int32_t n : typoRecords)
            if (!std::binary_search(exact.begin(), exact.end(), n))
                typoFound.push_back({prefix + names.shortName(n), itemKey(c, n), 1});
        if (status != FillStatus::Cancelled && !eventsUpTo(count)) status = FillStatus::Cancelled;
        list.addItems(std::move(found));
        if (status == FillStatus::Cancelled) break;
        list.letEventsRun();  // also lets a cancel in before the next class
    }
    list.addItems(std::move(typoFound));
    distinguishSameTexts(ctx, list);
    if (!list.isEmpty()) list.setCurrentIndex(0);
    return status;
}

}  // namespace urbica
