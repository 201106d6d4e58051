#include "dataset/listmodel.h"

#include <gtest/gtest.h>

using namespace urbica;

namespace {

QString u(const char* s) { return QString::fromUtf8(s); }

std::vector<QString> texts(const ListModel& list) {
    std::vector<QString> out;
    for (int i = 0; i < list.count(); ++i) out.push_back(list.text(i));
    return out;
}

TEST(ListOrder, UpperCasedWindows1251Codes) {
    // Case does not count; digits before Latin before А..Я; Ё goes with Е.
    EXPECT_EQ(compareListTexts(u("арбат"), u("АРБАТ")), 0);
    EXPECT_LT(compareListTexts(u("9"), u("A")), 0);
    EXPECT_LT(compareListTexts(u("z"), u("ё")), 0);
    EXPECT_LT(compareListTexts(u("арбат"), u("Ёлочная")), 0);
    EXPECT_LT(compareListTexts(u("Дачная"), u("Ёлочная")), 0);
    EXPECT_LT(compareListTexts(u("Ежевичная"), u("Ёлочная")), 0);
    EXPECT_LT(compareListTexts(u("Ёлочная"), u("Емельяновская")), 0);
    EXPECT_LT(compareListTexts(u("ёлочная"), u("Жуковского")), 0);
    EXPECT_EQ(compareListTexts(u("Ёлка"), u("Елка")), 0);
    EXPECT_LT(compareListTexts(u("«Б»"), u("А")), 0) << "other codes keep their order";
    EXPECT_LT(compareListTexts(u("Яр"), u("ярославская")), 0);
    EXPECT_LT(compareListTexts(u("Ал"), u("Ал ")), 0);
}

TEST(ListModelTest, SortedAndInsertionOrder) {
    ListModel sorted(true), plain(false);
    for (const char* t : {"Сенная", "арбат", "Арбат", "Ёлочная", "10"}) {
        sorted.addItem(u(t), 1);
        plain.addItem(u(t), 1);
    }
    // Equal texts keep the order of adding.
    EXPECT_EQ(texts(sorted),
              (std::vector<QString>{u("10"), u("арбат"), u("Арбат"), u("Ёлочная"), u("Сенная")}));
    EXPECT_EQ(plain.text(0), u("Сенная"));

    // Adding many at once gives what adding them one by one gives, and the
    // current entry stays on the same entry.
    ListModel many(true);
    std::vector<ListModel::Item> batch;
    for (const char* t : {"Б", "а", "В", "А", "б", "Я"})
        batch.push_back({u(t), qint64(batch.size())});
    many.addItem(u("Б"), 100);
    many.setCurrentIndex(0);
    many.addItems(batch);
    ListModel ref(true);
    ref.addItem(u("Б"), 100);
    for (const auto& it : batch) ref.addItem(it.text, it.data);
    ASSERT_EQ(texts(many), texts(ref));
    for (int i = 0; i < ref.count(); ++i) EXPECT_EQ(many.itemData(i), ref.itemData(i));
    EXPECT_EQ(many.itemData(many.currentIndex()), 100);

    many.clear();
    EXPECT_EQ(many.count(), 0);
    EXPECT_EQ(many.currentIndex(), -1);
}

TEST(ListModelTest, GroupsOfASortedList) {
    // Places nearest first (group -1, as added), names sorted, then the names
    // one typo away sorted, whichever way they come in.
    ListModel l(true);
    l.addItems({{u("Г"), 1, 1}, {u("Я 2 км"), 2, -1}, {u("Б"), 3}, {u("А 30 м"), 4, -1}});
    l.addItem(u("В"), 5);
    l.addItems({{u("А"), 6, 1}, {u("Ю 5 км"), 7, -1}, {u("Д"), 8}});
    EXPECT_EQ(texts(l), (std::vector<QString>{u("Я 2 км"), u("А 30 м"), u("Ю 5 км"), u("Б"), u("В"),
                                              u("Д"), u("А"), u("Г")}));
    EXPECT_EQ(l.group(0), -1);
    EXPECT_EQ(l.group(7), 1);
    // An unsorted list keeps the order of adding.
    ListModel plain(false);
    plain.addItems({{u("Г"), 1, 1}, {u("Я"), 2, -1}});
    EXPECT_EQ(texts(plain), (std::vector<QString>{u("Г"), u("Я")}));
}

TEST(ListModelTest, PrefixPosition) {
    ListModel list(true);
    for (const char* t : {"Сенная", "Саймонов", "Садовая-Кудринская", "Садовая  (Центр)", "Арбат"})
        list.addItem(u(t), 0);
    EXPECT_EQ(list.prefixPosition(u("с")), 1);
    EXPECT_EQ(list.prefixPosition(u("сад")), 1);
    EXPECT_EQ(list.prefixPosition(u("садовая-")), 2);
    EXPECT_EQ(list.prefixPosition(u("сай")), 3);
    // No entry begins with it: the first that sorts after it.
    EXPECT_EQ(list.prefixPosition(u("сады")), 3);
    EXPECT_EQ(list.prefixPosition(u("се")), 4);
    // A whole name that begins the typed text keeps the selection there.
    EXPECT_EQ(list.prefixPosition(u("арбатская")), 0);
    EXPECT_EQ(list.prefixPosition(u("б")), 1);  // sorts after "Арбат"
    EXPECT_EQ(list.prefixPosition(u("")), 0);
    // Beyond every entry: the last one.
    EXPECT_EQ(list.prefixPosition(u("ЯЯЯ")), 4);
    EXPECT_EQ(ListModel().prefixPosition(u("а")), -1);

    // Every typed beginning of an entry lands on that entry or an earlier
    // one that it shares the beginning with.
    for (int i = 0; i < list.count(); ++i) {
        const QString t = list.text(i);
        for (int len = 1; len <= t.size(); ++len) {
            const int at = list.prefixPosition(t.left(len));
            EXPECT_LE(at, i);
            EXPECT_TRUE(list.text(at).startsWith(t.left(len), Qt::CaseInsensitive) ||
                        t.left(len).startsWith(list.text(at), Qt::CaseInsensitive))
                << t.toStdString() << " " << len;
        }
    }
}

}  // namespace
