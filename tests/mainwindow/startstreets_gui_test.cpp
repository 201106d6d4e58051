// The house search's street list at start-up: made on a helper thread while
// the city is read, taken by the house search the start-up loads.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

#include "dataset/names.h"
#include "dataset/settings.h"
#include "democity.h"
#include "mainwindow/mainwindow.h"
#include "mainwindow/searchcommands.h"
#include "search/searchdom.h"

using namespace urbica;

namespace {

// The house search's street list made here from the dataset's own records,
// not by the list code: every street with map objects or houses as
// "name  (district)" with its record number, sorted by the upper-cased text
// with Ё read as Е, equal texts in file order.
std::vector<std::pair<QString, qint64>> streetListOf(const DatasetData& d) {
    const std::vector<NameData>& streets = d.classNames.at(size_t(d.catalogue.streetClass));
    std::vector<std::pair<QString, qint64>> list;
    for (size_t i = 0; i < streets.size(); ++i) {
        const NameData& s = streets[i];
        if (s.mapObjects.empty() && s.parts.empty()) continue;
        const QString parent =
            s.parentClass > 0
                ? d.classNames.at(size_t(s.parentClass)).at(size_t(s.parentRecord - 1)).name
                : QString();
        list.push_back({s.name + QStringLiteral("  (") + parent + QLatin1Char(')'), qint64(i + 1)});
    }
    const auto key = [](const QString& t) { return t.toUpper().replace(u'Ё', u'Е'); };
    std::stable_sort(list.begin(), list.end(),
                     [&](const auto& a, const auto& b) { return key(a.first) < key(b.first); });
    return list;
}

// The program folder's settings: start on the data folder, with the splash
// (which starts the street list's helper thread) or without.
bool writeStartSettings(const QString& program, const QString& data, int splash) {
    Settings s;
    s.dataDirFromSettings = 1;
    s.dataDirectory = data + QLatin1Char('/');
    s.aboutshow = int16_t(splash);
    QFile f(QDir(program).filePath(QStringLiteral("urbica.cfg")));
    return f.open(QIODevice::WriteOnly) && f.write(settingsText(s)) > 0;
}

}  // namespace

// With the splash on, the house search loaded at start-up takes the street
// list a helper thread made while the city was read: the same entries in the
// same order, the first current, as when it reads them itself.
TEST(StartUpStreets, TheHouseSearchGetsTheListAsItWouldReadIt) {
    QTemporaryDir data, program;
    ASSERT_TRUE(data.isValid() && program.isValid());
    QString error;
    const DatasetData city = democity::buildCity({});
    ASSERT_TRUE(writeDataset(city, data.path(), &error)) << error.toStdString();
    const auto expected = streetListOf(city);
    ASSERT_GT(expected.size(), 1u);
    for (const int splash : {1, 0}) {
        SCOPED_TRACE(splash);
        ASSERT_TRUE(writeStartSettings(program.path(), data.path(), splash));
        AppState state;
        state.programDirectory = program.path();
        MainWindowOptions o;
        o.showMessage = [](const QString& t) { ADD_FAILURE() << t.toStdString(); };
        MainWindow window(state, o);
        window.startUp();
        EXPECT_FALSE(window.takeStartStreets()) << "taken or dropped by the start";
        preloadHouseSearch(
            window, [](const QString&) {}, [](int, int32_t) {});
        auto* dialog = window.findChild<SearchDomDialog*>(QStringLiteral("searchdom"));
        ASSERT_NE(dialog, nullptr);
        ListModel& got = dialog->streets();
        ASSERT_EQ(size_t(got.count()), expected.size());
        for (int i = 0; i < got.count(); ++i) {
            EXPECT_EQ(got.text(i), expected[size_t(i)].first) << i;
            EXPECT_EQ(got.itemData(i), expected[size_t(i)].second) << i;
        }
        EXPECT_EQ(got.currentIndex(), 0);
    }
}

// The list the helper thread makes at start-up, taken from the window while
// the start-up is under way (at the message it gives about a damaged
// projection file, after the thread was started): with the splash on it is
// the dataset's street list, with it off there is none.
TEST(StartUpStreets, TheStartUpMakesTheStreetListOfTheDataset) {
    QTemporaryDir data, program;
    ASSERT_TRUE(data.isValid() && program.isValid());
    QString error;
    const DatasetData city = democity::buildCity({});
    ASSERT_TRUE(writeDataset(city, data.path(), &error)) << error.toStdString();
    QFile geo(QDir(data.path()).filePath(QStringLiteral("urbica.geo")));
    ASSERT_TRUE(geo.open(QIODevice::WriteOnly));
    geo.write("not a projection\n");
    geo.close();
    const auto expected = streetListOf(city);
    for (const int splash : {1, 0}) {
        SCOPED_TRACE(splash);
        ASSERT_TRUE(writeStartSettings(program.path(), data.path(), splash));
        AppState state;
        state.programDirectory = program.path();
        MainWindow* window = nullptr;
        int messages = 0;
        std::optional<StreetListEntries> taken;
        MainWindowOptions o;
        o.showMessage = [&](const QString&) {
            if (++messages == 1) taken = window->takeStartStreets();
        };
        MainWindow w(state, o);
        window = &w;
        w.startUp();
        ASSERT_EQ(messages, 1) << "the damaged projection is said once";
        if (splash == 0) {
            EXPECT_FALSE(taken) << "no list made without the splash";
            continue;
        }
        ASSERT_TRUE(taken) << "the start-up made no street list";
        EXPECT_EQ(taken->status, FillStatus::Done);
        ASSERT_EQ(taken->items.size(), expected.size());
        for (size_t i = 0; i < expected.size(); ++i) {
            EXPECT_EQ(taken->items[i].text, expected[i].first) << i;
            EXPECT_EQ(taken->items[i].data, expected[i].second) << i;
        }
    }
}
