// urbica-find on the search tests' city, on broken datasets and on an
// imported OpenStreetMap excerpt.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <algorithm>
#include <functional>
#include <map>

#include "dataset/displaynames.h"
#include "dataset/georef.h"
#include "dataset/kindplaces.h"
#include "findtool.h"
#include "search/searchfixture.h"

using namespace urbica;
using namespace urbica::testcity;

namespace {

struct Outcome {
    int status = -1;
    QStringList lines;  // standard output
    QString errors;     // standard error
};

Outcome find(const QString& data, QStringList args, const QByteArray& input = {}) {
    QList<QByteArray> raw{"--data", data.toUtf8()};
    for (const QString& a : args) raw << a.toUtf8();
    QByteArray inBytes = input, outBytes, errBytes;
    QBuffer in(&inBytes), out(&outBytes), err(&errBytes);
    in.open(QIODevice::ReadOnly);
    out.open(QIODevice::WriteOnly);
    err.open(QIODevice::WriteOnly);
    Outcome r;
    r.status = findtool::run(raw, in, out, err);
    r.lines = QString::fromUtf8(outBytes).split(u'\n', Qt::SkipEmptyParts);
    r.errors = QString::fromUtf8(errBytes);
    return r;
}

QStringList field(const QStringList& lines, int column) {
    QStringList out;
    for (const QString& l : lines) out << l.split(u'\t').value(column);
    return out;
}

class FindCity : public ::testing::Test {
protected:
    City city;
    void writeText(const char* file, const char* text) {
        QFile f(city.path(file));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    }
    QString dir() const { return city.dir.path(); }
    // The city written with a projection near St Petersburg, a metre a unit.
    GeoReference writeWithProjection() {
        GeoReference geo;
        geo.lon0 = 30.3;
        geo.lat0 = 59.9;
        geo.margin = 500;
        geo.metresPerUnit = 1;
        city.data.geo = geo;
        city.write();
        return geo;
    }
    QString houseRecord(int32_t street, size_t i) const {
        return QString::number(city.streetHouses[size_t(street)][i]);
    }
};

TEST_F(FindCity, HouseByNumberLetterAndBuilding) {
    // The street is the first whose name holds the text; the centre is that of the house's box.
    Outcome r = find(dir(), {u("house"), u("садов"), u("14")});
    ASSERT_EQ(r.status, findtool::kFound) << r.errors.toStdString();
    ASSERT_EQ(r.lines.size(), 1);
    const QStringList f = r.lines[0].split(u'\t');
    ASSERT_EQ(f.size(), 5);
    EXPECT_TRUE(f[0].contains(u("Садовая"))) << f[0].toStdString();
    EXPECT_TRUE(f[0].contains(u("14")));
    EXPECT_EQ(f[1], QString::number(kHouses));
    EXPECT_EQ(f[2], houseRecord(kSadovaya, 6));
    // Object 16 of the layer (2 districts and 8 streets come first): x 1000 + 16 * 2000
    // to 300 further, y 1000 to 100 further.
    EXPECT_EQ(f[3], u("33150"));
    EXPECT_EQ(f[4], u("1050"));

    // Letter case and Ё/Е aside, both 12А and 12а; 12Б and the other 12s not.
    r = find(dir(), {u("house"), u("Садовая"), u("12"), u("--letter"), u("а")});
    EXPECT_EQ(field(r.lines, 2),
              QStringList({houseRecord(kSadovaya, 1), houseRecord(kSadovaya, 2)}));

    r = find(dir(), {u("house"), u("x"), u("13"), u("--street-record"), QString::number(kLiteynaya),
                     u("--building"), u("2")});
    EXPECT_EQ(field(r.lines, 2), QStringList({houseRecord(kLiteynaya, 2)}));
    r = find(dir(), {u("house"), u("Садовая"), u("12"), u("--fraction"), u("3")});
    EXPECT_EQ(field(r.lines, 2), QStringList({houseRecord(kSadovaya, 4)}));
}

TEST_F(FindCity, NearestHousesOnlyWhenAskedAndOnTheSameSide) {
    Outcome r = find(dir(), {u("house"), u("Нечётная"), u("13")});
    EXPECT_EQ(r.status, findtool::kNotFound);
    EXPECT_TRUE(r.lines.isEmpty());
    r = find(dir(), {u("house"), u("Нечетная"), u("13"), u("--nearest")});
    EXPECT_EQ(r.status, findtool::kFound);
    // 11 below and 15 above; the even 10 and 16 are on the other side.
    EXPECT_EQ(field(r.lines, 2), QStringList({houseRecord(kOdd, 2), houseRecord(kOdd, 3)}));
    r = find(dir(), {u("house"), u("Нет такой"), u("1")});
    EXPECT_EQ(r.status, findtool::kNotFound);
    EXPECT_FALSE(r.errors.isEmpty());
}

TEST_F(FindCity, TextSearchFoldsYoAndTakesClasses) {
    // The quick find: searchable named classes, so the pond is not among them.
    Outcome r = find(dir(), {u("text"), u("ЕЛОЧ")});
    EXPECT_EQ(r.status, findtool::kFound);
    ASSERT_EQ(r.lines.size(), 1);
    EXPECT_EQ(field(r.lines, 1), QStringList({QString::number(kStreets)}));
    EXPECT_EQ(field(r.lines, 2), QStringList({QString::number(kYolochnaya)}));
    // The universal search with the chosen class only.
    r = find(dir(), {u("text"), u("ёлочн"), u("--class"), QString::number(kPonds)});
    EXPECT_EQ(field(r.lines, 1), QStringList({QString::number(kPonds)}));
    r = find(dir(), {u("text"), u("несуществующее")});
    EXPECT_EQ(r.status, findtool::kNotFound);
}

TEST_F(FindCity, MetroAndJson) {
    Outcome r = find(dir(), {u("--json"), u("metro"), u("елки")});
    ASSERT_EQ(r.status, findtool::kFound);
    ASSERT_EQ(r.lines.size(), 1);
    const QJsonObject j = QJsonDocument::fromJson(r.lines[0].toUtf8()).object();
    EXPECT_EQ(j.value(u("name")).toString(), u("Ёлки"));
    EXPECT_EQ(j.value(u("class")).toInt(), kStations);
    EXPECT_EQ(j.value(u("record")).toInt(), 3);
    EXPECT_TRUE(j.contains(u("x")) && j.contains(u("y")));
    // A station without map objects is not listed.
    EXPECT_EQ(find(dir(), {u("metro"), u("Закрытая")}).status, findtool::kNotFound);
}

TEST_F(FindCity, WholeNamesInTextAndJson) {
    // The street's name as the importer keeps it whole beside the folded one.
    QFile f(dir() + u("/") + QLatin1String(kDisplayNamesFile));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(encodeDisplayNames({{kStreets, kSadovaya, u("Sadovaja Straße")}}));
    f.close();
    Outcome r = find(dir(), {u("--json"), u("house"), u("садов"), u("14")});
    ASSERT_EQ(r.status, findtool::kFound) << r.errors.toStdString();
    const QJsonObject j = QJsonDocument::fromJson(r.lines.value(0).toUtf8()).object();
    EXPECT_TRUE(j.value(u("name")).toString().startsWith(u("Sadovaja Straße д.14")))
        << r.lines.value(0).toStdString();
    r = find(dir(), {u("text"), u("садов")});
    EXPECT_EQ(r.lines.filter(u("Sadovaja Straße")).size(), 1) << r.lines.join(u'|').toStdString();
    // A damaged file is named on the error output and the names stay as stored.
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("urbica-display-names 1\nx\n");
    f.close();
    r = find(dir(), {u("text"), u("садов")});
    EXPECT_TRUE(r.lines.filter(u("Sadovaja")).isEmpty()) << r.lines.join(u'|').toStdString();
    EXPECT_TRUE(r.errors.contains(QLatin1String(kDisplayNamesFile))) << r.errors.toStdString();
}

TEST_F(FindCity, GeocodeBatchGoesOnPastBadLines) {
    const QByteArray input =
        u("Садовая\t12А\n"
          "строка без табуляции\n")
            .toUtf8() +
        QByteArray("\xcd\xe5\xe2\xf1\xea\xe8\xe9\t1\n") +  // Windows-1251, not UTF-8
        u("Нечётная\t13\r\n"
          "\n"
          "литейная\t13к2\n"
          "Садовая\t \n"
          "Нет такой\t1\n")
            .toUtf8();
    const Outcome r = find(dir(), {u("geocode"), u("-")}, input);
    EXPECT_EQ(r.status, findtool::kFound);
    ASSERT_EQ(r.lines.size(), 7) << r.lines.join(u'|').toStdString();
    EXPECT_EQ(field(r.lines, 0),
              QStringList({u("1"), u("2"), u("3"), u("4"), u("6"), u("7"), u("8")}));
    EXPECT_EQ(field(r.lines, 1), QStringList({u("exact"), u("error"), u("error"), u("nearest"),
                                              u("exact"), u("error"), u("not found")}));
    // 12А: the exact letter first, in the street's order.
    EXPECT_EQ(r.lines[0].split(u'\t').value(4), houseRecord(kSadovaya, 1));
    // 13 on Нечётная: 11 and 15 are as near; the lower one is named.
    EXPECT_EQ(r.lines[3].split(u'\t').value(4), houseRecord(kOdd, 2));
    EXPECT_EQ(r.lines[4].split(u'\t').value(4), houseRecord(kLiteynaya, 2));
    EXPECT_TRUE(r.errors.contains(u("строка 2"))) << r.errors.toStdString();
    EXPECT_TRUE(r.errors.contains(u("строка 3")));
    EXPECT_TRUE(r.errors.contains(u("строка 7")));

    EXPECT_EQ(find(dir(), {u("geocode"), u("-")}, u("Нет такой\t1\n").toUtf8()).status,
              findtool::kNotFound);
    EXPECT_EQ(find(dir(), {u("geocode"), dir() + u("/нет файла")}).status, findtool::kBadUse);
}

TEST_F(FindCity, BadUseAndBrokenDatasets) {
    EXPECT_EQ(find(dir(), {u("house"), u("Садовая")}).status, findtool::kBadUse);
    EXPECT_EQ(find(dir(), {u("text"), u("а"), u("--class"), u("99")}).status, findtool::kBadUse);
    EXPECT_EQ(find(dir(), {u("text"), u("а"), u("--class"), u("0")}).status, findtool::kBadUse);
    EXPECT_EQ(find(dir(), {u("rivers")}).status, findtool::kBadUse);
    EXPECT_EQ(find(dir(), {u("house"), u("а"), u("1"), u("--street-record"), u("-3")}).status,
              findtool::kBadUse);
    // A street record outside the file is one message, whatever its sign or size.
    for (const char* n : {"5000", "0", "-3", "2147483648", "99999999999999999999", "x"}) {
        const Outcome r = find(dir(), {u("house"), u("а"), u("1"), u("--street-record"), u(n)});
        EXPECT_EQ(r.status, findtool::kBadUse) << n;
        EXPECT_TRUE(r.errors.contains(u("нет такой записи улицы"))) << r.errors.toStdString();
        EXPECT_TRUE(r.errors.contains(u("ul.cl2"))) << r.errors.toStdString();
    }
    {
        QByteArray in, out, err;
        QBuffer bi(&in), bo(&out), be(&err);
        bi.open(QIODevice::ReadOnly);
        bo.open(QIODevice::WriteOnly);
        be.open(QIODevice::WriteOnly);
        EXPECT_EQ(findtool::run({"--data", dir().toUtf8(), "text", "\xff\xfe"}, bi, bo, be),
                  findtool::kBadUse);
        EXPECT_TRUE(QString::fromUtf8(err).contains(u("UTF-8")));
    }

    // Street and metro classes past the class table.
    city.data.catalogue.streetClass = 40;
    city.data.catalogue.metroClass = -2;
    city.write();
    for (const QStringList& args :
         {QStringList{u("house"), u("Садовая"), u("12")}, QStringList{u("geocode"), u("-")},
          QStringList{u("metro"), u("а")}}) {
        const Outcome r = find(dir(), args, u("Садовая\t12\n").toUtf8());
        EXPECT_EQ(r.status, findtool::kBadUse) << args.join(u' ').toStdString();
        EXPECT_TRUE(r.errors.contains(u("вне таблицы классов"))) << r.errors.toStdString();
    }

    QTemporaryDir empty;
    EXPECT_EQ(find(empty.path(), {u("text"), u("а")}).status, findtool::kBadUse);
    city.truncate("urbica.dat", 100);
    const Outcome r = find(dir(), {u("text"), u("а")});
    EXPECT_EQ(r.status, findtool::kBadUse);
    EXPECT_FALSE(r.errors.isEmpty());
}

TEST_F(FindCity, TruncatedNameFilesGiveMessagesNotCrashes) {
    city.truncate("ul.cl2", 20);
    city.truncate("dm.cls", 15);
    for (const QStringList& args :
         {QStringList{u("house"), u("Садовая"), u("12")},
          QStringList{u("house"), u("x"), u("12"), u("--street-record"), u("1"), u("--nearest")},
          QStringList{u("text"), u("а")}, QStringList{u("geocode"), u("-")}}) {
        const Outcome r = find(dir(), args, u("Садовая\t12\nЛитейная\t9\n").toUtf8());
        EXPECT_GE(r.status, 0) << args.join(u' ').toStdString();
        EXPECT_LE(r.status, 2);
    }
}

// Every damaged or missing file is named on the error output: the projection
// and the other names once, the search going on without them; a class, street
// or layer file that is missing, short or not a whole number of records with
// status 2 instead of "not found".
TEST_F(FindCity, EveryDamagedFileIsNamed) {
    writeWithProjection();
    const QStringList house{u("house"), u("Садовая"), u("14")};
    struct Case {
        const char* file;
        std::function<void()> damage;
        QStringList args;
        int status;
    } cases[] = {
        {"urbica.snm",
         [&] { writeText("urbica.snm", "junk\n"); },
         {u("text"), u("Садов")},
         findtool::kFound},
        {"urbica.geo", [&] { writeText("urbica.geo", "urbica-geo 1\nlat0 x\n"); }, house,
         findtool::kFound},
        {"dm.cls", [&] { city.truncate("dm.cls", 0); }, house, findtool::kBadUse},
        {"dm.cls", [&] { QFile::remove(city.path("dm.cls")); }, house, findtool::kBadUse},
        {"dm.cl2", [&] { city.truncate("dm.cl2", 0); }, house, findtool::kBadUse},
        {"dm.cls", [&] { city.truncate("dm.cls", 65); }, house, findtool::kBadUse},
        {"ul.cls", [&] { city.truncate("ul.cls", 1); }, house, findtool::kBadUse},
        {"ul.cl2", [&] { city.truncate("ul.cl2", 1); }, house, findtool::kBadUse},
        {"ul.dnl", [&] { city.truncate("ul.dnl", 0); }, house, findtool::kBadUse},
        {"vse.zgs", [&] { city.truncate("vse.zgs", 40); }, house, findtool::kBadUse},
        {"ul.cls",
         [&] { city.truncate("ul.cls", 100); },
         {u("text"), u("Садов")},
         findtool::kBadUse},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        city.write();
        c.damage();
        const Outcome r = find(dir(), c.args);
        EXPECT_EQ(r.status, c.status) << r.errors.toStdString();
        EXPECT_EQ(r.errors.count(QString::fromLatin1(c.file)), 1) << r.errors.toStdString();
        if (c.status == findtool::kFound) {
            EXPECT_FALSE(r.lines.isEmpty());
        }
    }
}

TEST_F(FindCity, AddressInOneLine) {
    Outcome r = find(dir(), {u("address"), u("г. Город, ул. Литейная, д. 13 корп. 2")});
    ASSERT_EQ(r.status, findtool::kFound) << r.errors.toStdString();
    ASSERT_EQ(r.lines.size(), 1);
    EXPECT_EQ(r.lines[0].split(u'\t').size(), 5) << "no projection: no latitude and longitude";
    EXPECT_EQ(field(r.lines, 2), QStringList({houseRecord(kLiteynaya, 2)}));
    // Unquoted words are one address too; a typo in a long name is forgiven.
    r = find(dir(), {u("--json"), u("address"), u("Литейнай"), u("9")});
    ASSERT_EQ(r.lines.size(), 1);
    EXPECT_EQ(QJsonDocument::fromJson(r.lines[0].toUtf8()).object().value(u("record")).toInt(),
              city.streetHouses[kLiteynaya][0]);
    r = find(dir(), {u("address"), u("Литейная")});
    EXPECT_EQ(r.status, findtool::kNotFound);
    EXPECT_TRUE(r.errors.contains(u("не разобран адрес"))) << r.errors.toStdString();
    EXPECT_EQ(find(dir(), {u("address")}).status, findtool::kBadUse);
}

TEST_F(FindCity, GeocodeOneLineAndBadLines) {
    const QByteArray input = u("ул. Садовая, д. 12/3\n").toUtf8() + QByteArray(100000, 'a') + '\n' +
                             QByteArray("\x01\x02\x7f\x03 5\n") +
                             u("Садовая 1234567890123456789012345678901234567890\n"
                               "Садовая\t1234567890123456789012345678901234567890\n"
                               "Нечетная улица 13\n")
                                 .toUtf8();
    const Outcome r = find(dir(), {u("geocode"), u("-")}, input);
    EXPECT_EQ(r.status, findtool::kFound);
    EXPECT_EQ(field(r.lines, 1), QStringList({u("exact"), u("error"), u("error"), u("error"),
                                              u("error"), u("nearest")}));
    EXPECT_EQ(r.lines[0].split(u'\t').value(4), houseRecord(kSadovaya, 4));
    for (int line = 2; line <= 5; ++line)
        EXPECT_TRUE(r.errors.contains(QStringLiteral("строка %1:").arg(line))) << line;
}

TEST_F(FindCity, ReverseGeocodingNeedsTheProjection) {
    const Outcome r = find(dir(), {u("at"), u("59.93"), u("30.31")});
    EXPECT_EQ(r.status, findtool::kBadUse);
    EXPECT_TRUE(r.errors.contains(u("проекции"))) << r.errors.toStdString();
    EXPECT_EQ(find(dir(), {u("at"), u("100"), u("30")}).status, findtool::kBadUse);
    EXPECT_EQ(find(dir(), {u("at"), u("x")}).status, findtool::kBadUse);
}

TEST_F(FindCity, LatitudeAndLongitudeWhenTheProjectionIsKnown) {
    const GeoReference geo = writeWithProjection();
    double lat = 0, lon = 0;
    geo.toLatLon(33150, 1050, lat, lon);  // the centre of Садовая 14
    const QString latText = QString::number(lat, 'f', 6), lonText = QString::number(lon, 'f', 6);
    Outcome r = find(dir(), {u("house"), u("Садовая"), u("14")});
    ASSERT_EQ(r.lines.size(), 1);
    EXPECT_EQ(r.lines[0].split(u'\t').mid(3),
              QStringList({u("33150"), u("1050"), latText, lonText}));
    r = find(dir(), {u("--json"), u("geocode"), u("-")}, u("Садовая 14\n").toUtf8());
    ASSERT_EQ(r.lines.size(), 1);
    const QJsonObject j = QJsonDocument::fromJson(r.lines[0].toUtf8()).object();
    EXPECT_NEAR(j.value(u("lat")).toDouble(), lat, 1e-6);
    EXPECT_NEAR(j.value(u("lon")).toDouble(), lon, 1e-6);
    EXPECT_EQ(j.value(u("match")).toString(), u("exact"));

    // Reverse: the house under the point, one 50 m off its box, none 300 m away.
    r = find(dir(), {u("at"), latText, lonText});
    ASSERT_EQ(r.status, findtool::kFound) << r.errors.toStdString();
    EXPECT_EQ(field(r.lines, 2), QStringList({houseRecord(kSadovaya, 6)}));
    geo.toLatLon(33150, 1050 - 100, lat, lon);
    EXPECT_EQ(
        find(dir(), {u("at"), QString::number(lat, 'f', 7), QString::number(lon, 'f', 7)}).status,
        findtool::kFound);
    geo.toLatLon(33150, 1050 - 350, lat, lon);
    r = find(dir(), {u("at"), QString::number(lat, 'f', 7), QString::number(lon, 'f', 7)});
    EXPECT_EQ(r.status, findtool::kNotFound);
    EXPECT_TRUE(r.errors.contains(u("не найдено")));
}

TEST(HouseText, ImporterFormsBecomeSearchFields) {
    auto q = findtool::houseQueryFromText(u("12к2"));
    ASSERT_TRUE(q);
    EXPECT_EQ(q->number, u("12"));
    EXPECT_EQ(q->building, u("2"));
    EXPECT_TRUE(q->letter.isEmpty());
    q = findtool::houseQueryFromText(u(" 1/25 литА "));
    ASSERT_TRUE(q);
    EXPECT_EQ(q->number, u("1"));
    EXPECT_EQ(q->letter, u("А"));
    EXPECT_EQ(q->fraction, u("25"));
    q = findtool::houseQueryFromText(u("13-15"));
    ASSERT_TRUE(q);
    EXPECT_EQ(q->number, u("13"));
    q = findtool::houseQueryFromText(u("вл1"));
    ASSERT_TRUE(q);
    EXPECT_TRUE(q->number.isEmpty());
    EXPECT_EQ(q->letter, u("вл1"));
    EXPECT_FALSE(findtool::houseQueryFromText(u(" ")));
    EXPECT_FALSE(findtool::houseQueryFromText(QString()));
}

// A committed extract imported once by the importer program, for a whole suite.
template <const char* kFile>
class ImportedOnce : public ::testing::Test {
protected:
    static inline QTemporaryDir* dir = nullptr;
    static void SetUpTestSuite() {
        dir = new QTemporaryDir;
        QProcess p;
        p.start(
            QStringLiteral(IMPORT_EXE),
            {QStringLiteral(OSM_TEST_DATA "/") + QLatin1String(kFile), u("--out"), dir->path()});
        ASSERT_TRUE(p.waitForFinished(60000));
        ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    }
    static void TearDownTestSuite() {
        delete dir;
        dir = nullptr;
    }
};

// The excerpt of St Petersburg.
constexpr char kGostinyDvor[] = "spb-gostiny-dvor.osm";
class FindExcerpt : public ImportedOnce<kGostinyDvor> {};

TEST_F(FindExcerpt, HousesMetroAndText) {
    Outcome r = find(dir->path(), {u("house"), u("Думская"), u("2"), u("--letter"), u("а")});
    ASSERT_EQ(r.status, findtool::kFound) << r.errors.toStdString();
    EXPECT_EQ(field(r.lines, 0), QStringList({u("Думская улица д.2А")}));

    r = find(dir->path(), {u("metro"), u("невский")});
    EXPECT_EQ(field(r.lines, 0), QStringList({u("Невский проспект")}));
    // й is not и, but one typo is forgiven; two are not.
    r = find(dir->path(), {u("text"), u("гостиныи")});
    EXPECT_TRUE(field(r.lines, 0).contains(u("Гостиный двор")));
    r = find(dir->path(), {u("text"), u("гастиныи")});
    EXPECT_EQ(r.status, findtool::kNotFound);
    r = find(dir->path(), {u("text"), u("ГОСТИНЫЙ")});
    EXPECT_TRUE(field(r.lines, 0).contains(u("Гостиный двор")));
}

TEST_F(FindExcerpt, GeocodeBatch) {
    const Outcome r = find(dir->path(), {u("geocode"), u("-")},
                           u("Думская улица\t2А\n"
                             "Думская улица\t5/22 литВ\n"
                             "Думская улица 7\n"
                             "Садовая улица\t21\n"
                             "невский проспект\t40-42\n")
                               .toUtf8());
    EXPECT_EQ(r.status, findtool::kFound);
    // A line without a tab is an address in one line.
    EXPECT_EQ(field(r.lines, 1),
              QStringList({u("exact"), u("exact"), u("exact"), u("nearest"), u("exact")}));
    EXPECT_EQ(field(r.lines, 2), QStringList({u("Думская улица д.2А"), u("Думская улица д.5В/22"),
                                              u("Думская улица д.7"), u("Садовая улица д.17"),
                                              u("Невский проспект д.40")}));
}

// Every house the dataset holds, written out as an address line, is found again exactly.
TEST_F(FindExcerpt, EveryListedAddressIsFoundAgain) {
    const Outcome all = find(dir->path(), {u("addresses")});
    ASSERT_EQ(all.status, findtool::kFound);
    ASSERT_GT(all.lines.size(), 20);
    const Outcome r = find(dir->path(), {u("geocode"), u("-")}, all.lines.join(u'\n').toUtf8());
    EXPECT_EQ(field(r.lines, 1), QStringList(all.lines.size(), u("exact")));
}

TEST_F(FindCity, EveryListedAddressIsFoundAgain) {
    const Outcome all = find(dir(), {u("addresses")});
    ASSERT_EQ(all.status, findtool::kFound);
    EXPECT_TRUE(all.lines.contains(u("Садовая\t12/3"))) << all.lines.join(u'|').toStdString();
    EXPECT_TRUE(all.lines.contains(u("Садовая\t12к2")));
    EXPECT_TRUE(all.lines.contains(u("Литейная\t13 литА")));
    const Outcome r = find(dir(), {u("geocode"), u("-")}, all.lines.join(u'\n').toUtf8());
    EXPECT_EQ(field(r.lines, 1), QStringList(all.lines.size(), u("exact")));
}

TEST(FindProgram, ExitStatusAndStreams) {
    QProcess p;
    p.start(QStringLiteral(FIND_EXE), {u("--data"), u("/nonexistent-urbica"), u("text"), u("а")});
    ASSERT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitCode(), findtool::kBadUse);
    EXPECT_TRUE(p.readAllStandardOutput().isEmpty());
    EXPECT_FALSE(p.readAllStandardError().isEmpty());

