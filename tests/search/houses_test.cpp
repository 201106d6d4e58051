#include "search/houses.h"

#include <gtest/gtest.h>

#include "dataset/listmodel.h"
#include "searchfixture.h"

using namespace urbica;
using namespace urbica::testcity;

namespace {

class Houses : public ::testing::Test {
protected:
    City city;

    std::vector<HouseEntry> street(int32_t s) {
        std::vector<HouseEntry> out;
        QString error;
        EXPECT_TRUE(readStreetHouses(city.ctx(), s, out, &error)) << error.toStdString();
        return out;
    }
    // "number/fraction кbuilding" of the chosen houses, for short expectations.
    static QStringList texts(const std::vector<HouseEntry>& all, const std::vector<size_t>& which) {
        QStringList l;
        for (size_t i : which) {
            QString t = all[i].number;
            if (!all[i].fraction.isEmpty()) t += "/" + all[i].fraction;
            if (!all[i].building.isEmpty()) t += u(" к") + all[i].building;
            l << t;
        }
        return l;
    }
    QStringList match(int32_t s, HouseQuery q) {
        auto all = street(s);
        return texts(all, matchingHouses(all, q));
    }
    QStringList nearest(int32_t s, HouseQuery q) {
        auto all = street(s);
        return texts(all, nearestHouses(all, q));
    }
};

}  // namespace

TEST(HouseNumberValue, LeadingNumberWithBlanksIgnored) {
    EXPECT_EQ(houseNumberValue(u("12а")), 12);
    EXPECT_EQ(houseNumberValue(u("12А  ")), 12);
    EXPECT_EQ(houseNumberValue(u(" 1 2")), 12);
    EXPECT_EQ(houseNumberValue(u("12/3")), 12);
    EXPECT_EQ(houseNumberValue(u("б")), 0);
    EXPECT_EQ(houseNumberValue(u("")), 0);
}

TEST_F(Houses, StreetOrderSkipsHousesWithoutMapObjects) {
    auto all = street(kSadovaya);
    ASSERT_EQ(all.size(), 7u) << "the eighth house has no map object";
    EXPECT_EQ(all[1].number, u("12А"));
    EXPECT_EQ(all[4].fraction, u("3"));
    EXPECT_EQ(all[5].building, u("2"));
    EXPECT_EQ(all[0].classNumber, kHouses);
    EXPECT_EQ(all[0].record, city.streetHouses[kSadovaya][0]);
}

TEST_F(Houses, NumberLetterFractionAndBuilding) {
    EXPECT_EQ(match(kSadovaya, {u("12"), u("а"), u(""), u("")}), QStringList({u("12А"), u("12а")}));
    EXPECT_EQ(match(kSadovaya, {u("12"), u("А"), u(""), u("")}), QStringList({u("12А"), u("12а")}));
    // A typed 12а is read as 12: every number-12 house with a map object.
    EXPECT_EQ(match(kSadovaya, {u("12а"), u(""), u(""), u("")}).size(), 6);
    EXPECT_EQ(match(kSadovaya, {u(" 12 "), u(""), u(""), u("2")}), QStringList({u("12 к2")}));
    EXPECT_EQ(match(kSadovaya, {u("12"), u(""), u("3"), u("")}), QStringList({u("12/3")}));
    EXPECT_EQ(match(kSadovaya, {u(""), u("б"), u(""), u("")}), QStringList({u("12Б")}));
    EXPECT_EQ(match(kSadovaya, {u(""), u(""), u(""), u("")}).size(), 7) << "no field: all";
    EXPECT_TRUE(match(kSadovaya, {u("13"), u(""), u(""), u("")}).isEmpty());
}

TEST_F(Houses, NearestOnTheSameSide) {
    EXPECT_EQ(nearest(kOdd, {u("13"), u(""), u(""), u("")}), QStringList({u("11"), u("15")}));
    EXPECT_EQ(nearest(kOdd, {u("12"), u(""), u(""), u("")}), QStringList({u("10"), u("16")}));
    EXPECT_EQ(nearest(kOdd, {u("1"), u(""), u(""), u("")}), QStringList({u("9")}))
        << "below every house: only the higher one";
    EXPECT_EQ(nearest(kOdd, {u("21"), u(""), u(""), u("")}), QStringList({u("17")}));
    // Same number with another letter or building first, in the street's order.
    EXPECT_EQ(nearest(kLiteynaya, {u("13"), u("Б"), u(""), u("")}),
              QStringList({u("13А"), u("13 к2"), u("11"), u("15")}));
}

