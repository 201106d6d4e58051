// The window with two cities of one's own: each city's name in the title and
// the recent list, its own bookmarks, the licence notice and the scale bar on
// top, the side panel widened by its handle, the map's mouse and key habits,
// and a dataset written over while it is shown. Driven by mouse and key events.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>

#include "../support/windowhelpers.h"
#include "../view/navfixture.h"
#include "bookmarks/bookmarkdialogs.h"
#include "dataset/datasource.h"
#include "dataset/numbers.h"
#include "dataset/settings.h"
#include "draw/mapnotice.h"
#include "mainwindow/layout.h"
#include "mainwindow/mainwindow.h"
#include "mainwindow/recentcities.h"
#include "mainwindow/widgets.h"

using namespace urbica;

namespace {

// Calls f with the dialog of type Dialog once it is shown (modal: from the event loop).
template <typename Dialog, typename F>
void whenShown(F f) {
    QTimer::singleShot(0, [f] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* d = qobject_cast<Dialog*>(w); d && d->isVisible()) {
                f(d);
                return;
            }
        ADD_FAILURE() << "the dialog did not open";
    });
}

// The test city named in its catalogue, and a second one without a name
// whose district is called otherwise.
DatasetData namedCity() {
    DatasetData d = testcity::city();
    d.catalogue.reserved50 = QStringLiteral("Северск");
    return d;
}
DatasetData otherCity() {
    DatasetData d = testcity::city();
    d.classNames[1][0].name = "Заречный";
    d.catalogue.startX = 2000;
    return d;
}

class CityWindow : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(work_.isValid() && program_.isValid());
        QString error;
        ASSERT_TRUE(writeDataset(namedCity(), first(), &error)) << error.toStdString();
        ASSERT_TRUE(writeDataset(otherCity(), second(), &error)) << error.toStdString();
        Settings s;
        s.dataDirFromSettings = 1;
        s.dataDirectory = first() + QLatin1Char('/');
        s.aboutshow = 0;
        s.asctoclose = 0;
        s.savesizecheck = 1;
        ASSERT_TRUE(writeSettings(s, program_.path()));
        start();
    }

    void start() {
        w_.reset();
        state_ = AppState{};
        state_.programDirectory = program_.path();
        MainWindowOptions o = quietWindowOptions<MainWindowOptions>(messages_);
        w_ = std::make_unique<MainWindow>(state_, o);
        w_->startUp();
        w_->resize(900, 600);
        w_->show();
        settle();
    }

    void settle() {
        QElapsedTimer t;
        t.start();
        do QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        while ((state_.history.historyPos < 1 || w_->resizetimer->isActive()) &&
               t.elapsed() < 3000);
    }

    QString first() const { return QDir(work_.path()).filePath(QStringLiteral("north")); }
    QString second() const { return QDir(work_.path()).filePath(QStringLiteral("zarechye")); }
    MainWindow& w() { return *w_; }
    ViewState& view() { return state_.view; }

    QPoint onMap(double x, double y) {
        const QRect inner = w().map->contentsRect();
        const PictureBox& b = w().boxes.map;
        return QPoint(inner.left() + int((x - b.scaleLeft()) * b.xFactor()),
                      inner.top() + int((y - b.scaleTop()) * b.yFactor()));
    }
    // The drawn part of the map in pixels.
    QSize drawn() {
        return QSize(int(nearest(view().viewWidth / view().unitsPerPixel)),
                     int(nearest(view().viewHeight / view().unitsPerPixel)));
    }

    QStringList bookmarkNames() {
        QStringList names;
        whenShown<BookmarkListDialog>([&names](BookmarkListDialog* d) {
            for (int i = 0; i < d->booklist->count(); ++i)
                names << d->booklist->item(i)->text().trimmed();
            d->cancelkey->click();
        });
        w().fragbarButtonClick(QStringLiteral("bookmark"));
        return names;
    }

    QTemporaryDir work_, program_;
    AppState state_;
    QStringList messages_;
    std::unique_ptr<MainWindow> w_;
};

}  // namespace

