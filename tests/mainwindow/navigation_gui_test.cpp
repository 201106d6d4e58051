// The map and the overview driven through their widgets: real mouse, key and
// wheel events on the offscreen platform.
#include <gtest/gtest.h>
#include <qpa/qwindowsysteminterface.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QWheelEvent>
#include <QWindow>
#include <cmath>
#include <memory>

#include "../support/firstpicture.h"
#include "../view/navfixture.h"
#include "dataset/numbers.h"
#include "dataset/settings.h"
#include "mainwindow/mainwindow.h"
#include "mainwindow/widgets.h"
#include "view/redraw.h"

using namespace urbica;

namespace {

class MapWindow : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        QString error;
        ASSERT_TRUE(writeDataset(testcity::city(), dir_.path(), &error)) << error.toStdString();
        Settings s;
        s.dataDirectory = dir_.path() + QLatin1Char('/');
        s.aboutshow = 0;
        s.asctoclose = 0;
        s.savesizecheck = 0;
        QFile f(dir_.filePath(QStringLiteral("urbica.cfg")));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(settingsText(s));
        f.close();
        state_.programDirectory = dir_.path();
        MainWindowOptions o;
        o.showMessage = [this](const QString& t) { messages_ << t; };
        o.askYesNo = [](const QString&) { return true; };
        o.openUrl = [this](const QUrl& u) { urls_ << u; };
        w_ = std::make_unique<MainWindow>(state_, o);
        w_->startUp();
        w_->show();
        waitForFirstPicture(state_, *w_);
        ASSERT_EQ(state_.history.historyPos, 1);
    }

    MainWindow& w() { return *w_; }
    ViewState& view() { return state_.view; }

    // The widget pixel of a map point.
    QPoint onMap(double x, double y) {
        const QRect inner = w().map->contentsRect();
        const PictureBox& b = w().boxes.map;
        return QPoint(inner.left() + int((x - b.scaleLeft()) * b.xFactor()),
                      inner.top() + int((y - b.scaleTop()) * b.yFactor()));
    }
    QPoint onNav(double x, double y) {
        const QRect inner = w().nav->contentsRect();
        const PictureBox& b = w().boxes.nav;
        return QPoint(inner.left() + int((x - b.scaleLeft()) * b.xFactor()),
                      inner.top() + int((y - b.scaleTop()) * b.yFactor()));
    }
    QPointF mapUnits(QPoint p) { return w().map->toMapUnits(p); }
    QRgb mapPixel(double x, double y) {
        const QPoint p = onMap(x, y) - w().map->contentsRect().topLeft();
        return w().boxes.map.image().pixel(p) & 0xFFFFFF;
    }
    void showView(float left, float top, float width) {
        view().viewLeft = left;
        view().viewTop = top;
        view().viewWidth = width;
        w().redrawView(true);
    }
    void wheel(QPoint at, int delta) {
        QWheelEvent e(at, w().map->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(w().map, &e);
    }

    QTemporaryDir dir_;
    AppState state_;
    std::unique_ptr<MainWindow> w_;
    QStringList messages_;
    QList<QUrl> urls_;
};

}  // namespace

TEST_F(MapWindow, PanByDragMovesTheViewAndAddsOneEntry) {
    const float left = view().viewLeft, top = view().viewTop, upp = view().unitsPerPixel;
    w().fragbarButtonClick(QStringLiteral("moved"));
    EXPECT_EQ(w().map->cursor().shape(), Qt::SizeAllCursor);
    const QPoint a(100, 100), b(160, 130);
    QTest::mousePress(w().map, Qt::LeftButton, {}, a);
    QTest::mouseMove(w().map, QPoint(130, 120));
    EXPECT_EQ(w().map->box(), &w().navState.screen) << "the preview is not stored";
    QTest::mouseMove(w().map, b);
    QTest::mouseRelease(w().map, Qt::LeftButton, {}, b);
    EXPECT_EQ(state_.history.historyPos, 2);
    EXPECT_NEAR(view().viewLeft, left - 60 * upp, upp / 2);
    EXPECT_NEAR(view().viewTop, top - 30 * upp, upp / 2);
    EXPECT_EQ(w().map->box(), &w().boxes.map);
    EXPECT_EQ(w().navState.pointerMode, kModeNormal);
}

