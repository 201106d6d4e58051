// The searches leave no data file open: the house search, the metro lists and
// the quick find, with the file cache on and off (showing what was found is
// counted in tests/view/openfiles_test.cpp).
#include <gtest/gtest.h>

#include <QDir>

#include "dataset/listmodel.h"
#include "search/houses.h"
#include "search/metro.h"
#include "search/quickfind.h"
#include "searchfixture.h"

using namespace urbica;
using namespace urbica::testcity;

namespace {

int openDescriptors() {
    return int(QDir(QStringLiteral("/proc/self/fd"))
                   .entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::System)
                   .size());
}

class SearchOpenFiles : public ::testing::TestWithParam<bool> {
protected:
    City city;

    void SetUp() override {
#ifndef Q_OS_LINUX
        GTEST_SKIP() << "descriptors are counted in /proc/self/fd";
#endif
        city.state.files.setEnabled(GetParam());
    }

    void searchEverything() {
        AppState& s = city.state;
        const NameContext ctx = s.names();
        std::vector<HouseEntry> houses;
        ASSERT_TRUE(readStreetHouses(ctx, kSadovaya, houses));
        ASSERT_FALSE(houses.empty());
        EXPECT_FALSE(houseLabel(ctx, houses.front()).isEmpty());

        ListModel stations, found;
        ASSERT_TRUE(fillMetroList(ctx, stations));
        EXPECT_GT(stations.count(), 0);
        ASSERT_TRUE(findMetroByText(ctx, u("сад"), found));
        EXPECT_EQ(found.count(), 1);

        ListModel quick;
        ASSERT_EQ(findByText(ctx, u("сад"), quick, quickFindClasses(s.tables)), FillStatus::Done);
        ASSERT_GT(quick.count(), 0);
    }
};

}  // namespace

TEST_P(SearchOpenFiles, NoneStayOpen) {
    const int before = openDescriptors();
    searchEverything();
    EXPECT_EQ(openDescriptors(), before);
    searchEverything();
    EXPECT_EQ(openDescriptors(), before);
}

INSTANTIATE_TEST_SUITE_P(Cache, SearchOpenFiles, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& i) {
                             return std::string(i.param ? "On" : "Off");
                         });