TEST_F(CityWindow, TitleAndRecentListNameTheCitiesUnderTheTwoCommands) {
    EXPECT_EQ(w().windowTitle(), QStringLiteral("Urbica — Северск"));
    ASSERT_TRUE(w().openCity(second()));
    EXPECT_EQ(w().windowTitle(), QStringLiteral("Urbica — zarechye")) << "no name: the folder's";

    // The menu opened and walked with the keys: the two commands first, then
    // the cities by name, the newest first, the city of the start included.
    QMenu* karta = w().menuBar()->findChild<QMenu*>(QStringLiteral("karta"));
    ASSERT_NE(karta, nullptr);
    karta->popup(w().mapToGlobal(QPoint(10, 10)));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(karta));
    const QList<QAction*> items = karta->actions();
    ASSERT_GE(items.size(), 6);
    EXPECT_EQ(items[0]->objectName(), QStringLiteral("opencity"));
    EXPECT_EQ(items[1]->objectName(), QStringLiteral("importosm"));
    EXPECT_TRUE(items[2]->isSeparator());
    EXPECT_EQ(items[3]->text(), QStringLiteral("&1 zarechye"));
    EXPECT_EQ(items[3]->toolTip(), QDir::toNativeSeparators(second()));
    EXPECT_EQ(items[4]->text(), QStringLiteral("&2 Северск"));
    EXPECT_EQ(items[4]->toolTip(), QDir::toNativeSeparators(first()));
    for (int i = 0; i < 4; ++i) QTest::keyClick(karta, Qt::Key_Down);  // the separator is skipped
    EXPECT_EQ(karta->activeAction(), items[4]);
    QTest::keyClick(karta, Qt::Key_Return);
    settle();
    EXPECT_EQ(w().windowTitle(), QStringLiteral("Urbica — Северск"));
    EXPECT_EQ(RecentCities::read(program_.path()).folders(),
              (QStringList{QDir::cleanPath(first()), QDir::cleanPath(second())}));
}

TEST_F(CityWindow, BookmarksAreOfferedInTheirCityOnlyAndOlderOnesKept) {
    // A bookmark of the file all cities shared before this version, in both frames.
    BookmarkRecord old;
    old.name = QStringLiteral("Старая");
    old.left = 1000;
    old.top = 1000;
    old.width = 2000;
    const QString shared = bookmarkFilePath(program_.path(), QString());
    ASSERT_TRUE(appendBookmark(shared, old));
    const QByteArray sharedBytes = [&] {
        QFile f(shared);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();

    whenShown<InputStringDialog>([](InputStringDialog* d) {
        QTest::keyClicks(d->inptext, "Vokzal");
        QTest::keyClick(d->inptext, Qt::Key_Return);
    });
    w().menuCommand(QStringLiteral("addzakl"));
    EXPECT_EQ(bookmarkNames(), (QStringList{QStringLiteral("Старая"), QStringLiteral("Vokzal")}));

    ASSERT_TRUE(w().openCity(second()));
    EXPECT_EQ(bookmarkNames(), QStringList{QStringLiteral("Старая")})
        << "the other city's bookmark is not offered";
    ASSERT_TRUE(w().openCity(first()));
    EXPECT_EQ(bookmarkNames(), (QStringList{QStringLiteral("Старая"), QStringLiteral("Vokzal")}));
    QFile f(shared);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), sharedBytes) << "the older file is never changed";
    EXPECT_TRUE(messages_.isEmpty()) << messages_.join(u'\n').toStdString();
}

