// A city whose streets are named in the local language and in Russian
// (a crafted extract, imported with the importer): every search finds a
// street and its houses by both names, and a whole address in one line.
// And places of several kinds about one point: the quick find lists the
// nearest of a kind first.
#include <gtest/gtest.h>

#include <QApplication>
#include <QBuffer>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>

#include "../support/windowhelpers.h"
#include "dataset/georef.h"
#include "dataset/kindplaces.h"
#include "dataset/settings.h"
#include "findtool.h"
#include "guifixture.h"
#include "import/cityimport.h"
#include "mainwindow/mainwindow.h"
#include "mainwindow/widgets.h"
#include "search/searchdom.h"
#include "search/unifind.h"
#include "view/locate.h"

using namespace urbica;
using namespace urbica::testcity;

namespace {

class TwoLanguageCity : public ::testing::Test {
protected:
    QTemporaryDir dir;
    AppState state;
    QStringList messages;
    std::unique_ptr<MainWindow> w;

    QString data() const { return dir.path() + QStringLiteral("/data/"); }
    virtual QString extract() const {
        return QStringLiteral(OSM_TEST_DATA "/minsk-two-languages.osm");
    }

    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        const osmimport::CityImportResult imported =
            osmimport::importCity({extract(), data(), QString()});
        ASSERT_TRUE(imported.ok()) << imported.error.toStdString();
        Settings s;
        s.aboutshow = 0;
        s.dataDirFromSettings = 1;
        s.dataDirectory = data();
        QFile f(dir.filePath(QStringLiteral("urbica.cfg")));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(settingsText(s));
        f.close();
        state.programDirectory = dir.path();
        MainWindowOptions o = quietWindowOptions<MainWindowOptions>(messages);
        w = std::make_unique<MainWindow>(state, o);
        w->startUp();
        w->resize(900, 650);
        w->show();
        ASSERT_TRUE(waitUntil([this] {
            return !w->resizetimer->isActive() && state.history.historyPos > 0;
        })) << messages.join(u'|').toStdString();
    }

    QStringList quickFind(const char* text) {
        w->findname->setText(u(text));
        pressEnter(w->findname);
        QStringList out;
        for (int i = 0; i < w->findList->count(); ++i) out << w->findList->item(i)->text();
        return out;
    }

    QStringList finder(QStringList args) {
        QList<QByteArray> raw{"--data", data().toUtf8()};
        for (const QString& a : args) raw << a.toUtf8();
        QByteArray inBytes, outBytes, errBytes;
        QBuffer in(&inBytes), out(&outBytes), err(&errBytes);
        in.open(QIODevice::ReadOnly);
        out.open(QIODevice::WriteOnly);
        err.open(QIODevice::WriteOnly);
        findtool::run(raw, in, out, err);
        QStringList names;
        for (const QString& l : QString::fromUtf8(outBytes).split(u'\n', Qt::SkipEmptyParts))
            names << l.split(u'\t').value(0);
        return names;
    }
};

TEST_F(TwoLanguageCity, TheHouseSearchFindsAStreetByBothNames) {
    Shown shown{};
    SearchEnv env;
    env.state = &state;
    env.show = [&](int c, int32_t n) { shown = {c, n}; };
    env.showMessage = [this](const QString& text) { messages << text; };
    env.pumpEvents = [] {};
    SearchDomDialog dlg(env);
    dlg.show();
    dlg.findmode[1]->click();
    for (const char* name : {"вуліца Кірава", "улица Кирова", "КИРОВА"}) {
        dlg.findname->setText(u(name));
        dlg.findstreetkey->click();
        EXPECT_EQ(listTexts(dlg.foundStreets()), QStringList({u("Улицы Кирова улица")})) << name;
        dlg.domnom->setText(u("5"));
        dlg.findkey->click();
        EXPECT_EQ(listTexts(dlg.houses()), QStringList({u("Кирова улица д.5")})) << name;
    }
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(TwoLanguageCity, TheQuickFindTakesBothNamesAndWholeAddresses) {
    EXPECT_EQ(quickFind("Кірава"), QStringList({u("Улицы Кирова улица")}));
    EXPECT_EQ(quickFind("Незалежнасці"), QStringList({u("Улицы Независимости проспект")}));
    EXPECT_EQ(quickFind("Кастрычніцкая"), QStringList({u("Станции метро Октябрьская")}));
    // A whole address: its house first, then what the names give.
    for (const char* line : {"ул. Кирова, д. 5", "вуліца Кірава 5", "Кирова улица 5",
                             "Минск, улица Кирова 5", "Кирва 5"}) {
        const QStringList found = quickFind(line);
        ASSERT_FALSE(found.isEmpty()) << line;
        EXPECT_EQ(found.front(), u("Кирова улица д.5")) << line;
    }
    EXPECT_EQ(quickFind("Кирова 11к2").value(0), u("Кирова улица д.11 кор.2"));
    // Enter on the list shows the house.
    quickFind("пр-т Независимости 12");
    ASSERT_GT(w->findList->count(), 0);
    EXPECT_EQ(w->focusWidget(), w->findList);
    pressEnter(w->findList);
    EXPECT_TRUE(w->selst->text().startsWith(u("Независимости проспект")))
        << w->selst->text().toStdString();
    EXPECT_TRUE(messages.isEmpty()) << messages.join(u'|').toStdString();
}

TEST_F(TwoLanguageCity, TheFinderTakesBothNames) {
    // The crafted file names no city: the streets hang under "Город".
    EXPECT_EQ(finder({u("text"), u("Кірава")}), QStringList({u("Кирова улица(Город)")}));
    EXPECT_EQ(finder({u("metro"), u("Кастрычніцкая")}), QStringList({u("Октябрьская")}));
    for (const char* line : {"вуліца Кірава, 5", "улица Кирова 5", "ул Кирова д5"})
        EXPECT_EQ(finder({u("address"), u(line)}), QStringList({u("Кирова улица д.5")})) << line;
    EXPECT_EQ(finder({u("house"), u("вуліца Кірава"), u("24")}),
              QStringList({u("Кирова улица д.24/7")}));
}

}  // namespace