TEST_F(MapWindow, PanOfOnePixelChangesNothing) {
    const float left = view().viewLeft, top = view().viewTop;
    w().menuCommand(QStringLiteral("msdvig"));
    QTest::mousePress(w().map, Qt::LeftButton, {}, QPoint(100, 100));
    QTest::mouseMove(w().map, QPoint(101, 99));
    QTest::mouseRelease(w().map, Qt::LeftButton, {}, QPoint(101, 99));
    EXPECT_EQ(state_.history.historyPos, 1);
    EXPECT_EQ(view().viewLeft, left);
    EXPECT_EQ(view().viewTop, top);
    EXPECT_EQ(w().map->box(), &w().boxes.map) << "the unshifted picture is shown again";
}

TEST_F(MapWindow, EscDuringAPanPreviewRestoresThePicture) {
    const QImage picture = w().boxes.map.image();
    const float left = view().viewLeft;
    w().menuCommand(QStringLiteral("msdvig"));
    QTest::mousePress(w().map, Qt::LeftButton, {}, QPoint(100, 100));
    QTest::mouseMove(w().map, QPoint(150, 140));
    EXPECT_NE(w().navState.screen.image(), picture);
    QTest::keyClick(w().map, Qt::Key_Escape);
    EXPECT_EQ(w().map->box(), &w().boxes.map);
    EXPECT_EQ(w().boxes.map.image(), picture);
    QTest::mouseRelease(w().map, Qt::LeftButton, {}, QPoint(150, 140));
    EXPECT_EQ(view().viewLeft, left);
    EXPECT_EQ(state_.history.historyPos, 1);
}

TEST_F(MapWindow, RightDragZoomsIntoTheFrame) {
    const QPoint a(60, 50), b(160, 120);
    const QPointF ma = mapUnits(a), mb = mapUnits(b);
    QTest::mousePress(w().map, Qt::RightButton, {}, a);
    QTest::mouseMove(w().map, b);
    EXPECT_TRUE(w().navState.frag.visible);
    QTest::mouseRelease(w().map, Qt::RightButton, {}, b);
    EXPECT_EQ(state_.history.historyPos, 2);
    EXPECT_FALSE(w().navState.frag.visible);
    EXPECT_NEAR(view().viewLeft, ma.x(), 0.01);
    EXPECT_NEAR(view().viewTop, ma.y(), 0.01);
    // The horizontal pull dominates here: the width is the drag's.
    EXPECT_NEAR(view().viewWidth, mb.x() - ma.x(), 0.01);
}

TEST_F(MapWindow, PlusAndMinusResizeTheFrameAndEnterApplies) {
    w().fragbarButtonClick(QStringLiteral("fragment"));
    ASSERT_EQ(w().navState.pointerMode, kModeFrameShown);
    const double width = w().navState.frag.width, w40 = view().viewWidth / 40;
    QTest::keyClick(w().map, Qt::Key_Plus);
    QTest::keyClick(w().map, Qt::Key_Plus);
    EXPECT_NEAR(w().navState.frag.width, width + 2 * w40, 1e-3);
    QTest::keyClick(w().map, Qt::Key_Minus);
    EXPECT_NEAR(w().navState.frag.width, width + w40, 1e-3);
    const QPointF centre(w().navState.frag.left + w().navState.frag.width / 2,
                         w().navState.frag.top + w().navState.frag.height / 2);
    QTest::keyClick(w().map, Qt::Key_Return);
    EXPECT_EQ(state_.history.historyPos, 2);
    EXPECT_NEAR(view().viewLeft + view().viewWidth / 2, centre.x(), 0.5);
}

TEST_F(MapWindow, DoubleClickInTheFrameZooms) {
    w().menuCommand(QStringLiteral("fragment"));
    const FrameShape f = w().navState.frag;
    const QPoint inside = onMap(f.left + f.width / 2, f.top + f.height / 2);
    QTest::mouseDClick(w().map, Qt::LeftButton, {}, inside);
    EXPECT_EQ(w().navState.pointerMode, kModeNormal);
    EXPECT_EQ(state_.history.historyPos, 2);
}

