// The table of words for kinds of places and the dataset's file of their places.
#include "dataset/kinds.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "dataset/kindplaces.h"

using namespace urbica;

namespace {

QString u(const char* s) { return QString::fromUtf8(s); }

QString tagOf(const KindTable& t, const char* text) {
    const std::vector<int> k = t.kindsNamed(u(text));
    return k.size() == 1 ? t.kinds()[size_t(k.front())].tag : QString::number(k.size());
}

}  // namespace

TEST(KindTable, EveryLanguageSingularAndPluralWithOrWithoutNearby) {
    const KindTable& t = KindTable::builtIn();
    EXPECT_GE(t.kinds().size(), 60u);
    for (const char* text : {"аптека", "Аптеки", "аптэка", "pharmacy", "аптека рядом",
                             "около аптеки", "ближайшая аптека", "аптеки возле"})
        EXPECT_EQ(tagOf(t, text), u("amenity=pharmacy")) << text;
    EXPECT_EQ(tagOf(t, "АЗС"), u("amenity=fuel"));
    EXPECT_EQ(tagOf(t, "лікарня"), u("amenity=hospital"));
    EXPECT_EQ(tagOf(t, "церковь"), u("amenity=place_of_worship+religion=christian"));
    EXPECT_EQ(tagOf(t, "продукты"), u("2")) << "a word of two kinds names both";
    for (const char* text : {"", "рядом", "аптека Ригла", "Невский"})
        EXPECT_TRUE(t.kindsNamed(u(text)).empty()) << text;
    EXPECT_EQ(t.kinds()[size_t(t.indexOf(u("amenity=pharmacy")))].label, u("Аптека"));
    // The tags of an object: a kind with a second tag needs it.
    auto kindsOf = [&](std::map<std::string, std::string> tags) {
        QStringList out;
        for (int k : t.kindsOfTags([&](const char* key) {
                 auto it = tags.find(key);
                 return it == tags.end() ? nullptr : it->second.c_str();
             }))
            out << t.kinds()[size_t(k)].tag;
        return out;
    };
    EXPECT_EQ(kindsOf({{"amenity", "place_of_worship"}, {"religion", "christian"}}),
              QStringList({u("amenity=place_of_worship"),
                           u("amenity=place_of_worship+religion=christian")}));
    EXPECT_EQ(kindsOf({{"amenity", "place_of_worship"}}),
              QStringList({u("amenity=place_of_worship")}));
    EXPECT_TRUE(kindsOf({{"shop", "nothing_known"}}).empty());
    // Lines that do not read are named and passed over.
    QStringList problems;
    const KindTable own = KindTable::parse(
        "# comment\namenity=cafe\tкафе\nnot a tag\tслово\namenity=cafe\tкофе\nshop=x\t\n",
        &problems);
    EXPECT_EQ(own.kinds().size(), 1u);
    EXPECT_EQ(problems.size(), 3);
}

TEST(KindPlaces, WrittenAndReadBackAndDamagedFilesRefused) {
    const std::vector<KindPlace> places = {{u("amenity=pharmacy"), 10, -20, 6, 3, 9, 12},
                                           {u("amenity=atm"), 5, 5, 0, 0, 9, 13},
                                           {u("amenity=atm"), 5, 5, 0, 0, 9, 13},
                                           {u("bad tag"), 1, 1, 0, 0, 9, 14},
                                           {u("amenity=atm"), 1, 1, 0, 0, 0, 15}};
    const QByteArray bytes = encodeKindPlaces(places);
    EXPECT_EQ(bytes, QByteArray("urbica-kinds 1\namenity=atm\t5\t5\t0\t0\t9\t13\n"
                                "amenity=pharmacy\t10\t-20\t6\t3\t9\t12\n"));
    QString problem;
    const auto read = KindPlaces::parse(bytes, u("f"), &problem);
    EXPECT_TRUE(problem.isEmpty());
    ASSERT_TRUE(read->present());
    EXPECT_EQ(read->count(), 2);
    ASSERT_EQ(read->ofKind(u("amenity=pharmacy")).size(), 1u);
    EXPECT_EQ(read->ofKind(u("amenity=pharmacy")).front().y, -20);
    EXPECT_TRUE(read->ofKind(u("shop=none")).empty());
    for (const char* broken :
         {"", "urbica-kinds 2\n", "urbica-kinds 1\namenity=atm\t5\t5\t0\t0\t9\n",
          "urbica-kinds 1\namenity=atm\t5\tx\t0\t0\t9\t13\n",
          "urbica-kinds 1\namenity=atm\t5\t5\t6\t0\t9\t13\n",
          "urbica-kinds 1\namenity=atm\t5\t5\t0\t0\t0\t13\n",
          "urbica-kinds 1\namenity=atm\t5\t5\t0\t0\t9\t13",
          "urbica-kinds 1\n\xff=1\t1\t1\t0\t0\t1\t1\n"}) {
        problem.clear();
        const auto damaged = KindPlaces::parse(QByteArray(broken), u("f"), &problem);
        EXPECT_FALSE(damaged->present()) << broken;
        EXPECT_EQ(damaged->count(), 0) << broken;
        EXPECT_FALSE(problem.isEmpty()) << broken;
    }
}
