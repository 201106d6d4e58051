// The class lists come in exactly the order they always had: the numeric
// list in the order of the diminishing-gap exchange sort, the lettered list
// sorted, then retitled where two entries read the same and sorted again.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>

#include "dataset/listmodel.h"
#include "dataset/listorder.h"
#include "dataset/names.h"
#include "dataset/numbers.h"
#include "dataset/sametexts.h"
#include "democity.h"
#include "view/appstate.h"

using namespace urbica;

namespace {

// The exchange sort as the lists have always run it, step by step.
std::vector<uint32_t> exchangeSortAsEver(const std::vector<double>& values) {
    std::vector<double> value(values.size() + 1);
    std::vector<uint32_t> order(values.size() + 1);
    for (size_t i = 0; i < values.size(); ++i) {
        value[i + 1] = values[i];
        order[i + 1] = uint32_t(i);
    }
    const int64_t count = int64_t(values.size());
    int64_t gap = count / 2 + 1;
    while (gap > 0) {
        int64_t limit = count - gap;
        for (;;) {
            int64_t lastSwap = 0;
            for (int64_t j = 1; j <= limit; ++j) {
                if (value[size_t(j + gap)] < value[size_t(j)]) {
                    std::swap(value[size_t(j)], value[size_t(j + gap)]);
                    std::swap(order[size_t(j)], order[size_t(j + gap)]);
                    lastSwap = j;
                }
            }
            if (lastSwap == 0) break;
            limit = lastSwap - gap;
        }
        gap /= 2;
    }
    order.erase(order.begin());
    return order;
}

TEST(ClassListOrder, KeyOrderIsAStableSortOfTheKeys) {
    // Keys that agree on long beginnings, differ past 8, 16 and 32 bytes or
    // only in length, hold zero bytes and high letters.
    std::mt19937 rng(11);
    const QByteArray stems[] = {QByteArray(), QByteArray("12 (LESNAYA ULITSA"), QByteArray(40, 'A'),
                                QByteArray("\xC0\xC1\0\0", 4)};
    for (int round = 0; round < 200; ++round) {
        std::vector<QByteArray> keys(size_t(rng() % 400));
        for (QByteArray& k : keys) {
            k = stems[rng() % 4];
            for (unsigned extra = rng() % 6; extra > 0; --extra)
                k.append(char("\0AB\xFF"[rng() % 4]));
            if (rng() % 5 == 0) k.truncate(qsizetype(rng() % 36));
        }
        std::vector<uint32_t> expected(keys.size());
        for (size_t i = 0; i < keys.size(); ++i) expected[i] = uint32_t(i);
        std::stable_sort(expected.begin(), expected.end(),
                         [&](uint32_t a, uint32_t b) { return keys[a].compare(keys[b]) < 0; });
        ASSERT_EQ(keyOrder(keys), expected) << "round " << round;
    }
    // Whole numbers are read without a parse, the same as with one.
    for (const char* text : {"0", "-0", "007к1", "123456789012345", "-42/3", "1234567890123456789"})
        EXPECT_EQ(leadingNumber(QString::fromUtf8(text)),
                  QByteArray(text).left(int(std::strspn(text, "-0123456789"))).toDouble())
            << text;
    EXPECT_TRUE(std::signbit(leadingNumber(QStringLiteral("-0"))));
}

TEST(ClassListOrder, ExchangeSortOrderIsTheStepByStepOne) {
    std::mt19937 rng(5);
    for (int round = 0; round < 400; ++round) {
        const size_t n = round < 10 ? size_t(round) : size_t(rng() % 3000);
        const int distinct = 1 + int(rng() % (round % 3 == 0 ? 4 : 200));
        std::vector<double> values(n);
        for (double& v : values) v = double(int(rng() % unsigned(distinct)) - distinct / 3);
        if (round % 7 == 0 && n > 2) values[n / 2] = -0.0;  // equal to 0
        ASSERT_EQ(exchangeSortOrder(values), exchangeSortAsEver(values))
            << "round " << round << ", " << n << " values";
    }
}

// A value that is not a number compares false with everything, so it never
// moves and can keep the others apart; the lists then take the order the
// exchange sort leaves, worked out here by hand.
TEST(ClassListOrder, NotANumberStaysWhereItWas) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(exchangeSortOrder({2, nan, 1, 0}), (std::vector<uint32_t>{3, 1, 2, 0}));
    EXPECT_EQ(exchangeSortOrder({nan, 3, 2, 1, 0}), (std::vector<uint32_t>{0, 4, 3, 2, 1}));
    std::mt19937 rng(3);
    for (int round = 0; round < 100; ++round) {
        std::vector<double> values(size_t(1 + rng() % 500));
        for (double& v : values) v = rng() % 9 == 0 ? nan : double(rng() % 50);
        const std::vector<uint32_t> order = exchangeSortOrder(values);
        ASSERT_EQ(order, exchangeSortAsEver(values)) << "round " << round;
        std::vector<uint32_t> seen(order);
        std::sort(seen.begin(), seen.end());
        for (size_t i = 0; i < values.size(); ++i) {
            ASSERT_EQ(seen[i], i) << "round " << round << ": not a permutation";
            if (std::isnan(values[i])) {
                ASSERT_EQ(order[i], i) << "round " << round;
            }
        }
    }
}