TEST_F(MapWindow, HistoryButtonsFollowBackAndForward) {
    QAction* back = w().fragbarButton(7);
    QAction* forward = w().fragbarButton(8);
    EXPECT_FALSE(back->isEnabled());
    EXPECT_FALSE(forward->isEnabled());
    const float width = view().viewWidth;
    w().fragbarButton(2)->trigger();  // "Ближе"
    EXPECT_FLOAT_EQ(view().viewWidth, width - float(nearestInt(width) / 2));
    EXPECT_TRUE(back->isEnabled());
    EXPECT_FALSE(forward->isEnabled());
    back->trigger();
    EXPECT_FLOAT_EQ(view().viewWidth, width);
    EXPECT_FALSE(back->isEnabled());
    EXPECT_TRUE(forward->isEnabled());
    EXPECT_TRUE(w().menuItem(QStringLiteral("stekup"))->isEnabled());
    forward->trigger();
    EXPECT_FALSE(forward->isEnabled());
    EXPECT_EQ(state_.history.upperBound(), 2);
    w().fragbarButton(6)->trigger();  // "В начало"
    EXPECT_EQ(state_.history.historyPos, 3);
    EXPECT_FLOAT_EQ(view().viewLeft, 1000);
}

TEST_F(MapWindow, PickNamesAndHighlightsHoverOffClearsWithoutRedraw) {
    QTest::mouseClick(w().map, Qt::LeftButton, {}, onMap(1200, 1200));
    EXPECT_EQ(w().selst->text(), QStringLiteral("Районы Центральный"));
    EXPECT_EQ(w().selst->palette().color(QPalette::Text), QColor(255, 0, 0));
    EXPECT_EQ(w().runState().tickerPaused, 1);
    EXPECT_EQ(mapPixel(1200, 1200), testcity::kHighlight);
    EXPECT_EQ(mapPixel(2750, 1250), testcity::kHighlight) << "its part, the park";
    const qint64 composed = w().boxes.hidepage.image().cacheKey();
    QTest::mouseMove(w().map, onMap(1900, 1900));
    EXPECT_FALSE(w().selst->text().isEmpty()) << "still over it";
    QTest::mouseMove(w().map, onMap(2200, 1200));
    EXPECT_TRUE(w().selst->text().isEmpty());
    EXPECT_EQ(w().runState().tickerPaused, 0);
    EXPECT_EQ(mapPixel(2750, 1250), testcity::kAreaFill);
    EXPECT_EQ(w().boxes.hidepage.image().cacheKey(), composed) << "no redraw";
    EXPECT_EQ(state_.history.historyPos, 1);
}

TEST_F(MapWindow, PickTakesTheLayerFirstInSelectionOrder) {
    QTest::mouseClick(w().map, Qt::LeftButton, {}, onMap(1500, 1500));
    EXPECT_TRUE(w().selst->text().startsWith(QStringLiteral("Покрытие")))
        << w().selst->text().toStdString();
    state_.tables.selectOrder = {0, 1, 3, 2};
    QTest::mouseClick(w().map, Qt::LeftButton, {}, onMap(1500, 1500));
    EXPECT_EQ(w().selst->text(), QStringLiteral("Районы Центральный"));
}

TEST_F(MapWindow, ToMetroWithinRangeAndBeyond) {
    showView(1500, 1125, 1000);
    const double cx = view().viewLeft + view().viewWidth / 2.0;
    const double cy = view().viewTop + view().viewHeight / 2.0;
    const int pos = state_.history.historyPos;
    w().fragbarButtonClick(QStringLiteral("tometro"));
    EXPECT_EQ(state_.history.historyPos, pos + 1);
    EXPECT_NEAR(view().viewLeft + view().viewWidth / 2.0, cx, 0.01);
    EXPECT_NEAR(view().viewTop + view().viewHeight / 2.0, cy, 0.01);
    EXPECT_LT(view().viewLeft, 500) << "the station is in view";
    EXPECT_GT(view().viewTop + view().viewHeight, 2500);

    showView(7000, 5000, 2000);
    const ViewState before = view();
    const int pos2 = state_.history.historyPos;
    w().menuCommand(QStringLiteral("tosubway"));
    EXPECT_EQ(state_.history.historyPos, pos2);
    EXPECT_EQ(view().viewLeft, before.viewLeft);
    EXPECT_EQ(view().viewWidth, before.viewWidth);
}