    p.start(QStringLiteral(FIND_EXE), {});
    ASSERT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitCode(), findtool::kBadUse);
}

}  // namespace

// Interpolation lines: the houses between their addressed ends are made,
// placed along the line, found by the searches and marked approximate.
TEST(FindInterpolated, HousesBetweenTheEndsAlongTheLine) {
    QTemporaryDir dir;
    const QString osm = dir.filePath(u("interpolation.osm"));
    QFile f(osm);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    auto node = [](int id, const char* lat, const char* lon, const char* number = nullptr) {
        QString s = u("<node id=\"%1\" lat=\"%2\" lon=\"%3\" version=\"1\">")
                        .arg(id)
                        .arg(QLatin1String(lat), QLatin1String(lon));
        if (number)
            s += u("<tag k=\"addr:street\" v=\"Тестовая улица\"/><tag k=\"addr:housenumber\" "
                   "v=\"%1\"/>")
                     .arg(QLatin1String(number));
        return s + u("</node>\n");
    };
    auto way = [](int id, std::initializer_list<int> nodes, const char* tags) {
        QString s = u("<way id=\"%1\" version=\"1\">").arg(id);
        for (int n : nodes) s += u("<nd ref=\"%1\"/>").arg(n);
        return s + QString::fromUtf8(tags) + u("</way>\n");
    };
    QString xml = u("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<osm version=\"0.6\">\n");
    xml += node(1, "55.7500", "37.6000") + node(2, "55.7500", "37.6100");
    // Odd, straight: 1 .. 11, and 5 mapped on its own elsewhere.
    xml += node(3, "55.7501", "37.6000", "1") + node(4, "55.7501", "37.6100", "11");
    xml += node(5, "55.7503", "37.6040", "5");
    // Even, bent: 2 .. 8 round a corner; all: 20 .. 23.
    xml += node(6, "55.7499", "37.6000", "2") + node(7, "55.7499", "37.6010") +
           node(8, "55.7489", "37.6010", "8");
    xml += node(9, "55.7510", "37.6000", "20") + node(10, "55.7510", "37.6030", "23");
    xml += way(100, {1, 2},
               "<tag k=\"highway\" v=\"residential\"/>"
               "<tag k=\"name\" v=\"Тестовая улица\"/>");
    xml += way(101, {3, 4}, "<tag k=\"addr:interpolation\" v=\"odd\"/>");
    xml += way(102, {6, 7, 8}, "<tag k=\"addr:interpolation\" v=\"even\"/>");
    xml += way(103, {9, 10}, "<tag k=\"addr:interpolation\" v=\"all\"/>");
    xml += u("</osm>\n");
    f.write(xml.toUtf8());
    f.close();
    const QString data = dir.filePath(u("city"));
    QProcess p;
    p.start(QStringLiteral(IMPORT_EXE), {osm, u("--out"), data});
    ASSERT_TRUE(p.waitForFinished(60000));
    ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    EXPECT_TRUE(QString::fromLocal8Bit(p.readAllStandardOutput())
                    .contains(u("линий интерполяции адресов, поставлены вдоль них: 7")));

    // number -> where it lies (the share of the line's length), approximate or not.
    struct Want {
        const char* number;
        double lat, lon;
        bool approximate;
    };
    for (const Want& w : {Want{"3", 55.7501, 37.6020, true}, Want{"7", 55.7501, 37.6060, true},
                          Want{"9", 55.7501, 37.6080, true}, Want{"5", 55.7503, 37.6040, false},
                          Want{"4", 55.7499, 37.6009256, true},
                          Want{"6", 55.7494209, 37.6010, true}, Want{"21", 55.7510, 37.6010, true},
                          Want{"22", 55.7510, 37.6020, true}, Want{"1", 55.7501, 37.6000, false}}) {
        SCOPED_TRACE(w.number);
        const Outcome r =
            find(data, {u("--json"), u("house"), u("Тестовая"), QString::fromLatin1(w.number)});
        ASSERT_EQ(r.status, findtool::kFound) << r.errors.toStdString();
        ASSERT_EQ(r.lines.size(), 1);
        const QJsonObject j = QJsonDocument::fromJson(r.lines[0].toUtf8()).object();
        EXPECT_EQ(j.value(u("approximate")).toBool(false), w.approximate);
        EXPECT_LT(distanceMetres(j.value(u("lat")).toDouble(), j.value(u("lon")).toDouble(), w.lat,
                                 w.lon),
                  1.5);
        // One line and the batch find them too.
        const Outcome line = find(
            data, {u("--json"), u("address"), u("ул. Тестовая, д. ") + QLatin1String(w.number)});
        ASSERT_EQ(line.lines.size(), 1) << line.errors.toStdString();
        EXPECT_EQ(QJsonDocument::fromJson(line.lines[0].toUtf8()).object().value(u("record")),
                  j.value(u("record")));
    }
    EXPECT_EQ(find(data, {u("geocode"), u("-")}, "Тестовая улица\t7\n").lines.size(), 1);
    EXPECT_EQ(find(data, {u("house"), u("Тестовая"), u("13")}).status, findtool::kNotFound)
        << "nothing beyond the ends";
}