TEST_F(Houses, BadHouseListsAreSkipped) {
    // Parts in a class past the table, a record past the house file, a class
    // of another name style and a negative class: only the good house is left.
    EXPECT_EQ(match(kBroken, {}), QStringList({u("5")}));
    EXPECT_TRUE(street(kEmpty).empty());
    EXPECT_TRUE(street(999).empty());
    EXPECT_TRUE(street(0).empty());
}

TEST_F(Houses, ShortAndMissingHouseFiles) {
    // The house file ends in the middle of the second house of Садовая.
    city.truncate("dm.cls", 15);
    auto all = street(kSadovaya);
    ASSERT_EQ(all.size(), 1u);
    EXPECT_EQ(all[0].number, u("12"));

    QFile::remove(city.path("dm.cls"));
    std::vector<HouseEntry> out;
    QString error;
    EXPECT_FALSE(readStreetHouses(city.ctx(), kSadovaya, out, &error));
    EXPECT_TRUE(error.contains(u("dm.cls"))) << error.toStdString();
    EXPECT_TRUE(out.empty());
}

TEST_F(Houses, StreetClassOutOfRangeGivesNoHouses) {
    std::vector<HouseEntry> out;
    for (int16_t sc : {int16_t(0), int16_t(-1), int16_t(kClassCount + 1)}) {
        city.state.catalogue.streetClass = sc;
        EXPECT_TRUE(readStreetHouses(city.ctx(), kSadovaya, out));
        EXPECT_TRUE(out.empty());
    }
}

TEST_F(Houses, LabelsCarryTheStreet) {
    auto all = street(kSadovaya);
    EXPECT_EQ(houseLabel(city.ctx(), all[4]), u("Садовая д.12/3"));
    EXPECT_EQ(houseLabel(city.ctx(), all[5]), u("Садовая д.12 кор.2"));
}

TEST_F(Houses, TypingPositionsTheStreetList) {
    ListModel streets(true);
    ASSERT_EQ(fillStreetList(city.ctx(), streets), FillStatus::Done);
    const FirstLetterIndex index = buildFirstLetterIndex(streets);
    auto at = [&](const char* typed) {
        const int j = streetTypingPosition(streets, index, u(typed));
        return j < 0 ? QString() : streets.text(j).section(' ', 0, 0);
    };
    EXPECT_EQ(at("Л"), u("Литейная"));
    EXPECT_EQ(at("мо"), u("Московская"));
    EXPECT_EQ(at("П"), u("Павловская"));
    EXPECT_EQ(at("Пу"), u("Пустая"));
    EXPECT_EQ(at("Садовая"), u("Садовая"));
    EXPECT_EQ(at("Садовая улица"), u("Садовая")) << "a whole name is a beginning of the text";
    EXPECT_EQ(at("Т"), u("Садовая")) << "past every street: the last";
    EXPECT_EQ(at("Ёл"), u("Ёлочная"));
    EXPECT_EQ(at("ел"), u("Ёлочная")) << "Ё goes with Е";
    EXPECT_EQ(at("Ж"), u("Литейная"));
    EXPECT_EQ(at("Я"), u("Садовая"));
    EXPECT_EQ(streets.text(0).section(' ', 0, 0), u("Береговая"));
    EXPECT_EQ(streets.text(1).section(' ', 0, 0), u("Ёлочная")) << "Ё sorts with Е, after Б";

    // The index points at the first street with that first letter or a later one.
    for (int code = 1; code < 256; ++code) {
        const int j = index.start[size_t(code)];
        if (j > 0 && j < streets.count()) {
            EXPECT_LT(uint8_t(listSortKey(streets.text(j - 1)).at(0)), code);
        }
    }

    ListModel none(true);
    const FirstLetterIndex empty = buildFirstLetterIndex(none);
    EXPECT_EQ(streetTypingPosition(none, empty, u("А")), -1);
}