class KindsCity : public TwoLanguageCity {
protected:
    QString extract() const override { return QStringLiteral(OSM_TEST_DATA "/kinds-nearby.osm"); }
};

TEST_F(KindsCity, TheQuickFindListsTheNearestOfAKindFirst) {
    // The view's centre on the point the places lie about.
    const std::optional<GeoReference> geo = readGeoReference(data());
    ASSERT_TRUE(geo);
    const QPoint at = geo->toMap(55.75, 37.60);
    state.view.viewLeft = float(at.x() - state.view.viewWidth / 2);
    state.view.viewTop = float(at.y() - state.view.viewHeight / 2);
    const QStringList found = quickFind("аптеки рядом");
    ASSERT_EQ(found.size(), 4) << found.join(u'|').toStdString();
    const QRegularExpression metres(QStringLiteral("^Аптека — 1[12][019] м$"));
    EXPECT_TRUE(metres.match(found[0]).hasMatch()) << found[0].toStdString();
    EXPECT_TRUE(found[1].startsWith(u("Аптека Здоровье — 30"))) << found[1].toStdString();
    EXPECT_TRUE(found[2].startsWith(u("Аптека Ригла — 8"))) << found[2].toStdString();
    EXPECT_EQ(found[3], u("Аптека Дальняя — 1,5 км"));
    // The place without a name is shown and named by its type.
    pressEnter(w->findList);
    EXPECT_EQ(w->selst->text(), u("Аптека"));
    const double cx = state.view.viewLeft + state.view.viewWidth / 2;
    EXPECT_NEAR(cx - at.x(), 120, 2);
    // A place the map shows for its kind alone is drawn as a point of a type named by it.
    ASSERT_FALSE(quickFind("банкомат").isEmpty());
    pressEnter(w->findList);
    EXPECT_EQ(w->selst->text(), u("Банкомат"));
    // A name after the places: the cafe is found by its kind and by its name.
    const QStringList cafes = quickFind("кофейня");
    ASSERT_EQ(cafes.size(), 2) << cafes.join(u'|').toStdString();
    EXPECT_TRUE(cafes[0].startsWith(u("Кафе Кофейня — "))) << cafes[0].toStdString();
    EXPECT_TRUE(cafes[1].endsWith(u("Кофейня"))) << cafes[1].toStdString();
    EXPECT_TRUE(messages.isEmpty()) << messages.join(u'|').toStdString();
}

TEST_F(KindsCity, TheUniversalSearchListsTheNearestOfAKindBeforeTheNames) {
    const std::optional<GeoReference> geo = readGeoReference(data());
    ASSERT_TRUE(geo);
    const QPoint at = geo->toMap(55.75, 37.60);
    state.view.viewLeft = float(at.x() - state.view.viewWidth / 2);
    state.view.viewTop = float(at.y() - state.view.viewHeight / 2);
    SearchEnv env;
    env.state = &state;
    env.showMessage = [this](const QString& text) { messages << text; };
    env.pumpEvents = [] {};
    int shownLayer = 0;
    env.showMapObject = [&](int layer, int32_t) { shownLayer = layer; };
    UnifindDialog dlg(env);
    dlg.findname->setText(u("Банкоматы"));
    dlg.findkey->click();
    const ListModel& found = dlg.results();
    ASSERT_EQ(found.count(), 2);
    EXPECT_TRUE(found.text(0).startsWith(u("Банкомат — 1"))) << found.text(0).toStdString();
    EXPECT_TRUE(found.text(1).startsWith(u("Банкомат — 2"))) << found.text(1).toStdString();
    EXPECT_EQ(found.currentIndex(), 0);
    // A name one typo away, after those found as typed.
    dlg.findname->setText(u("Здоровьк"));
    dlg.findkey->click();
    ASSERT_EQ(found.count(), 1);
    EXPECT_TRUE(found.text(0).endsWith(u("Здоровье")));
    // Shown: a place without a name goes to the map as a map object.
    dlg.findname->setText(u("парковка"));
    dlg.findkey->click();
    ASSERT_EQ(found.count(), 1);
    dlg.showFound();
    EXPECT_GT(shownLayer, 0);
    EXPECT_TRUE(messages.isEmpty()) << messages.join(u'|').toStdString();
}

TEST_F(KindsCity, ADamagedKindsFileIsToldOnceAndTheTypesStandIn) {
    QFile f(data() + QLatin1String(kKindPlacesFile));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("urbica-kinds 1\nnot a line\n");
    f.close();
    ASSERT_TRUE(w->openCity(dir.path() + QStringLiteral("/data")));
    ASSERT_EQ(messages.size(), 1) << messages.join(u'|').toStdString();
    EXPECT_TRUE(messages[0].contains(u("мест по видам"))) << messages[0].toStdString();
    messages.clear();
    EXPECT_EQ(quickFind("аптеки").size(), 4);
    EXPECT_TRUE(messages.isEmpty()) << messages.join(u'|').toStdString();
}