// A crafted extract with places of several kinds about one point.
constexpr char kKindsNearby[] = "kinds-nearby.osm";
class FindKinds : public ImportedOnce<kKindsNearby> {
protected:
    // The true distances from (lat, lon) of the extract's objects with the
    // tag: a node at its place, a closed way at the mean of its points.
    static std::vector<double> truth(const char* key, const char* value, double lat, double lon) {
        QFile f(QStringLiteral(OSM_TEST_DATA "/kinds-nearby.osm"));
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        QXmlStreamReader x(&f);
        std::map<QString, std::pair<double, double>> nodes;
        std::vector<std::pair<double, double>> points;
        std::vector<double> out;
        bool tagged = false;
        while (!x.atEnd()) {
            x.readNext();
            const auto a = x.attributes();
            if (x.isStartElement() && (x.name() == u"node" || x.name() == u"way")) {
                tagged = false;
                points.clear();
                if (x.name() == u"node") {
                    const std::pair<double, double> at{a.value(QLatin1String("lat")).toDouble(),
                                                       a.value(QLatin1String("lon")).toDouble()};
                    nodes[a.value(QLatin1String("id")).toString()] = at;
                    points.push_back(at);
                }
            } else if (x.isStartElement() && x.name() == u"nd") {
                points.push_back(nodes[a.value(QLatin1String("ref")).toString()]);
            } else if (x.isStartElement() && x.name() == u"tag") {
                tagged = tagged || (a.value(QLatin1String("k")) == QLatin1String(key) &&
                                    a.value(QLatin1String("v")) == QLatin1String(value));
            } else if (x.isEndElement() && (x.name() == u"node" || x.name() == u"way") && tagged) {
                if (points.size() > 1) points.pop_back();  // a closed way's first point again
                double la = 0, lo = 0;
                for (const auto& p : points) la += p.first, lo += p.second;
                out.push_back(distanceMetres(lat, lon, la / double(points.size()),
                                             lo / double(points.size())));
            }
        }
        std::sort(out.begin(), out.end());
        return out;
    }
};

