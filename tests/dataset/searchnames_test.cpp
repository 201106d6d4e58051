// One folding for stored names and typed texts, other names of objects, and
// the projection file of imported maps.
#include "dataset/searchnames.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "dataset/displaynames.h"
#include "dataset/georef.h"
#include "dataset/listmodel.h"
#include "dataset/names.h"
#include "dataset/textfold.h"
#include "dataset/writer.h"

using namespace urbica;

namespace {

QString u(const char* s) { return QString::fromUtf8(s); }

TEST(TextFold, LettersOutsideTheCodePageBecomeTheirClosestOnes) {
    const std::pair<const char*, const char*> cases[] = {
        {"Klenzestraße", "Klenzestrasse"},
        {"Müllerstraße", "Mullerstrasse"},
        {"Nørrebrogade", "Norrebrogade"},
        {"Ærøskøbing", "AEroskobing"},
        {"Århus", "Arhus"},
        {"Łódź", "Lodz"},
        {"Peñalara", "Penalara"},
        {"Әуезов көшесі", "Ауезов кошесі"},            // Kazakh
        {"Ғабдулла Тоқай ұлы", "Габдулла Токай улы"},  // Kazakh
        {"Җәлил урамы", "Жалил урамы"},                // Tatar
        {"Һади Такташ", "Хади Такташ"},                // Tatar
        {"вуліца Кірава", "вуліца Кірава"},            // in the code page already
        {"улица Ёлкина", "улица Ёлкина"},
    };
    for (const auto& [in, out] : cases) EXPECT_EQ(foldToCp1251(u(in)), u(out)) << in;
    FoldStats stats;
    EXPECT_EQ(foldToCp1251(u("マA"), &stats), u("?A"));
    EXPECT_EQ(stats.unknownCharacters, 1);
    // The searches fold what is typed the same way.
    EXPECT_EQ(searchKey(u("Klenzestraße")), searchKey(u("KLENZESTRASSE")));
    EXPECT_EQ(searchKey(u("ёлкина")), u("ЕЛКИНА"));
}

TEST(SearchNamesFile, ReadsWhatIsWrittenAndRefusesDamage) {
    std::vector<SearchNameData> names = {{2, 7, u("вуліца Кірава")},
                                         {2, 3, u("Straße")},
                                         {2, 7, u("вуліца Кірава")},
                                         {4, 1, u("  ")},
                                         {3, 1, u("bad\tname")}};
    const QByteArray bytes = encodeSearchNames(names);
    QString problem;
    const auto set = SearchNames::parse(bytes, u("urbica.snm"), &problem);
    EXPECT_TRUE(problem.isEmpty());
    EXPECT_EQ(set->count(), 2);
    ASSERT_EQ(set->ofClass(2).size(), 2u);
    EXPECT_EQ(set->ofClass(2)[0].record, 3);
    EXPECT_EQ(set->ofClass(2)[1].key, searchKey(u("вуліца Кірава")));
    EXPECT_TRUE(set->ofClass(3).empty());
    EXPECT_TRUE(set->ofClass(-1).empty());

    const QByteArray damaged[] = {
        QByteArray(),
        "something else\n2\t1\tx\n",
        "urbica-search-names 1\n2\t1\tx",              // no end of line
        "urbica-search-names 1\n2\t0\tx\n",            // record 0
        "urbica-search-names 1\n99999\t1\tx\n",        // class out of range
        "urbica-search-names 1\n2\t1\t\xff\xfe\n",     // not UTF-8
        "urbica-search-names 1\n2\t12345678901\tx\n",  // record too long
        "urbica-search-names 1\n2 1 x\n",
        "urbica-search-names 1\n" + QByteArray(5000, 'x') + "\n",
    };
    for (const QByteArray& d : damaged) {
        problem.clear();
        EXPECT_TRUE(SearchNames::parse(d, u("urbica.snm"), &problem)->empty());
        EXPECT_FALSE(problem.isEmpty()) << d.left(40).toStdString();
    }
}

TEST(GeoReferenceFile, RoundTripsAndInvertsTheProjection) {
    GeoReference g;
    g.lon0 = 27.56;
    g.lat0 = 53.9;
    g.minX = -4321.25;
    g.minY = -3000.5;
    g.margin = 500;
    QString problem;
    const auto back = parseGeoReference(encodeGeoReference(g), &problem);
    ASSERT_TRUE(back) << problem.toStdString();
    EXPECT_EQ(back->lon0, g.lon0);
    EXPECT_EQ(back->minY, g.minY);
    EXPECT_EQ(back->margin, 500);
    for (auto [lat, lon] : {std::pair{53.9, 27.56}, {53.95, 27.5}, {53.85123, 27.61}}) {
        const QPointF p = g.toMapF(lat, lon);
        double la = 0, lo = 0;
        g.toLatLon(p.x(), p.y(), la, lo);
        EXPECT_NEAR(la, lat, 1e-9);
        EXPECT_NEAR(lo, lon, 1e-9);
        EXPECT_LT(distanceMetres(lat, lon, la, lo), 0.01);
        EXPECT_EQ(g.toMap(lat, lon), p.toPoint());
    }
    // One degree of latitude is about 111 km.
    EXPECT_NEAR(distanceMetres(53, 27, 54, 27), 111195, 10);
    for (const char* bad : {"", "urbica-geo 1\nprojection mercator\n",
                            "urbica-geo 1\nprojection equirectangular\nlon0 x\n",
                            "urbica-geo 1\nprojection equirectangular\nlon0 1\nlat0 95\nradius "
                            "6371008.8\nminx 0\nminy 0\nmargin 0\nmetres-per-unit 1\n"}) {
        problem.clear();
        EXPECT_FALSE(parseGeoReference(QByteArray(bad), &problem));
        EXPECT_FALSE(problem.isEmpty());
    }
}

ClassRecord cls(const char* name, int16_t style, const char* base) {
    ClassRecord r;
    r.className = u(name);
    r.nameStyle = style;
    r.baseName = QString::fromLatin1(base);
    r.hasNames = 1;
    r.searchable = 1;
    return r;
}

NameData named(const QString& name, int objects = 1) {
    NameData n;
    n.name = name;
    for (int i = 0; i < objects; ++i) n.mapObjects.push_back({1, i + 1});
    return n;
}

// Streets of a city in two languages, shown by their Russian names.
struct TwoNames : ::testing::Test {
    QTemporaryDir tmp;
    QString dir;
    DatasetData data;
    FileCache cache;