TEST_F(MapWindow, WheelZoomKeepsThePointUnderThePointer) {
    const QPoint at(80, 60);
    const QPointF before = mapUnits(at);
    const float width = view().viewWidth;
    wheel(at, 120);
    EXPECT_FLOAT_EQ(view().viewWidth, width / 2);
    QPointF after = mapUnits(at);
    EXPECT_NEAR(after.x(), before.x(), 0.01);
    EXPECT_NEAR(after.y(), before.y(), 0.01);
    wheel(at, -120);
    EXPECT_FLOAT_EQ(view().viewWidth, width) << "a notch out undoes a notch in";
    after = mapUnits(at);
    EXPECT_NEAR(after.x(), before.x(), 0.01);
    EXPECT_EQ(state_.history.historyPos, 3);
}

TEST_F(MapWindow, ArrowKeysPanByATenth) {
    const float left = view().viewLeft, top = view().viewTop;
    QTest::keyClick(w().map, Qt::Key_Right);
    EXPECT_FLOAT_EQ(view().viewLeft, left + view().viewWidth / 10);
    QTest::keyClick(w().map, Qt::Key_Down);
    EXPECT_FLOAT_EQ(view().viewTop, top + view().viewHeight / 10);
    EXPECT_EQ(state_.history.historyPos, 3);
}

TEST_F(MapWindow, OverviewFrameIsDraggedAndRedrawn) {
    const FrameShape f = w().boxes.navfrag;
    const float width = view().viewWidth;
    const QPoint a = onNav(f.left + f.width / 2, f.top + f.height / 2);
    QTest::mouseMove(w().nav, a);
    EXPECT_EQ(w().nav->cursor().shape(), Qt::SizeAllCursor);
    QTest::mousePress(w().nav, Qt::LeftButton, {}, a);
    QTest::mouseMove(w().nav, a + QPoint(20, 10));
    QTest::mouseRelease(w().nav, Qt::LeftButton, {}, a + QPoint(20, 10));
    const double navUnits = 1 / w().boxes.nav.xFactor();
    EXPECT_NEAR(view().viewLeft, f.left + 20 * navUnits, 1);
    EXPECT_FLOAT_EQ(view().viewWidth, width);
    EXPECT_EQ(state_.history.historyPos, 2);
    // A new rectangle drawn with the right button.
    QTest::mousePress(w().nav, Qt::RightButton, {}, QPoint(120, 120));
    QTest::mouseMove(w().nav, QPoint(150, 130));
    EXPECT_TRUE(w().navState.nfrag.visible);
    QTest::mouseRelease(w().nav, Qt::RightButton, {}, QPoint(150, 130));
    EXPECT_FALSE(w().navState.nfrag.visible);
    EXPECT_NEAR(view().viewWidth, 30 * navUnits, 1);
    EXPECT_EQ(state_.history.historyPos, 3);
}

TEST_F(MapWindow, InputDuringARedrawIsDropped) {
    view().busy = true;
    const float left = view().viewLeft;
    QTest::mouseClick(w().map, Qt::LeftButton, {}, onMap(1200, 1200));
    QTest::keyClick(w().map, Qt::Key_Right);
    w().fragbarButton(2)->trigger();
    w().menuCommand(QStringLiteral("fowmap"));
    view().busy = false;
    EXPECT_TRUE(w().selst->text().isEmpty() ||
                !w().selst->text().contains(QStringLiteral("Районы")));
    EXPECT_EQ(view().viewLeft, left);
    EXPECT_EQ(state_.history.historyPos, 1);
}

