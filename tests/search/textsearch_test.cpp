// The text search rules every search of the program shares.
#include <gtest/gtest.h>

#include "dataset/listmodel.h"
#include "dataset/names.h"
#include "dataset/textfold.h"
#include "search/addresswords.h"
#include "searchfixture.h"

using namespace urbica;
using namespace urbica::testcity;

namespace {

QStringList texts(const ListModel& l) {
    QStringList out;
    for (int i = 0; i < l.count(); ++i) out << l.text(i);
    return out;
}

}  // namespace

TEST(SearchKey, UpperCaseWithYoReadAsYe) {
    EXPECT_EQ(searchKey(u("ёлка Ёж еж")), u("ЕЛКА ЕЖ ЕЖ"));
    EXPECT_EQ(searchKey(u("Street")), u("STREET"));
}

TEST(SearchKey, WordStarts) {
    auto m = [](const char* name, const char* wanted, TextMatch rule) {
        return searchKeyMatches(searchKey(u(name)), searchKey(u(wanted)), rule);
    };
    EXPECT_TRUE(m("Парк культуры", "кул", TextMatch::WordStart));
    EXPECT_TRUE(m("Парк культуры", "пар", TextMatch::WordStart));
    EXPECT_FALSE(m("Парк культуры", "арк", TextMatch::WordStart));
    EXPECT_TRUE(m("Парк культуры", "арк", TextMatch::Anywhere));
    EXPECT_TRUE(m("1-я Садовая", "сад", TextMatch::WordStart));
    EXPECT_TRUE(m("Кафе «Ёлка»", "елка", TextMatch::WordStart));
    // A later occurrence at a word start counts even when the first is inside a word.
    EXPECT_TRUE(m("Посадская Садовая", "сад", TextMatch::WordStart));
    EXPECT_FALSE(m("Посадская", "сад", TextMatch::WordStart));
    EXPECT_TRUE(m("Посадская", "", TextMatch::WordStart));
}

TEST(FindByText, YoAndYeAreOneLetter) {
    City city;
    ListModel list(true);
    const std::vector<int> all = {kStreets, kStations, kPonds};
    ASSERT_EQ(findByText(city.ctx(), u("елоч"), list, all), FillStatus::Done);
    EXPECT_EQ(texts(list), QStringList({u("Пруды Озеро Ёлочное"), u("Улицы Ёлочная")}));
    ASSERT_EQ(findByText(city.ctx(), u("ЁЛОЧ"), list, all), FillStatus::Done);
    EXPECT_EQ(list.count(), 2);
    ASSERT_EQ(findByText(city.ctx(), u("нечет"), list, all), FillStatus::Done);
    EXPECT_EQ(texts(list), QStringList({u("Улицы Нечётная")}));
}

TEST(FindByText, FirstWordRule) {
    City city;
    ListModel list(true);
    const std::vector<int> all = {kStreets, kStations, kPonds};
    ASSERT_EQ(findByText(city.ctx(), u("ская"), list, all, nullptr, nullptr, TextMatch::WordStart),
              FillStatus::Done);
    EXPECT_TRUE(list.isEmpty());
    ASSERT_EQ(findByText(city.ctx(), u("пру"), list, all, nullptr, nullptr, TextMatch::WordStart),
              FillStatus::Done);
    EXPECT_EQ(texts(list), QStringList({u("Пруды Садовый пруд")}));
}