TEST_F(FindKinds, NearestFirstWithTrueDistances) {
    const std::vector<double> want = truth("amenity", "pharmacy", 55.75, 37.60);
    ASSERT_EQ(want.size(), 4u);
    // Every language's word, singular or plural, with or without "nearby".
    for (const char* typed : {"аптеки", "Аптека рядом", "около аптека", "аптэка", "pharmacy"}) {
        const Outcome r = find(
            dir->path(), {u("--json"), u("near"), u(typed), u("--at"), u("55.75"), u("37.60")});
        ASSERT_EQ(r.status, findtool::kFound) << typed << r.errors.toStdString();
        ASSERT_EQ(r.lines.size(), want.size()) << typed;
        QStringList names;
        for (size_t i = 0; i < want.size(); ++i) {
            const QJsonObject j = QJsonDocument::fromJson(r.lines[qsizetype(i)].toUtf8()).object();
            EXPECT_NEAR(j.value(u"distance_m").toDouble(), want[i], 1.0) << typed << " " << i;
            EXPECT_EQ(j.value(u"kind").toString(), u("Аптека"));
            names << j.value(u"name").toString();
        }
        // The unnamed one is named by its kind; the building one by its own name.
        EXPECT_EQ(names.first(), u("Аптека")) << typed;
        EXPECT_TRUE(names[1].endsWith(u("Здоровье"))) << names.join(u',').toStdString();
        EXPECT_TRUE(names[2].endsWith(u("Ригла"))) << names.join(u',').toStdString();
    }
    // --limit, and the text columns: the distance and kind first.
    Outcome r = find(dir->path(), {u("near"), u("банкомат"), u("--at"), u("55.75"), u("37.60"),
                                   u("--limit"), u("1")});
    ASSERT_EQ(r.lines.size(), 1);
    EXPECT_NEAR(field(r.lines, 0)[0].toDouble(), truth("amenity", "atm", 55.75, 37.60).front(),
                1.0);
    EXPECT_EQ(field(r.lines, 1), QStringList({u("Банкомат")}));
    // A kind that needs a second tag, and one with none here: names are looked for then.
    r = find(dir->path(), {u("near"), u("церковь")});
    EXPECT_TRUE(field(r.lines, 2).value(0).endsWith(u("Храм Троицы")));
    EXPECT_EQ(find(dir->path(), {u("near"), u("мечеть")}).status, findtool::kNotFound);
    // A name nearest first: the kind column is empty.
    r = find(dir->path(), {u("near"), u("кофейн"), u("--at"), u("55.75"), u("37.60")});
    ASSERT_EQ(r.status, findtool::kFound);
    EXPECT_EQ(field(r.lines, 1), QStringList({QString()}));
    // Bad use.
    EXPECT_EQ(find(dir->path(), {u("near"), u("аптека"), u("--at"), u("95"), u("0")}).status,
              findtool::kBadUse);
    EXPECT_EQ(find(dir->path(), {u("near"), u("аптека"), u("--view"), u("1"), u("2")}).status,
              findtool::kBadUse);
}

