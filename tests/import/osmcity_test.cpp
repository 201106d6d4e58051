// The city an extract makes beside its map: the frame of the start view and
// the overview, the parents of the streets and the order of their names.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <cmath>
#include <map>

#include "cityframe.h"
#include "dataset/searchnames.h"
#include "osmimport.h"
#include "osmtestfiles.h"
#include "output.h"
#include "osmtext.h"

using namespace urbica;
using namespace urbica::osmimport;
using namespace urbica::osmtest;

namespace {

QString u(const char* s) { return QString::fromUtf8(s); }

// An export of about 1.3 × 1.1 km around (55.75 N, 37.6 E) with 40 addresses
// inside and a railway line that runs 20 km east, as openstreetmap.org gives it.
QByteArray exportWithFarLine(const QByteArray& bounds) {
    QByteArray body = bounds;
    for (int i = 0; i < 40; ++i) {
        const QByteArray number = QByteArray::number(i + 1);
        body += node(100 + i, 55.7455 + 0.00135 * (i % 8), 37.5895 + 0.0052 * (i / 8),
                     tag("addr:street", "Тестовая улица") + tag("addr:housenumber", number));
    }
    body += node(1, 55.748, 37.595) + node(2, 55.752, 37.900);
    body += way(10, {1, 2}, tag("railway", "rail"));
    return osm(body);
}

}  // namespace

TEST(Frame, TheExportedAreaOrTheAddressesFrameTheCityNotTheLongLines) {
    QTemporaryDir tmp;
    const QByteArray box =
        "<bounds minlat='55.7450' minlon='37.5890' maxlat='55.7550' maxlon='37.6110'/>\n";
    const QByteArray planet = "<bounds minlat='-90' minlon='-180' maxlat='90' maxlon='180'/>\n";
    for (const QByteArray& bounds : {box, QByteArray(), planet}) {
        SCOPED_TRACE(bounds.toStdString());
        const QString path = tmp.filePath(u("export.osm"));
        ASSERT_TRUE(writeText(path, exportWithFarLine(bounds)));
        ImportResult r;
        QString error;
        ASSERT_TRUE(importOsm(path, r, &error)) << error.toStdString();
        EXPECT_EQ(r.report.cityAreaSource, bounds == box ? 1 : 2);
        const Catalogue& c = r.data.catalogue;
        // The area as the box gives it (the addresses fill nearly the same).
        ASSERT_TRUE(r.data.geo);
        const QPoint a = r.data.geo->toMap(55.7550, 37.5890),
                     b = r.data.geo->toMap(55.7450, 37.6110);
        const double width = b.x() - a.x();
        EXPECT_GT(c.extentWidth, 15000) << "the far line is still on the map";
        EXPECT_GE(c.startWidth, 0.8 * width);
        EXPECT_LE(c.startWidth, 1.5 * width);
        const QPointF centre(c.startX + c.startWidth / 2.0, c.startY + c.startWidth * 3 / 8.0);
        EXPECT_LT(
            std::hypot(centre.x() - (a.x() + b.x()) / 2.0, centre.y() - (a.y() + b.y()) / 2.0),
            0.15 * width);
        EXPECT_LE(c.overviewWidth, 3 * width);
        EXPECT_GE(c.overviewWidth, width);
        EXPECT_LE(c.overviewLeft, a.x());
        EXPECT_LE(c.overviewTop, a.y());
        EXPECT_GE(c.overviewLeft + c.overviewWidth, b.x());
        EXPECT_GE(c.overviewTop + c.overviewWidth, b.y());
    }
    // A few far points do not widen the box of most places; too few make none.
    std::vector<osmium::Location> places;
    for (int i = 0; i < 200; ++i) places.emplace_back(37.59 + 0.0001 * i, 55.75);
    places.emplace_back(38.5, 55.75);
    places.emplace_back(36.5, 56.5);
    const std::optional<osmium::Box> most = boxOfMost(places);
    ASSERT_TRUE(most);
    EXPECT_LT(most->top_right().lon(), 37.62);
    EXPECT_GT(most->bottom_left().lon(), 37.58);
    EXPECT_FALSE(boxOfMost({places[0], places[1]}));
}

namespace {

// Two suburbs side by side, a street of one name in each, and a street outside both.
QByteArray twoSuburbs(const QByteArray& more) {
    QByteArray body;
    auto area = [&](int id, double lon, const char* name) {
        body += node(id, 55.750, lon) + node(id + 1, 55.750, lon + 0.02) +
                node(id + 2, 55.760, lon + 0.02) + node(id + 3, 55.760, lon);
        body +=
            way(id, {id, id + 1, id + 2, id + 3, id}, tag("place", "suburb") + tag("name", name));
    };
    area(10, 37.60, "Первый");
    area(20, 37.64, "Второй");
    auto street = [&](int id, double lat, double lon, const char* name) {
        body += node(id, lat, lon) + node(id + 1, lat, lon + 0.008);
        body += way(id, {id, id + 1}, tag("highway", "residential") + tag("name", name));
    };
    street(100, 55.755, 37.605, "Садовая улица");
    street(110, 55.755, 37.645, "Садовая улица");
    street(120, 55.754, 37.6195, "Пограничная улица");  // mostly in the first
    street(130, 55.780, 37.620, "Лесная улица");
    body += node(200, 55.7552, 37.606,
                 tag("addr:street", "Садовая улица") + tag("addr:housenumber", "1") +
                     tag("addr:city", "Тест"));
    body += node(201, 55.7552, 37.646,
                 tag("addr:street", "Садовая улица") + tag("addr:housenumber", "2") +
                     tag("addr:city", "Тест"));
    body += node(202, 55.7802, 37.621,
                 tag("addr:street", "Лесная улица") + tag("addr:housenumber", "3") +
                     tag("addr:city", "Тест"));
    return osm(body + more);
}

}  // namespace

