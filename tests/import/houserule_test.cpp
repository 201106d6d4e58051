// One house rule: the address index's fast path (AddressIndex::matching, which
// the importer's address check calls too) against the plain rule
// (matchingHouses) for every house of the demo city and, when
// URBICA_OSM_EXTRACTS names a folder of OpenStreetMap extracts, of each of them.
#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "addresscheck.h"
#include "dataset/settings.h"
#include "dataset/tables.h"
#include "democity.h"
#include "osmimport.h"
#include "search/addressmatch.h"

using namespace urbica;

namespace {

// What a user may type for house h: its own fields, each alone, and the
// neighbouring numbers.
std::vector<HouseQuery> queriesFor(const HouseEntry& h) {
    const HouseQuery own = osmimport::typedFor({h.number, h.fraction, h.building});
    std::vector<HouseQuery> out = {own,
                                   {own.number, {}, {}, {}},
                                   {own.number, own.letter, {}, {}},
                                   {own.number, {}, own.fraction, {}},
                                   {own.number, {}, {}, own.building},
                                   {{}, own.letter, {}, {}}};
    const double n = houseNumberValue(own.number);
    for (double d : {-1.0, 1.0, 2.0})
        if (n + d > 0) out.push_back({QString::number(n + d), own.letter, {}, {}});
    for (HouseQuery& q : out) q = q.trimmed();
    return out;
}

// Compares the two rules on every house of the dataset in dir; the houses checked.
int64_t compareEveryHouse(const QString& dir) {
    Settings settings;
    settings.dataDirectory = QDir(dir).absolutePath() + QDir::separator();
    Catalogue catalogue;
    Tables tables;
    EXPECT_TRUE(readCatalogue(settings, catalogue, tables));
    const NameContext ctx{settings.dataDirectory, catalogue, tables, nullptr};
    QString error;
    const std::shared_ptr<const AddressIndex> index = AddressIndex::build(ctx, &error);
    EXPECT_TRUE(index) << error.toStdString();
    if (!index) return 0;
    const ClassNames streets(ctx, catalogue.streetClass);
    int64_t houses = 0, differ = 0;
    for (int64_t s = 1; s <= streets.recordCount(); ++s) {
        const std::vector<HouseEntry>* list = index->houses(int32_t(s));
        if (!list) continue;
        for (const HouseEntry& h : *list) {
            ++houses;
            for (const HouseQuery& q : queriesFor(h)) {
                const std::vector<size_t> fast = index->matching(int32_t(s), q);
                if (fast == matchingHouses(*list, q)) continue;
                if (++differ <= 5)
                    ADD_FAILURE() << "street " << s << " house " << h.number.toStdString() << " "
                                  << h.fraction.toStdString() << " " << h.building.toStdString()
                                  << " asked " << q.number.toStdString() << "|"
                                  << q.letter.toStdString() << "|" << q.fraction.toStdString()
                                  << "|" << q.building.toStdString();
            }
        }
    }
    EXPECT_EQ(differ, 0);
    return houses;
}

}  // namespace

TEST(OneHouseRule, FastPathAgreesWithThePlainRuleOnEveryHouse) {
    QTemporaryDir demo;
    ASSERT_TRUE(writeDataset(democity::buildCity({}), demo.path()));
    EXPECT_GT(compareEveryHouse(demo.path()), 1000);

    const QString extracts = qEnvironmentVariable("URBICA_OSM_EXTRACTS");
    if (extracts.isEmpty()) GTEST_SKIP() << "URBICA_OSM_EXTRACTS not set: the demo city only";
    const QStringList files = QDir(extracts).entryList(
        {QStringLiteral("*.osm"), QStringLiteral("*.osm.pbf")}, QDir::Files);
    EXPECT_FALSE(files.isEmpty());
    for (const QString& f : files) {
        SCOPED_TRACE(f.toStdString());
        osmimport::ImportResult r;
        QString error;
        ASSERT_TRUE(osmimport::importOsm(QDir(extracts).filePath(f), r, &error))
            << error.toStdString();
        QTemporaryDir dir;
        ASSERT_TRUE(writeDataset(r.data, dir.path(), &error)) << error.toStdString();
        const int64_t houses = compareEveryHouse(dir.path());
        EXPECT_GT(houses, 100);
        // The importer's check finds its addresses with the same matcher.
        const osmimport::AddressCheck check = osmimport::checkAddresses(dir.path(), r.addresses);
        EXPECT_GT(check.found, check.total * 95 / 100);
        std::printf("%s: %lld houses, %lld of %lld addresses found by the check\n",
                    f.toUtf8().constData(), (long long)houses, (long long)check.found,
                    (long long)check.total);
    }
}
