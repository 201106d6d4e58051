// The searches inside the real main window: the quick find strip and the
// three menu commands, down to the view, the info line and the marks.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QListWidget>
#include <QTimer>
#include <cmath>

#include "../support/windowhelpers.h"
#include "dataset/settings.h"
#include "guifixture.h"
#include "mainwindow/mainwindow.h"
#include "mainwindow/widgets.h"
#include "search/searchdom.h"
#include "search/searchmetro.h"
#include "search/unifind.h"
#include "view/locate.h"

using namespace urbica;
using namespace urbica::testcity;

namespace {

class SearchWindow : public ::testing::Test {
protected:
    City city;
    AppState state;
    QStringList messages;
    std::unique_ptr<MainWindow> w;

    void SetUp() override {
        Settings s;
        s.aboutshow = 0;
        s.dataDirectory = city.dir.path() + "/";
        QFile f(city.path("urbica.cfg"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(settingsText(s));
        f.close();
        state.programDirectory = city.dir.path();
        MainWindowOptions o = quietWindowOptions<MainWindowOptions>(messages);
        w = std::make_unique<MainWindow>(state, o);
        w->startUp();
        w->resize(800, 600);
        w->show();
        ASSERT_TRUE(waitUntil(
            [this] { return !w->resizetimer->isActive() && state.history.historyPos > 0; }));
    }

    // The view's centre lies on the object's box centre across and within a
    // tenth of its height down (the fitted view sits that much higher).
    void expectCentredOn(int c, int32_t n) {
        ObjectBox box;
        ASSERT_TRUE(namedObjectBox(state, c, n, box));
        const double cx = state.view.viewLeft + state.view.viewWidth / 2;
        const double cy = state.view.viewTop + state.view.viewHeight / 2;
        EXPECT_NEAR(cx, (box.x1 + box.x2) / 2.0, 1.0);
        EXPECT_NEAR(cy, (box.y1 + box.y2) / 2.0, (box.y2 - box.y1) / 10.0 + 1.0);
        EXPECT_LT(state.view.viewWidth, 1000.f);
    }
    QString info() const { return w->selst->text(); }
    std::vector<std::pair<int, int32_t>> marks() const {
        std::vector<std::pair<int, int32_t>> out;
        for (int i = 1; i <= state.marksList.upperBound(); ++i)
            out.push_back({state.marksList.entries[size_t(i)].classNumber,
                           state.marksList.entries[size_t(i)].recordNumber});
        return out;
    }
    // Runs a menu command (or toolbar button) whose modal dialog `drive`
    // works while it is open.
    template <class Dialog>
    void withDialog(const char* command, std::function<void(Dialog&)> drive,
                    bool fromToolbar = false) {
        bool driven = false;
        // Events run while the dialog is made, before it is shown: wait for it.
        QTimer poll;
        poll.setInterval(5);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto* d = qobject_cast<Dialog*>(QApplication::activeModalWidget());
            if (!d || driven) return;
            driven = true;
            drive(*d);
            if (d->isVisible()) d->reject();
        });
        poll.start();
        if (fromToolbar)
            w->fragbarButtonClick(QString::fromLatin1(command));
        else
            w->menuCommand(QString::fromLatin1(command));
        EXPECT_TRUE(driven);
    }
};

}  // namespace

TEST_F(SearchWindow, QuickFindShowsCentresNamesAndMarks) {
    w->findname->setText(u("садов"));
    pressEnter(w->findname);
    ASSERT_EQ(w->findList->count(), 2) << "the pond class is not searchable";
    EXPECT_EQ(w->findList->item(1)->text(), u("Улицы Садовая"));
    w->findList->setCurrentRow(1);
    w->showkey->click();
    expectCentredOn(kStreets, kSadovaya);
    EXPECT_EQ(info(), u("Садовая(Центральный)"));
    EXPECT_EQ(marks(), (std::vector<std::pair<int, int32_t>>{{kStreets, kSadovaya}}));

    // Kept marks grow; without addselfind nothing is added.
    state.settings.remselfind = 0;
    w->findList->setCurrentRow(0);
    pressEnter(w->findList);
    expectCentredOn(kStations, 2);
    EXPECT_EQ(info(), u("Садовая"));
    EXPECT_EQ(marks().size(), 2u);
    state.settings.addselfind = 0;
    w->showkey->click();
    EXPECT_EQ(marks().size(), 2u);
    state.settings.remselfind = 1;
    w->showkey->click();
    EXPECT_TRUE(marks().empty());

    w->findname->setText(u("пруд"));
    w->findkey->click();
    EXPECT_EQ(messages, QStringList({u("Не найдено ни одного объекта")}));
    EXPECT_FALSE(w->showkey->isEnabled());
}

TEST_F(SearchWindow, TypeEnterEnterShowsTheFirstFound) {
    w->findname->setFocus();
    typeInto(w->findname, "садов");
    pressEnter(w->findname);
    ASSERT_EQ(w->focusWidget(), w->findList) << "the list takes the focus";
    pressEnter(w->focusWidget());
    expectCentredOn(kStations, 2);
}

TEST_F(SearchWindow, HouseSearchKeepsItsStateForTheRun) {
    SearchDomDialog* first = nullptr;
    withDialog<SearchDomDialog>("finddom", [&](SearchDomDialog& d) {
        first = &d;
        typeInto(d.findname, "Сад");
        d.domnom->setText(u("12"));
        d.domdrob->setText(u("3"));
        d.findkey->click();
        ASSERT_EQ(d.houses().count(), 1);
        d.showkey->click();
        EXPECT_FALSE(d.isVisible());
    });
    const int32_t house = city.streetHouses[kSadovaya][4];
    expectCentredOn(kHouses, house);
    EXPECT_EQ(info(), u("Садовая д.12/3"));
    EXPECT_EQ(marks(), (std::vector<std::pair<int, int32_t>>{{kHouses, house}}));

    withDialog<SearchDomDialog>("finddom", [&](SearchDomDialog& d) {
        EXPECT_EQ(&d, first) << "the same dialog all run long";
        EXPECT_EQ(d.domdrob->text(), u("3"));
        EXPECT_EQ(d.houses().count(), 1);
    });
    // The toolbar button opens it too.
    withDialog<SearchDomDialog>(
        "finddom", [&](SearchDomDialog& d) { EXPECT_EQ(&d, first); }, true);
}

TEST_F(SearchWindow, MetroAndUniversalSearchFromTheMenu) {
    withDialog<SearchMetroDialog>("searchmetroshem", [](SearchMetroDialog& d) {
        typeInto(d.findname, "Арб");
        pressEnter(d.findname);
    });
    expectCentredOn(kStations, 6);
    EXPECT_EQ(info(), u("Арбатская"));

    withDialog<UnifindDialog>("megasearch", [](UnifindDialog& d) {
        d.findname->setText(u("Павл"));
        d.findkey->click();
        ASSERT_EQ(d.results().count(), 1);
        d.showkey->click();
    });
    expectCentredOn(kStreets, kPavlovskaya);
    EXPECT_EQ(info(), u("Павловская(Центральный)"));
    EXPECT_TRUE(messages.isEmpty());
}