TEST(StreetParents, EveryStreetHasTheDistrictHoldingMostOfItElseTheCity) {
    QTemporaryDir tmp;
    const QByteArray cityNode =
        node(300, 55.790, 37.63, tag("place", "city") + tag("name", "Град"));
    for (const QByteArray& more : {QByteArray(), cityNode}) {
        const QString path = tmp.filePath(u("suburbs.osm"));
        ASSERT_TRUE(writeText(path, twoSuburbs(more)));
        ImportResult r;
        QString error;
        ASSERT_TRUE(importOsm(path, r, &error)) << error.toStdString();
        const auto& districts = r.data.classNames[kDistrictClass];
        const auto& streets = r.data.classNames[kStreetClass];
        std::multimap<QString, QString> parentOf;  // street -> parent
        std::map<QString, QStringList> housesOf;   // "street (parent)" -> house numbers
        for (const NameData& st : streets) {
            ASSERT_EQ(st.parentClass, kDistrictClass) << st.name.toStdString();
            ASSERT_GT(st.parentRecord, 0);
            const QString parent = districts[size_t(st.parentRecord - 1)].name;
            parentOf.emplace(st.name, parent);
            for (const ObjectRefData& h : st.parts)
                housesOf[st.name + u(" (") + parent + u(")")]
                    << r.data.classNames[size_t(h.first)][size_t(h.second - 1)].number;
        }
        const QString city = more.isEmpty() ? u("Тест") : u("Град");
        EXPECT_EQ(parentOf.count(u("Садовая улица")), 2u);
        EXPECT_EQ(housesOf[u("Садовая улица (Первый)")], QStringList{u("1")});
        EXPECT_EQ(housesOf[u("Садовая улица (Второй)")], QStringList{u("2")});
        EXPECT_EQ(parentOf.find(u("Пограничная улица"))->second, u("Первый"));
        EXPECT_EQ(parentOf.find(u("Лесная улица"))->second, city);
        EXPECT_EQ(housesOf[u("Лесная улица (") + city + u(")")], QStringList{u("3")});
        EXPECT_EQ(r.data.catalogue.reserved50, city) << "the window's title names the city";
    }
}

TEST(StreetNames, ListedUnderTheirOwnWordLabelledAndFoundAsTheDataWritesThem) {
    EXPECT_EQ(typeWordLast(u("улица Маросейка")), u("Маросейка улица"));
    EXPECT_EQ(typeWordLast(u("Улица Академика Глушко")), u("Академика Глушко улица"));
    EXPECT_EQ(typeWordLast(u("вуліца Кірава")), u("Кірава вуліца"));
    EXPECT_EQ(typeWordLast(u("бульвар Дмитрия Донского")), u("Дмитрия Донского бульвар"));
    for (const char* kept :
         {"Nørrebrogade", "Проектируемый проезд № 585", "Думская улица", "улица", "Улица-сад"})
        EXPECT_EQ(typeWordLast(u(kept)), u(kept));

    QTemporaryDir tmp;
    const QString path = tmp.filePath(u("street.osm"));
    ASSERT_TRUE(writeText(
        path,
        osm(node(1, 55.757, 37.633) + node(2, 55.758, 37.640) +
            node(3, 55.7572, 37.634,
                 tag("addr:street", "улица Маросейка") + tag("addr:housenumber", "2")) +
            way(10, {1, 2}, tag("highway", "residential") + tag("name", "улица Маросейка")))));
    ImportResult r;
    QString error;
    ASSERT_TRUE(importOsm(path, r, &error)) << error.toStdString();
    ASSERT_EQ(r.data.classNames[kStreetClass].size(), 1u);
    EXPECT_EQ(r.data.classNames[kStreetClass][0].name, u("Маросейка улица"));
    ASSERT_EQ(r.data.mapLabels.size(), 1u);
    EXPECT_EQ(r.data.mapLabels[0].record, 1);
    EXPECT_EQ(r.data.mapLabels[0].name, u("улица Маросейка"));
    bool found = false;
    for (const SearchNameData& n : r.data.searchNames)
        found |= n.classNumber == kStreetClass && n.name == u("улица Маросейка");
    EXPECT_TRUE(found) << "the data's order still finds it";
    const QString dir = tmp.filePath(u("city"));
    ASSERT_TRUE(writeDatasetSafely(r.data, dir, &error)) << error.toStdString();
    const auto labels = SearchNames::load(dir + u("/"), nullptr, nullptr, kMapLabelsLines);
    ASSERT_TRUE(labels->find(kStreetClass, 1));
    EXPECT_EQ(*labels->find(kStreetClass, 1), u("улица Маросейка"));
    EXPECT_FALSE(labels->find(kStreetClass, 2));
}
