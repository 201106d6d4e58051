#include "dataset/names.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <random>

#include "dataset/binary.h"
#include "dataset/datafile.h"
#include "dataset/fileproblems.h"
#include "dataset/listmodel.h"
#include "dataset/writer.h"

using namespace urbica;

namespace {

ClassRecord cls(const char* name, int16_t style, const char* base, int16_t hasNames = 1) {
    ClassRecord r;
    r.className = QString::fromUtf8(name);
    r.nameStyle = style;
    r.baseName = QString::fromLatin1(base);
    r.hasNames = hasNames;
    r.searchable = 1;
    return r;
}

NameData named(const char* name, int objects = 1, int16_t parentClass = 0,
               int32_t parentRecord = 0) {
    NameData n;
    n.name = QString::fromUtf8(name);
    for (int i = 0; i < objects; ++i) n.mapObjects.push_back({1, i + 1});
    n.parentClass = parentClass;
    n.parentRecord = parentRecord;
    return n;
}

NameData house(const char* number, const char* fraction, const char* building, int16_t parentClass,
               int32_t parentRecord) {
    NameData n = named("", 1, parentClass, parentRecord);
    n.number = QString::fromUtf8(number);
    n.fraction = QString::fromUtf8(fraction);
    n.building = QString::fromUtf8(building);
    return n;
}

QString u(const char* s) { return QString::fromUtf8(s); }

enum : int {
    kStreets = 1,
    kDistricts,
    kHouses,
    kMuseums,
    kSchools,
    kCafes,
    kPharmacies,
    kLanes,
    kClassCount = kLanes
};

// A small city with one class of every kind the names come in.
struct City : ::testing::Test {
    QTemporaryDir tmp;
    QString dir;
    DatasetData data;
    mutable DatasetProblems problems;  // the damaged files the readers met

    NameContext ctx() const {
        return NameContext{dir, data.catalogue, data.tables, nullptr, nullptr, &problems};
    }
    // How often each of the files is named in what the readers noted.
    std::vector<qsizetype> timesNamed(const QStringList& files) const {
        const QString all = problems.take().join(QLatin1Char('\n'));
        std::vector<qsizetype> out;
        for (const QString& f : files) out.push_back(all.count(f));
        return out;
    }

    void SetUp() override {
        ASSERT_TRUE(tmp.isValid());
        dir = tmp.path() + QLatin1Char('/');
        data.catalogue.streetClass = kStreets;
        auto& classes = data.tables.classes;
        classes.resize(kClassCount + 1);
        classes[kStreets] = cls("Улицы", 2, "ulic");
        classes[kDistricts] = cls("Районы", 1, "rn");
        classes[kHouses] = cls("Дома", 3, "dom");
        classes[kMuseums] = cls("Музеи", 4, "muz");
        classes[kSchools] = cls("Школы", 5, "shk");
        classes[kCafes] = cls("Кафе", 1, "kafe", 0);
        classes[kPharmacies] = cls("Аптеки", 1, "apt");
        classes[kLanes] = cls("Проезды", 2, "prz");
        data.tables.classExtra.resize(kClassCount + 1);

        auto& names = data.classNames;
        names.resize(kClassCount + 1);
        names[kStreets] = {
            named("Садовая", 1, kDistricts, 1),  // 1
            named("Арбат"),                      // 2
            named("Пустая", 0),                  // 3: neither objects nor houses
            named("Кольцевая", 1, kStreets, 5),  // 4 and 5 are each other's parent
            named("Петля", 1, kStreets, 4),      // 5
            named("Южная", 1, kDistricts, 2),    // 6
            named("Лесная", 1, kMuseums, 2),     // 7: same parent record, other class
            named("бульвар", 0),                 // 8: houses only
        };
        names[kStreets][7].parts.push_back({kHouses, 2});
        names[kDistricts] = {named("Центральный"), named("Южный")};
        names[kHouses] = {
            house("12", "3", "2", kStreets, 1),  // 1
            house("7а", "", "", kStreets, 2),    // 2
            house("5", "", "", kHouses, 3),      // 3: its own parent
            house("", "", "4", 0, 0),            // 4: building only
            house("", "", "", kStreets, 1),      // 5: all blank
        };
        NameData museum = named("Государственный исторический музей", 1, kDistricts, 1);
        museum.shortName = u("Исторический");
        NameData museum2 = named("Музей-квартира", 1, kDistricts, 2);
        museum2.shortName = u("Квартира");
        names[kMuseums] = {museum, museum2};
        names[kSchools] = {named("10"), named("2"),  named("Закрыта", 0),
                           named("1"),  named("2б"), named("")};
        names[kCafes] = {named("Садовое кафе")};
        names[kPharmacies] = {named("1"), named("Аптека на Садовой"), named("3")};
        names[kLanes] = {named("", 1, kDistricts, 2), named("", 1, kStreets, 1), named("", 1)};

        QString error;
        ASSERT_TRUE(writeDataset(data, dir, &error)) << error.toStdString();
    }