TEST_F(CityWindow, ScaleBarAndNoticeOverAPickAndTheSidePanelWidened) {
    // The city says where its data come from: the notice shows in the corner.
    {
        QFile src(QDir(first()).filePath(QLatin1String(kDataSourceFile)));
        ASSERT_TRUE(src.open(QIODevice::WriteOnly));
        src.write(encodeDataSource(openStreetMapSource()));
    }
    ASSERT_TRUE(w().openCity(first()));
    ASSERT_TRUE(state_.source.has_value());
    // The district (1000..2000) fills the lower-left corner, under the scale bar.
    const float upp = 2;
    view().viewLeft = 990;
    view().viewWidth = float(upp * (w().boxes.map.width() - 4));
    view().viewTop = float(1990 - upp * (w().boxes.map.height() - 4));
    w().redrawView(true);
    const QSize part = drawn();
    const QRgb barBefore = w().boxes.map.image().pixel(30, part.height() - 10) & 0xFFFFFF;
    EXPECT_EQ(barBefore, 0u) << "the bar";
    const QRect notice =
        mapNoticeRect(w().boxes.map, state_.source->notice, part.width(), part.height());
    ASSERT_FALSE(notice.isEmpty());
    EXPECT_EQ(w().boxes.map.image().pixel(notice.topRight()) & 0xFFFFFF, 0xFFFFFFu);

    QTest::mouseClick(w().map, Qt::LeftButton, {}, onMap(1200, 1800));
    ASSERT_EQ(w().selst->text(), QStringLiteral("Районы Центральный"));
    const QImage& shown = w().boxes.map.image();
    EXPECT_EQ(shown.pixel(200, part.height() - 60) & 0xFFFFFF, testcity::kHighlight);
    EXPECT_EQ(shown.pixel(30, part.height() - 10) & 0xFFFFFF, 0u) << "the bar over the highlight";

    // The handle left of the overview, dragged 100 pixels to the left.
    const int navWidth = w().nav->width(), mapWidth = w().map->width();
    ASSERT_EQ(navWidth, kNavSize);
    ASSERT_TRUE(w().sidesplit->isVisible());
    // The handle follows the pointer, so each position is given from the screen's.
    SideSplitter* handle = w().sidesplit;
    const QPoint grip = handle->mapToGlobal(QPoint(handle->width() / 2, 100));
    auto at = [handle](QPoint global) { return handle->mapFromGlobal(global); };
    QTest::mousePress(handle, Qt::LeftButton, {}, at(grip));
    QTest::mouseMove(handle, at(grip - QPoint(60, 0)));
    EXPECT_EQ(w().nav->width(), navWidth) << "laid out on release";
    QTest::mouseMove(handle, at(grip - QPoint(100, 0)));
    QTest::mouseRelease(handle, Qt::LeftButton, {}, at(grip - QPoint(100, 0)));
    settle();
    EXPECT_EQ(w().nav->width(), navWidth + 100);
    EXPECT_EQ(w().findList->width(), navWidth + 100);
    EXPECT_EQ(w().map->width(), mapWidth - 100);
    EXPECT_EQ(w().boxes.nav.width(), navWidth + 100) << "the overview drawn for its new size";
    EXPECT_EQ(w().nav->height(), navWidth + 100) << "and square";
    EXPECT_EQ(w().findname->y(), w().nav->y() + w().nav->height() + 4);
    EXPECT_EQ(state_.settings.sidePanelWidth, navWidth + 100);

    // Kept with the window's size and place, and there again at the next start.
    ASSERT_TRUE(w().closeRequested(true));
    Settings read;
    ASSERT_TRUE(readSettings(read, program_.path()));
    EXPECT_EQ(read.sidePanelWidth, navWidth + 100);
    start();
    w().resize(1000, 600);
    settle();
    EXPECT_EQ(w().nav->width(), navWidth + 100);
}

