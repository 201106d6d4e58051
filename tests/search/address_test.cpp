// Addresses typed in one line, on the search tests' city with a few more streets.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <random>

#include "dataset/searchnames.h"
#include "dataset/settings.h"
#include "dataset/tables.h"
#include "dataset/textfold.h"
#include "democity.h"
#include "search/addressmatch.h"
#include "search/quickaddress.h"
#include "searchfixture.h"

using namespace urbica;
using namespace urbica::testcity;

namespace {

class Address : public ::testing::Test {
protected:
    City city;
    int32_t kirovaStreet = 0, kirovaLane = 0, spasskiy = 0, mira = 0, marta = 0, pavlovka = 0,
            passage = 0;
    std::shared_ptr<const AddressIndex> index;

    void SetUp() override {
        kirovaStreet =
            street("Кирова улица", {{"5", "", ""}, {"5", "", "2"}, {"5с1", "", ""}, {"7", "", ""}});
        kirovaLane = street("Кирова переулок", {{"5", "", ""}});
        spasskiy = street("Б. Спасоглинищевский пер.", {{"3", "", ""}});
        mira = street("Мира проспект", {{"1", "", ""}});
        marta = street("Улица 8 Марта", {{"4", "", ""}});
        pavlovka = street("Павловкая улица", {{"9", "", ""}});
        passage = street(
            "Проектируемый проезд",
            {{"5", "", "1"}, {"5А", "", ""}, {"5", "", ""}, {"вл1", "", ""}, {"UGTK", "", ""}});
        city.houses(kPavlovskaya, {{"9", "", ""}});
        // Other names: one of Литейная, and one more of Кирова улица (listed once).
        city.data.searchNames = {{kStreets, kLiteynaya, u("Мироновская улица")},
                                 {kStreets, kirovaStreet, u("улица Кирова")}};
        city.write();
        QString error;
        index = AddressIndex::build(city.ctx(), &error);
        ASSERT_TRUE(index) << error.toStdString();
    }
    int32_t street(const char* name, std::vector<HouseSpec> houses) {
        const int32_t s = city.named(kStreets, name, kDistricts, 1);
        city.streetHouses.resize(size_t(s) + 1);
        city.houses(s, std::move(houses));
        return s;
    }
    int32_t house(int32_t s, size_t i) const { return city.streetHouses[size_t(s)][i]; }
    std::vector<AddressHit> find(const char* line) const { return findAddress(*index, u(line)); }
    // (street, house) of the first hit; (0, 0) when none.
    std::pair<int32_t, int32_t> first(const char* line) const {
        const auto hits = find(line);
        return hits.empty() ? std::make_pair(0, 0)
                            : std::make_pair(hits[0].streetRecord, hits[0].houseRecord);
    }
};

TEST(HouseStructures, ReadAsPeopleWriteThemAndFoundInEveryForm) {
    City city;
    const int32_t s = city.named(kStreets, "Мясницкая улица", kDistricts, 1);
    city.streetHouses.resize(size_t(s) + 1);
    city.houses(s, {{"13", "", ""},
                    {"13", "", ""},
                    {"24", "7", ""},
                    {"26А", "", ""},
                    {"5", "", "2"},
                    {"13", "", ""},
                    {"24", "7", ""}});
    const std::vector<int32_t>& h = city.streetHouses[size_t(s)];
    // The structures the records have no field for, kept beside them.
    city.data.houseStructures = {{kHouses, h[1], u("10")},
                                 {kHouses, h[2], u("2")},
                                 {kHouses, h[3], u("13")},
                                 {kHouses, h[4], u("1")},
                                 {kHouses, h[5], u("11")}};
    city.write();
    const NameContext ctx = city.ctx();
    const std::pair<size_t, const char*> named[] = {
        {0, "д.13"},         {1, "д.13 стр.10"},      {2, "д.24/7 стр.2"},
        {3, "д.26А стр.13"}, {4, "д.5 корп.2 стр.1"}, {6, "д.24/7"}};
    for (const auto& [i, name] : named)
        EXPECT_EQ(objectName(ctx, kHouses, h[i], true), u("Мясницкая улица ") + u(name));
    EXPECT_EQ(objectName(ctx, kHouses, h[1], false), u("13 с10"));
    EXPECT_EQ(objectName(ctx, kHouses, h[2], false), u("24/7 с2"));
    EXPECT_EQ(objectName(ctx, kHouses, h[4], false), u("5 к.2 с1"));
    const ClassNames houses(ctx, kHouses);
    EXPECT_EQ(houses.shortName(h[1]), u("13 с10"));

    QString error;
    const auto index = AddressIndex::build(ctx, &error);
    ASSERT_TRUE(index) << error.toStdString();
    auto first = [&](const char* line) {
        const auto hits = findAddress(*index, u(line));
        return hits.empty() ? 0 : hits[0].houseRecord;
    };
    for (const char* line : {"Мясницкая 13 стр. 10", "Мясницкая 13с10", "Мясницкая 13 строение 10",
                             "Мясницкая ул., д. 13, стр. 10", "Мясницкая 13 с 10"})
        EXPECT_EQ(first(line), h[1]) << line;
    EXPECT_EQ(first("Мясницкая 13"), h[0]) << "the house without a structure first";
    EXPECT_EQ(first("Мясницкая 24/7 стр.2"), h[2]);
    EXPECT_EQ(first("Мясницкая 24/7"), h[6]);
    EXPECT_EQ(first("Мясницкая 5 корп. 2 стр. 1"), h[4]);
    EXPECT_EQ(first("Мясницкая 26А стр 13"), h[3]);
    // The house search's fields: the letter field takes "с10" as before.
    std::vector<HouseEntry> list;
    ASSERT_TRUE(readStreetHouses(ctx, s, list));
    EXPECT_EQ(list[1].structure, u("10"));
    std::vector<size_t> found = matchingHouses(list, HouseQuery{u("13"), u("с10"), {}, {}, {}});
    EXPECT_EQ(found, std::vector<size_t>{1});
    found = matchingHouses(list, HouseQuery{u("13"), {}, {}, {}, u("11")});
    EXPECT_EQ(found, std::vector<size_t>{5});

    // A damaged file is told and ignored: the houses read as their records.
    QFile damaged(city.dir.path() + u("/") + QLatin1String(kHouseStructuresLines.file));
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write("urbica-house-structures 2\n7\t1\t10\n");
    damaged.close();
    QString problem;
    EXPECT_TRUE(SearchNames::load(city.state.settings.dataDirectory, nullptr, &problem,
                                  kHouseStructuresLines)
                    ->empty());
    EXPECT_TRUE(problem.contains(u("строений домов"))) << problem.toStdString();
    EXPECT_EQ(objectName(ctx, kHouses, h[1], true), u("Мясницкая улица д.13"));
}

TEST_F(Address, StreetTypeWordsAnywhereAndHouseForms) {
    const std::pair<int32_t, int32_t> five{kirovaStreet, house(kirovaStreet, 0)};
    for (const char* line : {"Кирова 5", "ул. Кирова, д. 5", "Кирова улица 5", "КИРОВА УЛ 5",
                             "улица  кирова ,дом 5", "Кирова ул.д.5"})
        EXPECT_EQ(first(line), five) << line;
    // Other names of a street find it too.
    EXPECT_EQ(first("Мироновская ул. 9"),
              std::make_pair(int32_t(kLiteynaya), house(kLiteynaya, 0)));
    // Both streets of the name are tried; the typed type ranks first.
    auto hits = find("Кирова переулок 5");
    ASSERT_GE(hits.size(), 2u);
    EXPECT_EQ(hits[0].streetRecord, kirovaLane);
    EXPECT_EQ(hits[0].rank, 0);
    EXPECT_EQ(hits[1].streetRecord, kirovaStreet);
    EXPECT_EQ(hits[1].rank, 1);

    const std::pair<int32_t, int32_t> building{kirovaStreet, house(kirovaStreet, 1)};
    for (const char* line : {"Кирова 5к2", "Кирова 5 к 2", "Кирова 5 корп. 2", "Кирова 5 корпус 2"})
        EXPECT_EQ(first(line), building) << line;
    const std::pair<int32_t, int32_t> structure{kirovaStreet, house(kirovaStreet, 2)};
    for (const char* line : {"Кирова 5с1", "Кирова 5 стр. 1", "Кирова 5 строение 1"})
        EXPECT_EQ(first(line), structure) << line;
    for (const char* line : {"Садовая 12А", "Садовая 12 а"}) {
        hits = find(line);
        ASSERT_EQ(hits.size(), 2u) << line;
        EXPECT_EQ(hits[0].houseRecord, house(kSadovaya, 1));
        EXPECT_EQ(hits[1].houseRecord, house(kSadovaya, 2));
    }
    EXPECT_EQ(first("Садовая 12/3"), std::make_pair(int32_t(kSadovaya), house(kSadovaya, 4)));
    for (const char* line : {"Литейная 13 лит. А", "Литейная 13литА", "Литейная 13-15"})
        EXPECT_EQ(first(line), std::make_pair(int32_t(kLiteynaya), house(kLiteynaya, 1))) << line;
    // Abbreviations the importer writes, both ways; a number inside the name.
    for (const char* line : {"Большой Спасоглинищевский переулок 3", "Спасоглинищевский Б. 3",
                             "б спасоглинищевский 3"})
        EXPECT_EQ(first(line), std::make_pair(spasskiy, house(spasskiy, 0))) << line;
    for (const char* line : {"улица 8 Марта 4", "8 марта ул., 4"})
        EXPECT_EQ(first(line), std::make_pair(marta, house(marta, 0))) << line;
    EXPECT_EQ(first("Ёлочная 1"), first("елочная 1"));
    EXPECT_NE(first("Ёлочная 1").first, 0);
}

TEST_F(Address, TheHouseWithNoMoreFieldsFirstAndTextNumbers) {
    // "5" is house 5 before 5 корп. 1 and 5А, whatever the street's order.
    auto hits = find("Проектируемый проезд 5");
    ASSERT_EQ(hits.size(), 3u);
    EXPECT_EQ(hits[0].houseRecord, house(passage, 2));
    EXPECT_EQ(hits[1].houseRecord, house(passage, 0));
    // Numbers without a leading digit, as written in one line.
    for (const char* line : {"Проектируемый проезд вл1", "Проектируемый проезд, вл. 1",
                             "Проектируемый проезд, д. вл1"})
        EXPECT_EQ(first(line), std::make_pair(passage, house(passage, 3))) << line;
    EXPECT_EQ(first("Проектируемый проезд UG TK1"), std::make_pair(passage, house(passage, 4)));
    EXPECT_TRUE(find("Проектируемый проезд вл2").empty() ||
                !find("Проектируемый проезд вл2")[0].exact);
}

TEST_F(Address, CityAndPostcodeInFrontAreLeftOut) {
    const std::pair<int32_t, int32_t> five{kirovaStreet, house(kirovaStreet, 0)};
    for (const char* line :
         {"Москва, Кирова 5", "г. Минск ул. Кирова 5", "Санкт-Петербург Кирова улица 5",
          "220030, Кирова 5", "123456 Москва, ул. Кирова, д. 5",
          "Россия, Нижний Новгород, Кирова 5"})
        EXPECT_EQ(first(line), five) << line;
}

TEST_F(Address, OneTypoInLongNamesRankedAfterExactMatches) {
    for (const char* line : {"Литейнай 9", "Литейня 9", "Литейнаяя 9", "Лиетйная 9"}) {
        const auto hits = find(line);
        ASSERT_FALSE(hits.empty()) << line;
        EXPECT_EQ(hits[0].streetRecord, kLiteynaya) << line;
        EXPECT_TRUE(hits[0].streetTypo);
        EXPECT_EQ(hits[0].rank, 2);
    }
    EXPECT_TRUE(find("Литйнаяя 9").empty()) << "two typos";
    auto hits = find("Павловская 9");
    ASSERT_EQ(hits.size(), 2u);
    EXPECT_EQ(hits[0].streetRecord, kPavlovskaya);
    EXPECT_FALSE(hits[0].streetTypo);
    EXPECT_EQ(hits[1].streetRecord, pavlovka);
    EXPECT_TRUE(hits[1].streetTypo);
    // Мира has four letters: no typo allowed.
    EXPECT_FALSE(find("Мира 1").empty());
    EXPECT_TRUE(find("Мера 1").empty());
    EXPECT_TRUE(find("Миира 1").empty());
}

TEST_F(Address, AbbreviationsAndAsciiSpellingsOfManyLanguages) {
    // Names as the importer stores them (letters outside Windows-1251 folded).
    auto add = [&](const char* name) {
        const QByteArray stored = foldToCp1251(u(name)).toUtf8();
        return street(stored.constData(), {{"2", "", ""}});
    };
    const std::vector<std::pair<const char*, std::vector<const char*>>> cases = {
        // Danish
        {"Gammel Kongevej", {"Gl. Kongevej 2", "gl kongevej 2", "Gammel Kongevej 2"}},
        {"Sankt Peders Stræde",
         {"Skt. Peders Stræde 2", "Skt Peders Straede 2", "St. Peders Str. 2"}},
        {"Kongens Nytorv", {"Kgs. Nytorv 2", "Kgs Nytorv 2"}},
        {"H.C. Andersens Boulevard", {"H C Andersens Blvd 2", "H.C. Andersens Blvd. 2"}},
        {"Blågårdsgade", {"Blaagaardsgade 2", "Blagårdsgade 2", "Blaagårdsgade 2"}},
        {"Nørre Allé", {"Noerre Alle 2", "Nørre Allé 2", "Norre Alle 2"}},
        {"Ægirsgade", {"Aegirsgade 2", "Ægirsgade 2"}},
        // German
        {"Residenzstraße",
         {"Residenzstr. 2", "Residenzstrasse 2", "Residenzstr 2", "Residenz Str. 2",
          "Residenz Straße 2", "Residenz-Str. 2"}},
        {"Marienplatz", {"Marienpl. 2", "Marienplatz 2"}},
        {"Müllerstraße", {"Muellerstr. 2", "Mullerstrasse 2", "Müllerstr. 2"}},
        {"Königsplatz", {"Koenigspl. 2", "Konigsplatz 2"}},
        // Russian
        {"Большая Серпуховская улица", {"Б. Серпуховская 2", "ул. Б. Серпуховская, д. 2"}},
        {"Дмитровское шоссе", {"Дмитровское ш. 2"}},
        // Belarusian
        {"праспект Незалежнасці", {"прасп. Незалежнасці 2", "пр-т Незалежнасці 2"}},
        {"вуліца Кірава", {"вул. Кірава 2"}},
        // Ukrainian
        {"проспект Перемоги", {"просп. Перемоги 2", "пр-т Перемоги 2"}},
        {"вулиця Хрещатик", {"вул. Хрещатик 2"}},
    };
    std::vector<int32_t> records;
    for (const auto& c : cases) records.push_back(add(c.first));
    city.write();
    QString error;
    index = AddressIndex::build(city.ctx(), &error);
    ASSERT_TRUE(index) << error.toStdString();
    for (size_t i = 0; i < cases.size(); ++i)
        for (const char* line : cases[i].second) {
            const auto hits = find(line);
            EXPECT_FALSE(hits.empty()) << line;
            if (hits.empty()) continue;
            EXPECT_EQ(hits[0].streetRecord, records[i]) << line;
            EXPECT_TRUE(hits[0].exact) << line;
        }
    EXPECT_EQ(first("пр-т Мира 1").first, mira);
    EXPECT_EQ(first("Б. Спасоглинищевский пер. 3").first, spasskiy);
    // An abbreviation names no street that lacks a word: nothing, not a guess.
    EXPECT_TRUE(find("Gl. Peders 2").empty());
    EXPECT_TRUE(find("Kgs. Stræde 2").empty());
}

TEST_F(Address, NearestOnlyWhenNoStreetHasTheHouse) {
    auto hits = find("Нечётная 13");
    ASSERT_EQ(hits.size(), 2u);
    EXPECT_FALSE(hits[0].exact);
    EXPECT_EQ(hits[0].houseRecord, house(kOdd, 2));  // 11, then 15
    EXPECT_EQ(hits[1].houseRecord, house(kOdd, 3));
    // The house search's order, not the closer first: 10 before 16 for 14.
    hits = find("Нечётная 14");
    ASSERT_EQ(hits.size(), 2u);
    EXPECT_EQ(hits[0].houseRecord, house(kOdd, 1));
    EXPECT_EQ(hits[1].houseRecord, house(kOdd, 4));
    // 7 is on the street, not on the lane: the lane gives no nearest house.
    hits = find("Кирова 7");
    ASSERT_EQ(hits.size(), 1u);
    EXPECT_TRUE(hits[0].exact);
}

TEST_F(Address, WhatIsNoAddressGivesNothing) {
    for (const char* line : {"", "   ", "Кирова", "5", "Кирова улица", "просто текст",
                             "Нет такой 5", "улица 5", "220030", ", , ,"}) {
        EXPECT_TRUE(find(line).empty()) << line;
    }
    EXPECT_TRUE(looksLikeAddress(u("Кирова 5")));
    EXPECT_TRUE(looksLikeAddress(u("Нет такой 5к2")));
    EXPECT_FALSE(looksLikeAddress(u("Кирова")));
    EXPECT_FALSE(looksLikeAddress(u("123456")));
    EXPECT_FALSE(looksLikeAddress(u("Школа")));
}

TEST_F(Address, BadInputNeitherCrashesNorHangs) {
    QElapsedTimer t;
    t.start();
    EXPECT_TRUE(find(QString(100000, u'ж').toUtf8().constData()).empty());
    EXPECT_TRUE(findAddress(*index, QString(100000, u' ') + u("Кирова 5")).empty());
    EXPECT_TRUE(find("Кирова 1234567890123456789012345678901234567890").empty());
    QString words;
    for (int i = 0; i < 300; ++i) words += u("Кирова 5 ");
    EXPECT_TRUE(findAddress(*index, words).empty());
    std::mt19937 rng(7);
    for (int i = 0; i < 200; ++i) {
        QByteArray bytes(int(rng() % 200), '\0');
        for (char& c : bytes) c = char(rng());
        findAddress(*index, QString::fromUtf8(bytes));
        findAddress(*index, QString::fromLatin1(bytes));
        readAddressLine(QString::fromUtf8(bytes) + u("Кирова 5"));
    }
    EXPECT_LT(t.elapsed(), 5000);
}

TEST_F(Address, IndexKeptInTheFileCache) {
    const NameContext ctx = city.state.names();
    const auto a = AddressIndex::cached(ctx);
    ASSERT_TRUE(a);
    EXPECT_EQ(a, AddressIndex::cached(ctx));
    EXPECT_EQ(findAddress(*a, u("Кирова 7")).size(), 1u);
    // The tab form: the street as typed, else by the key rules.
    EXPECT_EQ(findAddress(*a, u("Кирова улица"), HouseQuery{u("7"), {}, {}, {}}).size(), 1u);
    EXPECT_EQ(findAddress(*a, u("ул. Кирова"), HouseQuery{u("7"), {}, {}, {}}).size(), 1u);
}

}  // namespace

// The quick find's houses on the demo city, where "Садовая улица" runs in
// several districts: each house carries its street's district.
TEST(QuickFindAddresses, HousesOfOneStreetNameInSeveralDistrictsAreToldApart) {
    QTemporaryDir dir;
    ASSERT_TRUE(writeDataset(democity::buildCity({}), dir.path()));
    Settings settings;
    settings.dataDirectory = dir.path() + u'/';
    Catalogue catalogue;
    Tables tables;
    ASSERT_TRUE(readCatalogue(settings, catalogue, tables));
    const NameContext ctx{settings.dataDirectory, catalogue, tables, nullptr};
    const std::vector<ListModel::Item> found = quickFindAddresses(ctx, u("Садовая 8"));
    ASSERT_GE(found.size(), 2u);
    QSet<QString> texts;
    for (const ListModel::Item& item : found) {
        EXPECT_TRUE(item.text.startsWith(u("Садовая улица д.8 ("))) << item.text.toStdString();
        EXPECT_TRUE(item.text.endsWith(u')'));
        texts.insert(item.text);
    }
    EXPECT_EQ(texts.size(), qsizetype(found.size())) << "no two entries read the same";
}