TEST_F(MapWindow, InputArrivingDuringARealRedrawIsDropped) {
    w().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w()));
    w().findname->setFocus();
    const float left = view().viewLeft;
    const int pos = state_.history.historyPos;
    QWidget* zoomIn = w().fragbar->widgetForAction(w().fragbarButton(2));
    ASSERT_NE(zoomIn, nullptr);
    QWindow* window = w().windowHandle();
    ASSERT_NE(window, nullptr);
    bool busyWhenSent = false;
    // Fires in the redraw's first pump: the window system queues a pick on the
    // map, a toolbar click and a letter for the quick-find box, as a user's
    // input arrives while the picture is drawn.
    QTimer::singleShot(0, [&] {
        busyWhenSent = view().busy;
        using Queue = QWindowSystemInterface;
        auto click = [&](QWidget* target, QPoint at) {
            const QPointF local = target->mapTo(&w(), at);
            const QPointF global = target->mapToGlobal(at);
            Queue::handleMouseEvent<Queue::AsynchronousDelivery>(
                window, local, global, Qt::LeftButton, Qt::LeftButton, QEvent::MouseButtonPress);
            Queue::handleMouseEvent<Queue::AsynchronousDelivery>(
                window, local, global, Qt::NoButton, Qt::LeftButton, QEvent::MouseButtonRelease);
        };
        click(w().map, onMap(1200, 1200));
        click(zoomIn, zoomIn->rect().center());
        for (QEvent::Type t : {QEvent::KeyPress, QEvent::KeyRelease})
            Queue::handleKeyEvent<Queue::AsynchronousDelivery>(window, t, Qt::Key_A, Qt::NoModifier,
                                                               QStringLiteral("a"));
    });
    w().redrawView(false);
    QTest::qWait(50);  // anything held back would be replayed now
    EXPECT_TRUE(busyWhenSent) << "sent while the redraw ran";
    EXPECT_FALSE(w().selst->text().contains(QStringLiteral("Центральный")));
    EXPECT_EQ(view().viewLeft, left);
    EXPECT_EQ(state_.history.historyPos, pos);
    EXPECT_TRUE(w().findname->text().isEmpty());
    // The same input after the redraw is taken: the test would see it.
    QTest::keyClick(w().findname, Qt::Key_A);
    EXPECT_EQ(w().findname->text(), QStringLiteral("a"));
}

TEST_F(MapWindow, RulerMeasuresClickedPointsWithoutARedraw) {
    const QImage picture = w().boxes.map.image();
    const int pos = state_.history.historyPos;
    w().fragbarButton(14)->trigger();
    ASSERT_TRUE(w().ruler().active);
    EXPECT_TRUE(w().selst->text().startsWith(QStringLiteral("Линейка")));
    // Three points 300 and 400 map units apart (metres), at the pixels they fall on.
    const std::vector<QPointF> at{{1000, 1000}, {1300, 1000}, {1300, 1400}};
    for (QPointF p : at) QTest::mouseClick(w().map, Qt::LeftButton, {}, onMap(p.x(), p.y()));
    ASSERT_EQ(w().ruler().points.size(), 3u);
    double expected = 0;
    for (size_t i = 1; i < 3; ++i)
        expected += std::hypot(w().ruler().points[i].x() - w().ruler().points[i - 1].x(),
                               w().ruler().points[i].y() - w().ruler().points[i - 1].y());
    EXPECT_NEAR(expected, 700, 2 * (1 / w().boxes.map.xFactor())) << "within a pixel each way";
    EXPECT_EQ(w().selst->text(), QStringLiteral("Линейка: ") + lengthText(expected));
    EXPECT_TRUE(w().selst->text().endsWith(QStringLiteral(" м")));
    // Backspace takes the last point back; Esc ends; the picture was never redrawn.
    QTest::keyClick(w().map, Qt::Key_Backspace);
    EXPECT_EQ(w().ruler().points.size(), 2u);
    QTest::keyClick(w().map, Qt::Key_Escape);
    EXPECT_FALSE(w().ruler().active);
    EXPECT_EQ(state_.history.historyPos, pos);
    EXPECT_EQ(w().boxes.map.image(), picture);
    // A right click ends it as well; a left click then picks again.
    w().menuItem(QStringLiteral("ruler"))->trigger();
    QTest::mouseClick(w().map, Qt::LeftButton, {}, onMap(1000, 1000));
    QTest::mouseClick(w().map, Qt::RightButton, {}, onMap(1000, 1000));
    EXPECT_FALSE(w().ruler().active);
}

TEST_F(MapWindow, QuickFindListFillsWhileTyping) {
    w().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w()));
    w().findname->setFocus();
    for (QChar c : QStringLiteral("Центр"))
        QTest::sendKeyEvent(QTest::Click, w().findname, Qt::Key_unknown, QString(c),
                            Qt::NoModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return w().findList->count() > 0; }, 2000));
    EXPECT_TRUE(w().findList->item(0)->text().contains(QStringLiteral("Центральный")));
    EXPECT_EQ(QApplication::focusWidget(), w().findname) << "typing goes on";
    EXPECT_TRUE(messages_.isEmpty());
}

