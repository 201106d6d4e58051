// The whole import in one call, as the tool and the window run it.
#include "import/cityimport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QStringList>
#include <QTemporaryDir>

#include "osmtestfiles.h"

using namespace urbica;
using namespace urbica::osmimport;

namespace {

const QString kGostinyDvor = QStringLiteral(OSM_TEST_DATA "/spb-gostiny-dvor.osm");

QString u(const char* s) { return QString::fromUtf8(s); }

}  // namespace

// Cancelled while reading: nothing written. A whole run: written, the
// program files beside it, checked, and the lines the tool and the window
// show. A folder that holds other things: refused before anything is checked.
TEST(ImportCity, WritesChecksAndSaysEachStepOrStopsWithNothingWritten) {
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    const QString data = tmp.filePath(QStringLiteral("city"));
    const QString program = tmp.filePath(QStringLiteral("program"));
    std::atomic<bool> cancel{true};
    QStringList steps;
    ImportCallbacks on;
    on.cancel = &cancel;
    on.writing = [&] { steps << u("запись"); };
    on.checking = [&] { steps << u("проверка"); };

    CityImportResult r = importCity({kGostinyDvor, data, program}, on);
    EXPECT_EQ(r.error, importCancelledText());
    EXPECT_TRUE(r.report.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(data));
    EXPECT_TRUE(steps.isEmpty());

    cancel = false;
    r = importCity({kGostinyDvor, data, program}, on);
    ASSERT_TRUE(r.ok()) << r.error.toStdString();
    EXPECT_EQ(steps, QStringList({u("запись"), u("проверка")}));
    ASSERT_FALSE(r.report.isEmpty());
    EXPECT_TRUE(r.report.front().startsWith(u("прочитано: точек 1357,")));
    EXPECT_TRUE(QFileInfo::exists(data + QStringLiteral("/urbica.dat")));
    EXPECT_TRUE(QFileInfo::exists(program + QStringLiteral("/urbica.cfg")));
    EXPECT_EQ(addressCheckLine(r), u("адреса, найденные поиском дома: 37 из 37 (100.0%)"));
    EXPECT_TRUE(r.missing.empty());
    EXPECT_EQ(stationsLine(r), u("станции метро (2): Гостиный двор, Невский проспект"));

    const QString other = tmp.filePath(QStringLiteral("other"));
    ASSERT_TRUE(QDir().mkpath(other));
    ASSERT_TRUE(osmtest::writeText(other + QStringLiteral("/notes.txt"), "mine"));
    steps.clear();
    r = importCity({kGostinyDvor, other, QString()}, on);
    EXPECT_TRUE(r.error.contains(u("не пуста"))) << r.error.toStdString();
    EXPECT_TRUE(r.report.isEmpty());
    EXPECT_EQ(steps, QStringList({u("запись")}));
    EXPECT_EQ(QDir(other).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              QStringList({QStringLiteral("notes.txt")}));
}

// The lines of a long station list and of a missed address.
TEST(ImportCity, LongStationListsAreShownByTheirBeginning) {
    CityImportResult r;
    for (int i = 1; i <= 31; ++i) r.stations << QStringLiteral("S%1").arg(i);
    const QString line = stationsLine(r);
    EXPECT_TRUE(line.startsWith(u("станции метро (31): S1, S2,"))) << line.toStdString();
    EXPECT_TRUE(line.endsWith(u("S30, …"))) << line.toStdString();
    EXPECT_EQ(addressCheckLine(CityImportResult{}),
              u("адреса, найденные поиском дома: 0 из 0 (100.0%)"));
    MissingAddress m{u("Садовая"), u("5а"), u("Садовая улица"), {u("5а"), {}, {}}};
    EXPECT_EQ(missingAddressLine(m),
              u("  не найден: Садовая, 5а (улица «Садовая улица», номер «5а»)"));
}
