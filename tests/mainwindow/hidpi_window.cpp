// The main window on two screens of different pixel density (the offscreen
// platform with two screens side by side, device pixel ratios 1 and 2): the
// map and the overview follow the window's screen, and the rubber band and
// the pan preview leave the stored picture as it was.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <memory>

#include "../view/navfixture.h"
#include "dataset/settings.h"
#include "mainwindow/mainwindow.h"
#include "mainwindow/widgets.h"

using namespace urbica;

namespace {

void waitFor(const std::function<bool()>& done) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

QScreen* screenOfRatio(double ratio) {
    for (QScreen* s : QGuiApplication::screens())
        if (s->devicePixelRatio() == ratio) return s;
    return nullptr;
}

}  // namespace

TEST(HiDpiWindow, PicturesFollowTheScreenAndFeedbackLeavesThemWhole) {
    QScreen* plain = screenOfRatio(1);
    QScreen* dense = screenOfRatio(2);
    ASSERT_TRUE(plain && dense) << "two screens, ratios 1 and 2";
    QTemporaryDir dir;
    QString error;
    ASSERT_TRUE(writeDataset(testcity::city(), dir.path(), &error)) << error.toStdString();
    Settings s;
    s.dataDirectory = dir.path() + QLatin1Char('/');
    s.aboutshow = 0;
    s.asctoclose = 0;
    s.savesizecheck = 0;
    QFile f(dir.filePath(QStringLiteral("urbica.cfg")));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(settingsText(s));
    f.close();
    AppState state;
    state.programDirectory = dir.path();
    MainWindowOptions o;
    o.showMessage = [](const QString&) {};
    o.askYesNo = [](const QString&) { return true; };
    auto w = std::make_unique<MainWindow>(state, o);
    w->startUp();
    w->show();
    waitFor([&] { return state.history.historyPos >= 1 && !w->resizetimer->isActive(); });
    ASSERT_EQ(state.history.historyPos, 1);
    ASSERT_EQ(w->windowHandle()->screen(), plain);
    const QSize inner = w->map->contentsRect().size();
    EXPECT_EQ(w->boxes.map.devicePixelRatio(), 1);
    EXPECT_EQ(w->boxes.map.image().size(), inner);

    // Moved to the dense screen: every picture is drawn again at ratio 2,
    // the view and its history stay.
    const ViewState before = state.view;
    w->windowHandle()->setScreen(dense);
    waitFor([&] { return w->boxes.map.devicePixelRatio() == 2 && !state.view.busy; });
    EXPECT_EQ(w->boxes.map.devicePixelRatio(), 2);
    EXPECT_EQ(w->boxes.map.image().size(), inner * 2);
    EXPECT_EQ(w->boxes.nav.image().size(), w->nav->contentsRect().size() * 2);
    EXPECT_EQ(state.view.viewLeft, before.viewLeft);
    EXPECT_EQ(state.view.unitsPerPixel, before.unitsPerPixel);
    EXPECT_EQ(state.history.historyPos, 1);
    const PictureBox& map = w->boxes.map;
    auto device = [&](double x, double y) {
        return map.image().pixel(int(2 * map.toPixelX(x)), int(2 * map.toPixelY(y))) & 0xFFFFFF;
    };
    EXPECT_EQ(device(1700, 1200), testcity::kAreaFill) << "the district, drawn at ratio 2";

    // A rubber band and a pan preview are drawn over the picture or beside
    // it: the stored picture is not touched, and Esc shows it unchanged.
    const QImage picture = map.image().copy();
    QTest::mousePress(w->map, Qt::RightButton, {}, QPoint(40, 40));
    QTest::mouseMove(w->map, QPoint(120, 90));
    EXPECT_TRUE(w->navState.frag.visible);
    EXPECT_EQ(map.image(), picture);
    QTest::keyClick(w->map, Qt::Key_Escape);
    QTest::mouseRelease(w->map, Qt::RightButton, {}, QPoint(120, 90));
    EXPECT_EQ(map.image(), picture);
    w->menuCommand(QStringLiteral("msdvig"));
    QTest::mousePress(w->map, Qt::LeftButton, {}, QPoint(100, 100));
    QTest::mouseMove(w->map, QPoint(137, 121));
    EXPECT_EQ(w->navState.screen.devicePixelRatio(), 2);
    QTest::keyClick(w->map, Qt::Key_Escape);
    QTest::mouseRelease(w->map, Qt::LeftButton, {}, QPoint(137, 121));
    EXPECT_EQ(w->map->box(), &map);
    EXPECT_EQ(map.image(), picture);

    // Back on the plain screen.
    w->windowHandle()->setScreen(plain);
    waitFor([&] { return w->boxes.map.devicePixelRatio() == 1 && !state.view.busy; });
    EXPECT_EQ(w->boxes.map.image().size(), inner);
    w->close();
}

int main(int argc, char** argv) {
    // Two screens side by side, the right one of twice the density.
    QTemporaryDir dir;
    const QString config = dir.filePath(QStringLiteral("screens.json"));
    QFile f(config);
    if (!f.open(QIODevice::WriteOnly)) return 1;
    f.write(R"({"screens": [
        {"name": "plain", "x": 0, "y": 0, "width": 1600, "height": 1000,
         "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1},
        {"name": "dense", "x": 1600, "y": 0, "width": 1600, "height": 1000,
         "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 2}]})");
    f.close();
    qputenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + config).toLocal8Bit());
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