TEST_F(CityWindow, LeftDragPansPlusMinusAndTheWheelZoomBackAndForth) {
    const float left = view().viewLeft, top = view().viewTop, width = view().viewWidth;
    const float upp = view().unitsPerPixel;
    // A left drag in the normal mode pans as "Сдвинуть" does.
    const QPoint a(150, 120), b(190, 150);
    QTest::mousePress(w().map, Qt::LeftButton, {}, a);
    QTest::mouseMove(w().map, a + QPoint(2, 1));
    EXPECT_EQ(w().navState.pointerMode, kModeNormal);
    QTest::mouseMove(w().map, b);
    EXPECT_EQ(w().navState.pointerMode, kModePanning);
    QTest::mouseRelease(w().map, Qt::LeftButton, {}, b);
    EXPECT_NEAR(view().viewLeft, left - 40 * upp, upp / 2);
    EXPECT_NEAR(view().viewTop, top - 30 * upp, upp / 2);
    EXPECT_EQ(state_.history.historyPos, 2);

    // "+" and "-" on the map, the keypad's and Ctrl with them anywhere, about the centre.
    auto centre = [this] {
        return QPointF(view().viewLeft + view().viewWidth / 2.0,
                       view().viewTop + view().viewHeight / 2.0);
    };
    const QPointF c0 = centre();
    w().map->setFocus();
    QTest::keyClick(w().map, Qt::Key_Plus);
    EXPECT_FLOAT_EQ(view().viewWidth, width / 2);
    EXPECT_NEAR(centre().x(), c0.x(), 0.5);
    EXPECT_NEAR(centre().y(), c0.y(), 0.5);
    QTest::keyClick(w().map, Qt::Key_Minus, Qt::KeypadModifier);
    EXPECT_FLOAT_EQ(view().viewWidth, width);
    QTest::keyClick(w().map, Qt::Key_Plus, Qt::KeypadModifier);
    EXPECT_FLOAT_EQ(view().viewWidth, width / 2);
    w().findname->setFocus();
    QTest::keyClick(w().findname, Qt::Key_Minus, Qt::ControlModifier);
    EXPECT_FLOAT_EQ(view().viewWidth, width);
    QTest::keyClick(w().findname, Qt::Key_Equal, Qt::ControlModifier);
    EXPECT_FLOAT_EQ(view().viewWidth, width / 2);
    EXPECT_NEAR(centre().x(), c0.x(), 0.5);
    EXPECT_TRUE(w().findname->text().isEmpty()) << "nothing typed";

    // A notch out undoes a notch in.
    const float before = view().viewWidth;
    const QPoint at(100, 80);
    for (int delta : {120, -120}) {
        QWheelEvent e(at, w().map->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(w().map, &e);
    }
    EXPECT_FLOAT_EQ(view().viewWidth, before);
}

TEST_F(CityWindow, DatasetWrittenOverWhileShownIsReadAgain) {
    view().viewLeft = 1500;
    view().viewWidth = 3000;
    w().redrawView(true);
    const int pos = state_.history.historyPos;
    const QImage before = w().nav->picture().copy();
    // Another dataset put in the folder's place, as the importer does.
    DatasetData d = otherCity();
    d.catalogue.reserved50 = QStringLiteral("Новый Северск");
    d.tables.types[1].fillColor = 0x00FFFF;
    const QString fresh = QDir(work_.path()).filePath(QStringLiteral("fresh"));
    ASSERT_TRUE(writeDataset(d, fresh));
    ASSERT_TRUE(QDir(first()).removeRecursively());
    ASSERT_TRUE(QDir().rename(fresh, first()));
    QElapsedTimer t;
    t.start();
    while (state_.catalogue.startX != 2000 && t.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_EQ(state_.catalogue.startX, 2000) << "the catalogue read again";
    EXPECT_EQ(w().windowTitle(), QStringLiteral("Urbica — Новый Северск"));
    EXPECT_EQ(state_.tables.types[1].fillColor, 0x00FFFF) << "and the tables";
    EXPECT_NE(w().nav->picture(), before) << "and the overview";
    EXPECT_FLOAT_EQ(view().viewLeft, 1500) << "the view stays";
    EXPECT_EQ(state_.history.historyPos, pos);
    w().findname->setText(QStringLiteral("Заречный"));
    w().findkey->click();
    EXPECT_EQ(w().findList->count(), 1) << "the names of the new dataset are searched";
}