    QString path(const char* file) const { return dir + QLatin1String(file); }
    void truncate(const char* file, qint64 size) {
        QFile f(path(file));
        ASSERT_TRUE(f.resize(size));
    }
    QByteArray nameRecord(int16_t objects, int16_t parentClass, int32_t parentRecord) {
        QByteArray r(NameRecord::kRecordLength, '\0');
        NameRecord{.mapObjectCount = objects,
                   .firstMapObject = 1,
                   .parentClass = parentClass,
                   .parentRecord = parentRecord}
            .encode(r.data());
        return r;
    }
};

std::vector<QString> texts(const ListModel& list) {
    std::vector<QString> out;
    for (int i = 0; i < list.count(); ++i) out.push_back(list.text(i));
    return out;
}

// ---------------------------------------------------------------------------

TEST_F(City, HouseNamesWithAndWithoutContext) {
    EXPECT_EQ(objectName(ctx(), kHouses, 1, true), u("Садовая д.12/3 кор.2"));
    EXPECT_EQ(objectName(ctx(), kHouses, 1, false), u("12/3 к.2"));
    // No building: no building part and no trailing blank.
    EXPECT_EQ(objectName(ctx(), kHouses, 2, true), u("Арбат д.7а"));
    EXPECT_EQ(objectName(ctx(), kHouses, 2, false), u("7а"));
    // Only a building number: the short form is trimmed at the front.
    EXPECT_EQ(objectName(ctx(), kHouses, 4, false), u("к.4"));
    EXPECT_EQ(objectName(ctx(), kHouses, 4, true), u("кор.4"));
    // Nothing stored: the context form is the parent alone.
    EXPECT_EQ(objectName(ctx(), kHouses, 5, false), u(""));
    EXPECT_EQ(objectName(ctx(), kHouses, 5, true), u("Садовая"));
}

TEST_F(City, StreetNamesCarryTheirParentInParentheses) {
    EXPECT_EQ(objectName(ctx(), kStreets, 1, true), u("Садовая(Центральный)"));
    EXPECT_EQ(objectName(ctx(), kStreets, 1, false), u("Садовая"));
    EXPECT_EQ(objectName(ctx(), kStreets, 2, true), u("Арбат"));
    EXPECT_EQ(streetName(ctx(), 0), u("Без имени"));
    EXPECT_EQ(streetName(ctx(), 2), u("Арбат"));
    // Another class of street style reads its names from the street class,
    // and its own index for the parent.
    EXPECT_EQ(objectName(ctx(), kLanes, 1, false), u("Садовая"));
    EXPECT_EQ(objectName(ctx(), kLanes, 1, true), u("Садовая(Южный)"));
    EXPECT_EQ(objectName(ctx(), kLanes, 2, true), u("Арбат(Садовая)"));
    // Past the class's own index there is no context name.
    EXPECT_EQ(objectName(ctx(), kLanes, 4, false), u("Кольцевая"));
    EXPECT_EQ(objectName(ctx(), kLanes, 4, true), u(""));
}

TEST_F(City, LongAndPlainNames) {
    EXPECT_EQ(objectName(ctx(), kMuseums, 1, true),
              u("Центральный Государственный исторический музей"));
    EXPECT_EQ(objectName(ctx(), kMuseums, 1, false), u("Исторический"));
    EXPECT_EQ(objectName(ctx(), kDistricts, 2, true), u("Южный"));
    EXPECT_EQ(objectName(ctx(), kSchools, 2, false), u("2"));
}

TEST_F(City, OutOfRangeNumbersGiveEmptyNames) {
    QString error;
    for (int c : {0, -1, kClassCount + 1, 30000})
        EXPECT_EQ(objectName(ctx(), c, 1, true, &error), u("")) << c;
    for (int64_t n : {int64_t(0), int64_t(-5), int64_t(6), int64_t(1) << 40})
        EXPECT_EQ(objectName(ctx(), kHouses, n, true, &error), u("")) << n;
    EXPECT_EQ(streetName(ctx(), 99, &error), u(""));
    EXPECT_TRUE(error.isEmpty());
}

TEST_F(City, LoopingParentsEnd) {
    // A house that is its own parent, two streets that are each other's.
    EXPECT_EQ(objectName(ctx(), kHouses, 3, true), u("5 д.5"));
    EXPECT_EQ(objectName(ctx(), kStreets, 4, true), u("Кольцевая(Петля)"));
    EXPECT_EQ(objectName(ctx(), kStreets, 5, true), u("Петля(Кольцевая)"));
    ListModel list(true);
    EXPECT_EQ(fillStreetList(ctx(), list), FillStatus::Done);
}

TEST_F(City, ShortAndMissingFiles) {
    // The house name file ends after record 2 and a half.
    truncate("dom.cls", 25);
    QString error;
    EXPECT_EQ(objectName(ctx(), kHouses, 2, false, &error), u("7а"));
    EXPECT_EQ(objectName(ctx(), kHouses, 3, true, &error), u(""));
    EXPECT_TRUE(error.isEmpty());
    ListModel list;
    EXPECT_EQ(findByText(ctx(), u("5"), list, {kHouses}), FillStatus::Done);
    EXPECT_EQ(list.count(), 0);

    // A missing name file is reported, with an empty result.
    QFile::remove(path("rn.cls"));
    EXPECT_EQ(objectName(ctx(), kDistricts, 1, false, &error), u(""));
    EXPECT_TRUE(error.contains(u("rn.cls"))) << error.toStdString();
    error.clear();
    EXPECT_EQ(objectName(ctx(), kStreets, 1, true, &error), u(""));  // the district's name
    EXPECT_FALSE(error.isEmpty());

    ListModel streets(true);
    streets.addItem(u("старое"), 1);
    error.clear();
    EXPECT_EQ(fillStreetList(ctx(), streets, &error), FillStatus::Failed);
    EXPECT_EQ(streets.count(), 0);
    EXPECT_FALSE(error.isEmpty());

    list.addItem(u("старое"), 1);
    EXPECT_EQ(findByText(ctx(), u("а"), list, {kStreets, kDistricts}, nullptr, &error),
              FillStatus::Failed);
    EXPECT_EQ(list.count(), 0);

    ListModel find, nosort;
    EXPECT_EQ(fillClassList(ctx(), find, kDistricts, nosort, &error), FillStatus::Failed);
    EXPECT_EQ(find.count(), 0);
    // The cut house file is noted once, for the window to name; the missing
    // one is named by the errors above.
    EXPECT_EQ(timesNamed({u("dom.cls"), u("rn.cls")}), (std::vector<qsizetype>{1, 0}));
}

TEST_F(City, ReferenceRangesPastTheFileAreCut) {
    NameRecord rec;
    ASSERT_TRUE(readNameRecord(ctx(), kStreets, 8, rec));
    std::vector<ObjectRef> refs;
    EXPECT_TRUE(readPartRefs(ctx(), kStreets, rec, refs));
    ASSERT_EQ(refs.size(), 1u);
    EXPECT_EQ(refs[0].first, kHouses);
    EXPECT_EQ(refs[0].second, 2);

    rec.partCount = 30000;
    EXPECT_FALSE(readPartRefs(ctx(), kStreets, rec, refs));
    EXPECT_EQ(refs.size(), 1u);
    rec.firstPart = -100;
    EXPECT_FALSE(readPartRefs(ctx(), kStreets, rec, refs));
    rec.firstPart = 2000000000;
    EXPECT_FALSE(readPartRefs(ctx(), kStreets, rec, refs));
    EXPECT_TRUE(refs.empty());

    ASSERT_TRUE(readNameRecord(ctx(), kStreets, 1, rec));
    rec.mapObjectCount = 10;
    EXPECT_FALSE(readMapObjectRefs(ctx(), kStreets, rec, refs));
    EXPECT_FALSE(refs.empty());
    QFile::remove(path("ulic.ssl"));
    EXPECT_FALSE(readMapObjectRefs(ctx(), kStreets, rec, refs));
    EXPECT_TRUE(refs.empty());
    EXPECT_FALSE(readNameRecord(ctx(), kStreets, 9, rec));
    EXPECT_EQ(rec.mapObjectCount, 0);
}

// ---------------------------------------------------------------------------

TEST_F(City, StreetList) {
    ListModel list(true);
    list.addItem(u("прежняя"), 77);
    ASSERT_EQ(fillStreetList(ctx(), list), FillStatus::Done);
    // Sorted in upper case: "бульвар" among the capitals; "Пустая" has
    // neither objects nor houses. Street 7's parent has the same record
    // number as street 6's in another class and still gets its own name.
    const std::vector<QString> want = {u("Арбат  ()"),          u("бульвар  ()"),
                                       u("Кольцевая  (Петля)"), u("Лесная  (Квартира)"),
                                       u("Петля  (Кольцевая)"), u("Садовая  (Центральный)"),
                                       u("Южная  (Южный)")};
    EXPECT_EQ(texts(list), want);
    EXPECT_EQ(list.itemData(0), 2);  // bare record number
    EXPECT_EQ(list.itemData(1), 8);
    EXPECT_EQ(list.currentIndex(), 0);
}

TEST_F(City, StreetListWithoutStreetClassLeavesTheList) {
    ListModel list(true);
    list.addItem(u("прежняя"), 77);
    data.catalogue.streetClass = kClassCount + 1;
    EXPECT_EQ(fillStreetList(ctx(), list), FillStatus::Done);
    EXPECT_EQ(list.count(), 1);
}

TEST_F(City, NumericClassIsSortedIntoTheUnsortedList) {
    ListModel find(true), nosort(false);
    ASSERT_EQ(fillClassList(ctx(), find, kSchools, nosort), FillStatus::Done);
    EXPECT_FALSE(find.isVisible());
    EXPECT_TRUE(nosort.isVisible());
    // "Закрыта" has no map objects and does not count; the blank name reads as 0.
    EXPECT_EQ(texts(nosort), (std::vector<QString>{u(""), u("1"), u("2б"), u("2"), u("10")}));
    EXPECT_EQ(nosort.itemData(1), itemKey(kSchools, 4));
    EXPECT_EQ(nosort.itemData(4), itemKey(kSchools, 1));
    // findList holds the same names in its own (sorted) order.
    EXPECT_EQ(find.count(), 5);
    EXPECT_EQ(find.text(4), u("2б"));
}

TEST_F(City, LetteredNameShowsTheSearchList) {
    ListModel find(false), nosort(false);
    // After a numeric class the lists swap back.
    ASSERT_EQ(fillClassList(ctx(), find, kSchools, nosort), FillStatus::Done);
    ASSERT_EQ(fillClassList(ctx(), find, kPharmacies, nosort), FillStatus::Done);
    EXPECT_TRUE(find.isVisible());
    EXPECT_FALSE(nosort.isVisible());
    EXPECT_EQ(nosort.count(), 0);
    EXPECT_EQ(texts(find), (std::vector<QString>{u("1"), u("Аптека на Садовой"), u("3")}));
    EXPECT_EQ(find.itemData(2), itemKey(kPharmacies, 3));

    // A lettered first name as well.
    ASSERT_EQ(fillClassList(ctx(), find, kSchools, nosort), FillStatus::Done);
    ASSERT_EQ(fillClassList(ctx(), find, kDistricts, nosort), FillStatus::Done);
    EXPECT_TRUE(find.isVisible());
    EXPECT_FALSE(nosort.isVisible());
    EXPECT_EQ(find.count(), 2);
}

TEST_F(City, FindByTextIgnoresCaseAndSkipsUnnamedClasses) {
    ListModel list(false);
    const std::vector<int> all = {kStreets, kCafes, kPharmacies, kMuseums, kHouses};
    ASSERT_EQ(findByText(ctx(), u("  САДОВ "), list, all), FillStatus::Done);
    // The café is in a class without hasNames; house names are searched by
    // their short form; classes come in the given order.
    EXPECT_EQ(texts(list),
              (std::vector<QString>{u("Улицы Садовая"), u("Аптеки Аптека на Садовой")}));
    EXPECT_EQ(list.itemData(0), itemKey(kStreets, 1));
    EXPECT_EQ(list.itemData(1), itemKey(kPharmacies, 2));
    EXPECT_EQ(list.currentIndex(), 0);

    ASSERT_EQ(findByText(ctx(), u("к.2"), list, all), FillStatus::Done);
    EXPECT_EQ(texts(list), (std::vector<QString>{u("Дома 12/3 к.2")}));
    ASSERT_EQ(findByText(ctx(), u("кафе"), list, all), FillStatus::Done);
    EXPECT_EQ(list.count(), 0);
    EXPECT_EQ(list.currentIndex(), -1);

    // An empty text leaves the list as it was; unknown classes are skipped.
    list.addItem(u("прежнее"), 5);
    EXPECT_EQ(findByText(ctx(), u("   "), list, all), FillStatus::Done);
    EXPECT_EQ(list.count(), 1);
    EXPECT_EQ(findByText(ctx(), u("ю"), list, {0, -3, 999, kStreets}), FillStatus::Done);
    EXPECT_EQ(texts(list), (std::vector<QString>{u("Улицы Южная")}));
}

TEST_F(City, FindByTextCanBeCancelled) {
    std::atomic<bool> cancel{true};
    ListModel list;
    EXPECT_EQ(findByText(ctx(), u("а"), list, {kStreets}, &cancel), FillStatus::Cancelled);
    EXPECT_EQ(list.count(), 0);

    // Set while it runs, from the pending events.
    cancel = false;
    list.setPendingEvents([&] { cancel = true; });
    EXPECT_EQ(findByText(ctx(), u("а"), list, {kStreets, kPharmacies}, &cancel),
              FillStatus::Cancelled);
    EXPECT_EQ(list.count(), 0);

    // Cancelled after the first class: what was found so far stays.
    cancel = false;
    int calls = 0;
    list.setPendingEvents([&] { cancel = ++calls == 2; });
    EXPECT_EQ(findByText(ctx(), u("сад"), list, {kStreets, kPharmacies}, &cancel),
              FillStatus::Cancelled);
    EXPECT_EQ(texts(list), (std::vector<QString>{u("Улицы Садовая")}));
    EXPECT_EQ(list.currentIndex(), 0);
}

TEST_F(City, ItemKeys) {
    const int32_t key = itemKey(7, 1234);
    EXPECT_EQ(key, 7001234);
    EXPECT_EQ(decodeItemKey(key).classNumber, 7);
    EXPECT_EQ(decodeItemKey(key).record, 1234);
    EXPECT_TRUE(itemKeyFits(2147, 483647));
    EXPECT_FALSE(itemKeyFits(2147, 483648));
    EXPECT_FALSE(itemKeyFits(3, 1000000));
    EXPECT_EQ(itemKey(3, 1000000), 0);
    EXPECT_EQ(decodeItemKey(-1).classNumber, 0);
    EXPECT_TRUE(classKeysFit(5, 999999));
    EXPECT_FALSE(classKeysFit(5, 1000000));
    EXPECT_FALSE(classKeysFit(2148, 1));
    EXPECT_TRUE(classKeysFit(2148, 0));
}

TEST_F(City, ClassesWhoseKeysClashAreReportedAndLeftOut) {
    EXPECT_EQ(checkClassKeys(ctx()), u(""));
    // Class 2148: every key passes the 32-bit range.
    data.tables.classes.resize(2149);
    data.tables.classes[2148] = cls("Огромный", 1, "big");
    QByteArray index;
    for (int i = 0; i < 3; ++i) index += nameRecord(1, 0, 0);
    ASSERT_TRUE(writeFileAtomically(path("big.cl2"), index));
    QByteArray names(3 * PlainNameRecord::kRecordLength, ' ');
    ASSERT_TRUE(writeFileAtomically(path("big.cls"), names.replace(0, 1, "A")));

    const QString msg = checkClassKeys(ctx());
    EXPECT_TRUE(msg.contains(u("Огромный"))) << msg.toStdString();
    EXPECT_TRUE(msg.contains(u("2148")));

    ListModel find, nosort;
    EXPECT_EQ(fillClassList(ctx(), find, 2148, nosort), FillStatus::Done);
    EXPECT_EQ(find.count(), 0);
    EXPECT_EQ(findByText(ctx(), u("A"), find, {2148, kDistricts}), FillStatus::Done);
    EXPECT_EQ(find.count(), 0);
}

TEST_F(City, BulkNamesEqualSingleLookups) {
    // A name file shorter than its index, and a street class with a short file.
    truncate("apt.cls", 150);
    truncate("ulic.cls", 68 * 6 + 10);
    for (int c = 1; c <= kClassCount; ++c) {
        ClassNames bulk(ctx(), c);
        ASSERT_TRUE(bulk.ok()) << c;
        for (int64_t n = 0; n <= bulk.recordCount() + 2; ++n)
            EXPECT_EQ(bulk.shortName(n), objectName(ctx(), c, n, false)) << c << "/" << n;
    }
    // Each short file is noted once, though every class reads it again.
    EXPECT_EQ(timesNamed({u("apt.cls"), u("ulic.cls")}), (std::vector<qsizetype>{1, 1}));
}

// A class of more than 32767 records is listed whole, in numeric order.
TEST(NamesLarge, NumericClassBeyondSixteenBits) {
    QTemporaryDir tmp;
    const QString dir = tmp.path() + QLatin1Char('/');
    DatasetData data;
    data.tables.classes.resize(2);
    data.tables.classes[1] = cls("Участки", 1, "uch");
    data.tables.classExtra.resize(2);
    data.classNames.resize(2);
    const int count = 40000;
    std::vector<int> values(count);
    std::mt19937 rng(7);
    for (int& v : values) v = int(rng() % 30000);
    for (int v : values) data.classNames[1].push_back(named(QByteArray::number(v).constData()));
    QString error;
    ASSERT_TRUE(writeDataset(data, dir, &error)) << error.toStdString();

    const NameContext ctx{dir, data.catalogue, data.tables};
    ListModel find(true), nosort(false);
    ASSERT_EQ(fillClassList(ctx, find, 1, nosort), FillStatus::Done);
    ASSERT_EQ(nosort.count(), count);
    EXPECT_EQ(find.count(), count);
    std::vector<int> got;
    for (int i = 0; i < count; ++i) got.push_back(nosort.text(i).toInt());
    std::sort(values.begin(), values.end());
    EXPECT_EQ(got, values);
    // Each entry's key still leads back to a record with its name.
    for (int i = 0; i < count; i += 997) {
        const NamedObject o = decodeItemKey(nosort.itemData(i));
        EXPECT_EQ(objectName(ctx, o.classNumber, o.record, false), nosort.text(i));
    }
}

}  // namespace

