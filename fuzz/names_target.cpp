// The class files (.cls, .cl2, .ssl, .dnl) of a few classes of a fixed
// classifier: names, references and the search lists come out of them or an
// error does, with every list entry naming a record that exists.
#include <map>
#include <set>

#include "dataset/datafile.h"
#include "dataset/listmodel.h"
#include "dataset/names.h"
#include "support.h"
#include "targets.h"

namespace urbica::fuzz {

namespace {

ClassRecord classRecord(const char* name, const char* base, int16_t style) {
    ClassRecord c;
    c.className = QString::fromUtf8(name);
    c.baseName = QString::fromLatin1(base);
    c.nameStyle = style;
    c.searchable = -1;
    c.hasNames = -1;
    return c;
}

constexpr int kDistricts = 1, kStreets = 2, kOrganisations = 7, kHouses = 9;

// Record numbers worth asking for: the first few, the last and just past it.
std::set<int64_t> sampleRecords(int64_t count) {
    std::set<int64_t> n{-1, 0, 1, 2, 3, 4, 5, count, count + 1};
    return n;
}

// Every entry names a record of one of the classes.
void checkList(const ListModel& list, const std::set<int>& classes, const NameContext& ctx) {
    std::map<int, int64_t> counts;
    for (int c : classes) {
        const ClassNames names(ctx, c);
        counts[c] = names.ok() ? names.recordCount() : -1;
    }
    for (int i = 0; i < list.count(); ++i) {
        const NamedObject o = decodeItemKey(list.itemData(i));
        FUZZ_CHECK(counts.count(o.classNumber) == 1);
        FUZZ_CHECK(o.record >= 1 && o.record <= counts[o.classNumber]);
    }
    FUZZ_CHECK(list.isEmpty() ? list.currentIndex() == -1
                              : list.currentIndex() >= -1 && list.currentIndex() < list.count());
}

}  // namespace

QStringList nameFiles() {
    return {QStringLiteral("raiony.cls"), QStringLiteral("raiony.cl2"), QStringLiteral("ulicy.cls"),
            QStringLiteral("ulicy.cl2"),  QStringLiteral("ulicy.ssl"),  QStringLiteral("ulicy.dnl"),
            QStringLiteral("org.cls"),    QStringLiteral("org.cl2"),    QStringLiteral("doma.cls"),
            QStringLiteral("doma.cl2")};
}

Tables nameTables() {
    Tables t;
    t.classes = {ClassRecord{},
                 classRecord("Районы", "raiony", 1),
                 classRecord("Улицы", "ulicy", 2),
                 classRecord("Станции метро", "metro", 1),
                 classRecord("Линии метро", "linmetro", 1),
                 classRecord("Парки и скверы", "parki", 1),
                 classRecord("Водоёмы", "vodoemy", 1),
                 classRecord("Организации", "org", 4),
                 classRecord("Достопримечательности", "dostopr", 1),
                 classRecord("Дома", "doma", 3)};
    t.classExtra.assign(t.classes.size(), 0);
    return t;
}

namespace {

// Every name, reference and list the routines give, in one list of texts.
QStringList exercise(const NameContext& ctx) {
    QStringList seen;
    auto list = [&](const ListModel& l) {
        for (int i = 0; i < l.count(); ++i)
            seen << l.text(i) + QLatin1Char('|') + QString::number(l.itemData(i));
        seen << QString::number(l.currentIndex());
    };

    for (int c : {kDistricts, kStreets, 3, kOrganisations, kHouses}) {
        const ClassNames names(ctx, c);
        for (int64_t n : sampleRecords(names.recordCount())) {
            QString error;
            const QString brief = objectName(ctx, c, n, false, &error);
            if (names.ok() && error.isEmpty()) FUZZ_CHECK(brief == names.shortName(n));
            seen << brief << objectName(ctx, c, n, true, &error) << error;
            NameRecord rec;
            if (!readNameRecord(ctx, c, n, rec)) continue;
            if (names.ok()) FUZZ_CHECK(rec.mapObjectCount == names.nameRecord(n).mapObjectCount);
            std::vector<ObjectRef> refs;
            seen << QString::number(readMapObjectRefs(ctx, c, rec, refs));
            FUZZ_CHECK(int64_t(refs.size()) <= std::max<int64_t>(rec.mapObjectCount, 0));
            for (const ObjectRef& r : refs)
                seen << QStringLiteral("%1:%2").arg(r.first).arg(r.second);
            seen << QString::number(readPartRefs(ctx, c, rec, refs));
            FUZZ_CHECK(int64_t(refs.size()) <= std::max<int64_t>(rec.partCount, 0));
            for (const ObjectRef& r : refs)
                seen << QStringLiteral("%1:%2").arg(r.first).arg(r.second);
        }
    }
    for (int64_t n : {-1, 0, 1, 2, 3}) seen << streetName(ctx, n);
    seen << checkClassKeys(ctx);

    ListModel streets(true);
    QString error;
    if (fillStreetList(ctx, streets, &error) == FillStatus::Done) {
        const ClassNames names(ctx, kStreets);
        for (int i = 0; i < streets.count(); ++i)
            FUZZ_CHECK(streets.itemData(i) >= 1 && streets.itemData(i) <= names.recordCount());
    } else {
        FUZZ_CHECK(streets.isEmpty() && !error.isEmpty());
    }
    list(streets);

    for (int c : {kDistricts, kStreets, kOrganisations, kHouses}) {
        ListModel findList, nosortList;
        if (fillClassList(ctx, findList, c, nosortList) != FillStatus::Done) continue;
        checkList(findList, {c}, ctx);
        checkList(nosortList, {c}, ctx);
        list(findList);
        list(nosortList);
        FUZZ_CHECK(nosortList.isEmpty() || nosortList.count() == findList.count());
        FUZZ_CHECK(findList.isVisible() != nosortList.isVisible());
    }

    // Classes without files fail the search as a whole; these have theirs.
    const std::vector<int> all{kDistricts, kStreets, kOrganisations, kHouses};
    for (const char* text : {"1", "ул", "а"}) {
        ListModel found;
        const FillStatus status =
            findByText(ctx, QString::fromUtf8(text), found, all, nullptr, &error,
                       text[0] == '1' ? TextMatch::Anywhere : TextMatch::WordStart);
        if (status == FillStatus::Done)
            checkList(found, {kDistricts, kStreets, kOrganisations, kHouses}, ctx);
        seen << QString::number(int(status));
        list(found);
    }
    return seen;
}

}  // namespace

int fuzzNames(const uint8_t* data, size_t size) {
    const QString& folder = targetFolder("names");
    const QStringList files = nameFiles();
    putFiles(folder, files, splitInput(data, size, int(files.size())));

    static const Tables tables = nameTables();
    Catalogue catalogue;
    catalogue.streetClass = kStreets;
    const QStringList direct = exercise(NameContext{folder, catalogue, tables});
    // The file cache gives what the files give, the first time and again.
    FileCache cache;
    const NameContext cached{folder, catalogue, tables, &cache};
    FUZZ_CHECK(exercise(cached) == direct);
    FUZZ_CHECK(exercise(cached) == direct);
    return 0;
}

}  // namespace urbica::fuzz