TEST_F(FindKinds, WithoutTheKindsFileTheTypeNamesStandIn) {
    QTemporaryDir copy;
    for (const QString& name : QDir(dir->path()).entryList(QDir::Files))
        ASSERT_TRUE(QFile::copy(dir->path() + u'/' + name, copy.path() + u'/' + name));
    ASSERT_TRUE(QFile::remove(copy.path() + u'/' + QLatin1String(kKindPlacesFile)));
    const std::vector<double> want = truth("amenity", "pharmacy", 55.75, 37.60);
    const Outcome r =
        find(copy.path(), {u("near"), u("аптеки"), u("--at"), u("55.75"), u("37.60")});
    ASSERT_EQ(r.lines.size(), qsizetype(want.size()));
    for (size_t i = 0; i < want.size(); ++i)
        EXPECT_NEAR(field(r.lines, 0)[qsizetype(i)].toDouble(), want[i], 1.0);
    // The type's name itself ("Аптека") labels them.
    EXPECT_EQ(field(r.lines, 1).value(0), u("Аптека"));
    // A damaged file is said once and the search goes on by the types.
    QFile broken(copy.path() + u'/' + QLatin1String(kKindPlacesFile));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("urbica-kinds 1\namenity=pharmacy\tx\n");
    broken.close();
    const Outcome b =
        find(copy.path(), {u("near"), u("аптеки"), u("--at"), u("55.75"), u("37.60")});
    EXPECT_EQ(b.lines.size(), qsizetype(want.size()));
    EXPECT_TRUE(b.errors.contains(u("повреждён"))) << b.errors.toStdString();
}