TEST(SameTexts, EntriesThatReadTheSameGetTheirParent) {
    QTemporaryDir tmp;
    const QString dir = tmp.path() + QLatin1Char('/');
    DatasetData data;
    data.catalogue.streetClass = 1;
    data.tables.classes = {ClassRecord{}, cls("Улицы", 2, "ul"), cls("Районы", 1, "rn")};
    data.tables.classExtra.resize(3);
    data.classNames.resize(3);
    data.classNames[1] = {named("Песчаная", 1, 2, 2), named("Лесная", 1, 2, 1),
                          named("Песчаная", 1, 2, 1), named("Песчаная")};
    data.classNames[2] = {named("Северный"), named("Южный")};
    QString error;
    ASSERT_TRUE(writeDataset(data, dir, &error)) << error.toStdString();
    const NameContext ctx{dir, data.catalogue, data.tables};

    // The quick find and the context searches: sorted again, the first current.
    ListModel sorted(true);
    ASSERT_EQ(findByText(ctx, u("песчан"), sorted, {1, 2}), FillStatus::Done);
    EXPECT_EQ(texts(sorted),
              (std::vector<QString>{u("Улицы Песчаная"), u("Улицы Песчаная (Северный)"),
                                    u("Улицы Песчаная (Южный)")}));
    EXPECT_EQ(sorted.itemData(1), itemKey(1, 3));
    EXPECT_EQ(sorted.currentIndex(), 0);

    // A class list keeps the file order; a name of its own stays as it is.
    ListModel find(false), nosort(false);
    ASSERT_EQ(fillClassList(ctx, find, 1, nosort), FillStatus::Done);
    EXPECT_EQ(texts(find), (std::vector<QString>{u("Песчаная (Южный)"), u("Лесная"),
                                                 u("Песчаная (Северный)"), u("Песчаная")}));
}
