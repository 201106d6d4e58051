#include "search/metro.h"

#include <gtest/gtest.h>

#include "dataset/listmodel.h"
#include "search/quickfind.h"
#include "search/results.h"
#include "searchfixture.h"

using namespace urbica;
using namespace urbica::testcity;

namespace {

QStringList trimmedTexts(const ListModel& l) {
    QStringList out;
    for (int i = 0; i < l.count(); ++i) out << l.text(i).trimmed();
    return out;
}

}  // namespace

TEST(MetroLists, ListModeHasEveryPlacedStationSorted) {
    City city;
    ListModel list(true);
    ASSERT_TRUE(fillMetroList(city.ctx(), list));
    EXPECT_EQ(trimmedTexts(list), QStringList({u("Арбатская"), u("Ёлки"), u("Московская"),
                                               u("Парк культуры"), u("Садовая")}))
        << "Ё goes with Е";
    EXPECT_EQ(list.text(1).size(), 94) << "names are listed as stored";
    EXPECT_EQ(list.itemData(1), 3) << "item data is the bare record number";
    EXPECT_EQ(list.currentIndex(), 0);
    // Typing positions on the padded names.
    EXPECT_EQ(list.text(list.prefixPosition(u("па"))).trimmed(), u("Парк культуры"));
    EXPECT_EQ(list.prefixPosition(u("ЯЯ")), list.count() - 1);
}

TEST(MetroLists, ContextSearch) {
    City city;
    ListModel list(true);
    ASSERT_TRUE(findMetroByText(city.ctx(), u("ская"), list));
    EXPECT_EQ(trimmedTexts(list), QStringList({u("Арбатская"), u("Московская")}));
    ASSERT_TRUE(findMetroByText(city.ctx(), u("  ЕЛК "), list));
    EXPECT_EQ(trimmedTexts(list), QStringList({u("Ёлки")})) << "Е finds Ё";
    ASSERT_TRUE(findMetroByText(city.ctx(), u(""), list));
    EXPECT_EQ(list.count(), 5) << "an empty text lists every station";
    EXPECT_EQ(list.itemData(0), 6);
    ASSERT_TRUE(findMetroByText(city.ctx(), u("Закрытая"), list));
    EXPECT_EQ(list.count(), 0) << "a station without map objects is skipped";
}

TEST(MetroLists, BadMetroClassOrFiles) {
    City city;
    ListModel list(true);
    for (int16_t mc : {int16_t(0), int16_t(-2), int16_t(kClassCount + 1)}) {
        city.state.catalogue.metroClass = mc;
        list.addItem(u("старое"), 1);
        EXPECT_TRUE(fillMetroList(city.ctx(), list));
        EXPECT_EQ(list.count(), 0);
        list.addItem(u("старое"), 1);
        EXPECT_TRUE(findMetroByText(city.ctx(), u("а"), list));
        EXPECT_EQ(list.count(), 0);
    }
    city.state.catalogue.metroClass = kStations;
    // A name file that ends after three stations lists those only.
    city.truncate("mt.cls", 350);
    ASSERT_TRUE(fillMetroList(city.ctx(), list));
    EXPECT_EQ(trimmedTexts(list), QStringList({u("Ёлки"), u("Московская"), u("Садовая")}));
    QFile::remove(city.path("mt.cl2"));
    QString error;
    EXPECT_FALSE(fillMetroList(city.ctx(), list, &error));
    EXPECT_TRUE(error.contains(u("mt.cl2")));
    EXPECT_FALSE(findMetroByText(city.ctx(), u("а"), list, &error));
    EXPECT_EQ(list.count(), 0);
}

TEST(Marks, TheTwoOptions) {
    Settings s;
    MarksList marks;
    marks.add({kStreets, 1});
    markFoundObject(s, marks, kHouses, 7);  // defaults: empty, then add
    ASSERT_EQ(marks.upperBound(), 1);
    EXPECT_EQ(marks.entries[1].classNumber, kHouses);
    EXPECT_EQ(marks.entries[1].recordNumber, 7);

    s.remselfind = 0;
    markFoundObject(s, marks, kStations, 2);
    markFoundObject(s, marks, kStations, 3);
    EXPECT_EQ(marks.upperBound(), 3) << "kept and added";

    s.addselfind = 0;
    markFoundObject(s, marks, kStations, 4);
    EXPECT_EQ(marks.upperBound(), 3);
    s.remselfind = 1;
    markFoundObject(s, marks, kStations, 4);
    EXPECT_EQ(marks.upperBound(), 0) << "emptied, nothing added";
}

TEST(QuickFindClasses, SearchableAndNamed) {
    City city;
    EXPECT_EQ(quickFindClasses(city.state.tables),
              std::vector<int>({kDistricts, kStreets, kStations, kSchools}));
}