    NameContext ctx(bool cached) {
        return NameContext{dir, data.catalogue, data.tables, cached ? &cache : nullptr};
    }
    std::vector<QString> find(const char* text, bool cached = false) {
        ListModel list(false);
        EXPECT_EQ(findByText(ctx(cached), u(text), list, {1, 2}), FillStatus::Done);
        std::vector<QString> out;
        for (int i = 0; i < list.count(); ++i) out.push_back(list.text(i));
        return out;
    }

    void SetUp() override {
        ASSERT_TRUE(tmp.isValid());
        dir = tmp.path() + u'/';
        data.catalogue.streetClass = 1;
        data.tables.classes = {ClassRecord{}, cls("Улицы", 2, "ul"), cls("Парки", 1, "park")};
        data.tables.classExtra.resize(3);
        data.classNames = {
            {},
            {named(u("улица Кирова")), named(u("улица Ленина")), named(u("Klenzestrasse")),
             named(u("Б. Спасоглинищевский пер.")), named(u("проспект Независимости")),
             named(u("Пустая"), 0), named(u("Длинная улица имени очень извест"))},
            {named(u("Парк Горького"))}};
        data.searchNames = {
            {1, 1, u("вуліца Кірава")}, {1, 2, u("вуліца Леніна")},
            {1, 2, u("Ленина улица")},  {1, 4, u("Большой Спасоглинищевский переулок")},
            {1, 6, u("вуліца Пустая")}, {2, 1, u("Цэнтральны парк")}};
        QString error;
        ASSERT_TRUE(writeDataset(data, dir, &error)) << error.toStdString();
    }
};

TEST_F(TwoNames, EveryNameFindsTheObjectOnceUnderItsShownName) {
    for (bool cached : {false, true}) {
        EXPECT_EQ(find("Кірава", cached), std::vector<QString>{u("Улицы улица Кирова")});
        EXPECT_EQ(find("кирова", cached), std::vector<QString>{u("Улицы улица Кирова")});
        // Found by both names, listed once; objects keep the order of the file.
        EXPECT_EQ(find("ЛЕНИ", cached), std::vector<QString>{u("Улицы улица Ленина")});
        EXPECT_EQ(find("вуліца", cached),
                  (std::vector<QString>{u("Улицы улица Кирова"), u("Улицы улица Ленина")}));
        EXPECT_EQ(find("Цэнтральны", cached), std::vector<QString>{u("Парки Парк Горького")});
        // The whole name of a street stored shortened.
        EXPECT_EQ(find("Большой Спасоглинищевский переулок", cached),
                  std::vector<QString>{u("Улицы Б. Спасоглинищевский пер.")});
        // Letters outside the code page, as typed.
        EXPECT_EQ(find("Klenzestraße", cached), std::vector<QString>{u("Улицы Klenzestrasse")});
        // A street without map objects is not listed by any name.
        EXPECT_TRUE(find("Пустая", cached).empty());
    }
}

TEST_F(TwoNames, AWholeNameFindsTheNameCutAtItsField) {
    // The stored name fills its 32 characters; what was typed holds all of it.
    EXPECT_EQ(find("Длинная улица имени очень известного человека"),
              std::vector<QString>{u("Улицы Длинная улица имени очень извест")});
    // A short name is not found by a longer text that merely holds it.
    EXPECT_TRUE(find("улица Кирова дом").empty());
}

TEST_F(TwoNames, ADamagedOrMissingNamesFileLeavesTheShownNames) {
    QFile f(dir + QLatin1String(kSearchNamesFile));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("urbica-search-names 1\n1\t1\n");
    f.close();
    QString problem;
    EXPECT_TRUE(SearchNames::load(dir, nullptr, &problem)->empty());
    EXPECT_FALSE(problem.isEmpty());
    EXPECT_EQ(find("Кирова"), std::vector<QString>{u("Улицы улица Кирова")});
    EXPECT_TRUE(find("Кірава").empty());
    ASSERT_TRUE(f.remove());
    problem.clear();
    EXPECT_TRUE(SearchNames::load(dir, &cache, &problem)->empty());
    EXPECT_TRUE(problem.isEmpty());
    EXPECT_TRUE(find("Кірава", true).empty());
}

// Whole names shown in place of names that lost letters or were cut: names,
// lists and the found entries show them, lists keep the order and the
// searches the matches of the stored names.
TEST_F(TwoNames, WholeNamesAreShownWhereTheStoredOnesWere) {
    QFile f(dir + QLatin1String(kDisplayNamesFile));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(encodeDisplayNames({{1, 3, u("Klenzestraße")},
                                {1, 7, u("Длинная улица имени очень известного человека")},
                                {1, 3, u("второе имя того же объекта не пишется")}}));
    f.close();
    QString problem;
    const auto whole = DisplayNames::load(dir, &problem);
    EXPECT_TRUE(problem.isEmpty());
    ASSERT_EQ(whole->count(), 2);
    NameContext shown = ctx(true);
    shown.wholeNames = whole.get();
    EXPECT_EQ(objectName(shown, 1, 3, false), u("Klenzestraße"));
    EXPECT_EQ(streetName(shown, 7), u("Длинная улица имени очень известного человека"));
    EXPECT_EQ(objectName(ctx(true), 1, 3, false), u("Klenzestrasse")) << "without: as stored";
    const ClassNames names(shown, 1);
    EXPECT_EQ(names.shortName(3), u("Klenzestrasse")) << "what the searches compare";
    EXPECT_EQ(names.displayName(3), u("Klenzestraße"));
    // The street list: the same entries in the same order, the whole names shown.
    ListModel stored(true), wholeList(true);
    ASSERT_EQ(fillStreetList(ctx(true), stored), FillStatus::Done);
    ASSERT_EQ(fillStreetList(shown, wholeList), FillStatus::Done);
    ASSERT_EQ(stored.count(), wholeList.count());
    int differ = 0;
    for (int i = 0; i < stored.count(); ++i) {
        EXPECT_EQ(stored.itemData(i), wholeList.itemData(i)) << i;
        differ += stored.text(i) != wholeList.text(i);
    }
    EXPECT_EQ(differ, 2);
    const int at = stored.prefixPosition(u("Klenzestr"));
    ASSERT_GE(at, 0);
    EXPECT_EQ(wholeList.prefixPosition(u("Klenzestr")), at) << "typing finds it as before";
    EXPECT_TRUE(wholeList.text(at).startsWith(u("Klenzestraße")));
    // A search finds what it found and lists it by its whole name.
    ListModel found(false);
    ASSERT_EQ(findByText(shown, u("klenzestrasse"), found, {1, 2}), FillStatus::Done);
    ASSERT_EQ(found.count(), 1);
    EXPECT_EQ(found.text(0), u("Улицы Klenzestraße"));

    // A file that names an object twice, or does not read, is left out whole.
    for (const char* bad : {"urbica-display-names 1\n1\t3\tA\n1\t3\tB\n",
                            "urbica-search-names 1\n1\t3\tA\n", "urbica-display-names 1\n1\t3\n"}) {
        problem.clear();
        EXPECT_TRUE(DisplayNames::parse(QByteArray(bad), u("x"), &problem)->empty()) << bad;
        EXPECT_FALSE(problem.isEmpty()) << bad;
    }
    EXPECT_TRUE(DisplayNames::load(dir + u("missing/"), &problem)->empty());
}

}  // namespace