TEST_F(MapWindow, AnotherCityIsOpenedAndAFolderWithoutOneRefused) {
    // A second city: its own start view and a park of its own name.
    QTemporaryDir second;
    DatasetData d = testcity::city();
    d.catalogue.startX = 2000;
    d.catalogue.startWidth = 2000;
    d.classNames[2][0].name = "Сквер Героев";
    QString error;
    ASSERT_TRUE(writeDataset(d, second.path(), &error)) << error.toStdString();
    QTemporaryDir empty;
    QFile(empty.filePath(QStringLiteral("urbica.dat"))).open(QIODevice::WriteOnly);

    // Not a map: refused by name, and the city in use stays as it was.
    w().findname->setText(QStringLiteral("Парк"));
    QTest::keyClick(w().findname, Qt::Key_Return);
    ASSERT_GT(w().findList->count(), 0);
    messages_.clear();
    EXPECT_FALSE(w().openCity(empty.path()));
    ASSERT_EQ(messages_.size(), 1);
    EXPECT_TRUE(messages_[0].contains(QStringLiteral("urbica.sls"))) << messages_[0].toStdString();
    EXPECT_TRUE(messages_[0].contains(QStringLiteral("прежняя карта")));
    EXPECT_EQ(state_.settings.dataDirectory, dir_.path() + QLatin1Char('/'));
    EXPECT_GT(w().findList->count(), 0);

    // The second city: start view, history and marks anew, the search finds its names.
    state_.marksList.add({1, 1});
    ASSERT_TRUE(w().openCity(second.path())) << messages_.join(u'\n').toStdString();
    EXPECT_EQ(state_.settings.dataDirectory, second.path() + QLatin1Char('/'));
    EXPECT_EQ(view().viewLeft, 2000);
    EXPECT_EQ(state_.history.historyPos, 1);
    EXPECT_EQ(state_.history.upperBound(), 1);
    EXPECT_EQ(state_.marksList.upperBound(), 0);
    EXPECT_EQ(w().findList->count(), 0);
    w().findname->setText(QStringLiteral("Сквер"));
    QTest::keyClick(w().findname, Qt::Key_Return);
    ASSERT_EQ(w().findList->count(), 1);
    EXPECT_TRUE(w().findList->item(0)->text().contains(QStringLiteral("Сквер Героев")));

    // Listed in the menu, the newest first; the first city opens again from there.
    ASSERT_TRUE(w().openCity(dir_.path()));
    QMenu* karta = w().menuBar()->findChild<QMenu*>(QStringLiteral("karta"));
    ASSERT_NE(karta, nullptr);
    QMetaObject::invokeMethod(karta, "aboutToShow");
    QAction* first = karta->findChild<QAction*>(QStringLiteral("recentcity1"));
    QAction* next = karta->findChild<QAction*>(QStringLiteral("recentcity2"));
    ASSERT_TRUE(first && next);
    EXPECT_EQ(first->toolTip(), QDir::toNativeSeparators(QDir::cleanPath(dir_.path())));
    next->trigger();
    EXPECT_EQ(state_.settings.dataDirectory, second.path() + QLatin1Char('/'));
    EXPECT_EQ(view().viewLeft, 2000);
}

TEST_F(MapWindow, CtrlVPansEvenFromTheQuickFindBox) {
    w().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w()));
    w().findname->setFocus();
    QGuiApplication::clipboard()->setText(QStringLiteral("Садовая"));
    QTest::keyClick(w().findname, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(w().navState.pointerMode, kModePanArmed) << "the menu shortcut wins";
    EXPECT_TRUE(w().findname->text().isEmpty());
    QTest::keyClick(w().findname, Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(w().findname->text(), QStringLiteral("Садовая")) << "Shift+Insert still pastes";
}

TEST_F(MapWindow, InfoLineClickShowsTheAdvertisedObjectWhenThereIsOne) {
    // The advertised object does not exist in this city: the view stays.
    const float left = view().viewLeft;
    w().showAdvertisedObject();
    EXPECT_EQ(view().viewLeft, left);
    EXPECT_TRUE(w().showNamedObject(1, 1));
    EXPECT_EQ(w().selst->text(), QStringLiteral("Центральный"));
    EXPECT_EQ(state_.history.historyPos, 2);
    EXPECT_EQ(mapPixel(1200, 1200), testcity::kHighlight);
}