// The lists as they were made entry by entry: read in file order, sorted,
// then retitled and sorted again.
void fillAsEver(const NameContext& ctx, int c, ListModel& find, ListModel& nosort) {
    const ClassNames names(ctx, c);
    std::vector<ListModel::Item> all;
    bool numeric = true;
    for (int64_t n = 1; n <= names.recordCount(); ++n) {
        if (names.nameRecord(n).mapObjectCount < 1) continue;
        const QString name = names.shortName(n);
        if (!name.isEmpty() && !name.at(0).isDigit()) numeric = false;
        all.push_back({name, itemKey(c, int32_t(n))});
    }
    if (numeric && !all.empty()) {
        std::vector<double> values;
        for (const auto& item : all) values.push_back(leadingNumber(item.text));
        std::vector<ListModel::Item> sorted;
        for (uint32_t i : exchangeSortAsEver(values)) sorted.push_back(all[i]);
        nosort.addItems(std::move(sorted));
    }
    find.addItems(std::move(all));
    distinguishSameTexts(ctx, find);
    distinguishSameTexts(ctx, nosort);
}

std::vector<std::pair<QString, qint64>> entries(const ListModel& list) {
    std::vector<std::pair<QString, qint64>> e;
    for (int i = 0; i < list.count(); ++i) e.emplace_back(list.text(i), list.itemData(i));
    return e;
}

TEST(ClassListOrder, EveryClassOfTheDemoCityAsEntryByEntry) {
    QTemporaryDir dir;
    democity::Options o;
    o.scale = 2;  // two house classes, many houses of one number
    ASSERT_TRUE(writeDataset(democity::buildCity(o), dir.path()));
    AppState s;
    s.settings.dataDirectory = dir.path() + "/";
    ASSERT_TRUE(readCatalogue(s.settings, s.catalogue, s.tables));
    const NameContext ctx = s.names();
    int numericClasses = 0, retitled = 0;
    for (int c = 1; c <= s.tables.classCount(); ++c) {
        SCOPED_TRACE(c);
        for (const bool sorted : {true, false}) {
            ListModel find(sorted), nosort(false), findBefore(sorted), nosortBefore(false);
            ASSERT_EQ(fillClassList(ctx, find, c, nosort), FillStatus::Done);
            fillAsEver(ctx, c, findBefore, nosortBefore);
            EXPECT_EQ(entries(find), entries(findBefore));
            EXPECT_EQ(entries(nosort), entries(nosortBefore));
            EXPECT_EQ(nosort.isVisible(), !nosort.isEmpty());
            EXPECT_EQ(find.currentIndex(), -1);
            if (sorted && !nosort.isEmpty()) ++numericClasses;
            for (int i = 0; sorted && i < find.count(); ++i)
                if (find.text(i).contains(u'(')) {
                    ++retitled;
                    break;
                }
        }
    }
    EXPECT_GE(numericClasses, 1);  // the houses
    EXPECT_GE(retitled, 2);
}

}  // namespace