TEST(FindByText, OneTypoInALongWordAfterTheExactNames) {
    City city;
    ListModel list(true);
    const std::vector<int> all = {kStreets, kStations, kPonds};
    auto found = [&](const char* typed, bool typos) {
        EXPECT_EQ(findByText(city.ctx(), u(typed), list, all, nullptr, nullptr, TextMatch::Anywhere,
                             typos),
                  FillStatus::Done);
        return texts(list);
    };
    // A letter wrong, missing, extra, two swapped; none of them without the rule.
    for (const char* typed : {"литейнаю", "литеная", "литеййная", "лиетйная"}) {
        EXPECT_EQ(found(typed, true), QStringList({u("Улицы Литейная")})) << typed;
        EXPECT_TRUE(found(typed, false).isEmpty()) << typed;
    }
    // In a name of several words, the last typed word the beginning of one.
    EXPECT_EQ(found("садовй пру", true), QStringList({u("Пруды Садовый пруд")}));
    // A long last word may be cut short with its typo; a short one may not.
    EXPECT_EQ(found("литейнаю", true), QStringList({u("Улицы Литейная")}));
    EXPECT_EQ(found("московскяа", true).size(), 2);
    EXPECT_TRUE(found("павлоск", true).contains(u("Улицы Павловская")));
    EXPECT_TRUE(found("павло", true).contains(u("Улицы Павловская")));
    EXPECT_TRUE(found("пвало", true).isEmpty());
    // Two typos, or one in a word shorter than five letters: nothing.
    EXPECT_TRUE(found("литйнаю", true).isEmpty());
    EXPECT_TRUE(found("ёлкм", true).isEmpty());
    // The names as typed first, those one typo away after them, whatever their letters.
    city.named(kPonds, "Озеро Ёлчная");
    city.write();
    EXPECT_EQ(found("ёлочная", true), QStringList({u("Улицы Ёлочная"), u("Пруды Озеро Ёлчная")}));
}

TEST(FindByText, AbbreviationsAndAsciiSpellingsAfterTheNamesAsTyped) {
    City city;
    for (const char* n :
         {"Gammel Kongevej", "Kongens Nytorv", "H.C. Andersens Boulevard", "Sankt Peders Stræde",
          "Nørrebrogade", "Noerrebro Park", "Blågårdsgade", "Ægirsgade", "Müllerstraße",
          "Residenzstraße", "Marienplatz", "Königsplatz", "Большая Серпуховская"})
        city.named(kStreets, foldToCp1251(u(n)).toUtf8().constData());  // as the importer writes
    city.write();
    ListModel list(true);
    auto found = [&](const QString& typed) {
        EXPECT_EQ(findByText(city.ctx(), typed, list, {kStreets}, nullptr, nullptr,
                             TextMatch::Anywhere, true, nameSpellings(typed)),
                  FillStatus::Done);
        return texts(list);
    };
    const QList<std::pair<const char*, QStringList>> cases = {
        // Danish: abbreviations, Ø, Å, Æ in every mix of spellings.
        {"Gl. Kongevej", {"Gammel Kongevej"}},
        {"Skt. Peders Stræde", {"Sankt Peders Stræde"}},
        {"Kgs. Nytorv", {"Kongens Nytorv"}},
        {"H C Andersens Blvd", {"H.C. Andersens Boulevard"}},
        {"Skt. Peders Straede", {"Sankt Peders Stræde"}},
        {"Noerrebrogade", {"Nørrebrogade"}},
        {"Norrebrogade", {"Nørrebrogade"}},
        {"Blaagaardsgade", {"Blågårdsgade"}},
        {"Blågaardsgade", {"Blågårdsgade"}},
        {"Blagardsgade", {"Blågårdsgade"}},
        {"Aegirsgade", {"Ægirsgade"}},
        // German: shortened endings, Ü, Ö, ß.
        {"Residenzstr.", {"Residenzstraße"}},
        {"Marienpl.", {"Marienplatz"}},
        {"Muellerstr", {"Müllerstraße"}},
        {"Mullerstrasse", {"Müllerstraße"}},
        {"Koenigspl.", {"Königsplatz"}},
        // Russian: a word cut at its dot.
        {"Б. Серпуховская", {"Большая Серпуховская"}},
        // The name as typed before the one written another way.
        {"Nørrebro", {"Nørrebrogade", "Noerrebro Park"}},
        // Nothing where no meaning fits.
        {"Residenzpl.", {}},
        {"Gl. Nytorv", {}},
    };
    for (const auto& [typed, names] : cases) {
        QStringList want;
        for (const QString& n : names) want << u("Улицы ") + foldToCp1251(n);
        EXPECT_EQ(found(u(typed)), want) << typed;
    }
}
