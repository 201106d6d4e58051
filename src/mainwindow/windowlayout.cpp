// The window's size and place: the rectangle kept in the settings applied and
// stored, the smallest size, and the layout of the controls once a resize settles.
#include <QGuiApplication>
#include <QLabel>
#include <QLayout>
#include <QListWidget>
#include <QMenuBar>
#include <QMoveEvent>
#include <QPushButton>
#include <QResizeEvent>
#include <QScreen>
#include <QShowEvent>
#include <QTimer>
#include <QWindow>

#include "mainwindow/layout.h"
#include "mainwindow/mainwindow.h"
#include "mainwindow/widgets.h"
#include "view/redraw.h"

namespace urbica {

void MainWindow::applyStoredRect() {
    const Settings& s = state_.settings;
    const int left = twipsToPixels(s.windowLeft);
    const int top = twipsToPixels(s.windowTop);
    const int width = twipsToPixels(s.windowWidth);
    const int height = twipsToPixels(s.windowHeight);
    // A rectangle no window could have is not applied.
    if (width <= 0 || height <= 0 || width > 20000 || height > 20000) {
        resize(kDesignClientWidth, kDesignClientHeight + menuBar()->sizeHint().height());
        return;
    }
    // A rectangle stored on a larger screen is brought back onto this one.
    const QScreen* screen = QGuiApplication::screenAt(QPoint(left + width / 2, top + height / 2));
    if (!screen) screen = QGuiApplication::primaryScreen();
    const QRect onScreen =
        fitOntoScreen(QRect(QPoint(left, top), snapToMinimumSize(QSize(width, height))),
                      screen ? screen->availableGeometry() : QRect());
    const QSize outer = onScreen.size();
    move(onScreen.topLeft());  // the position of a window is that of its frame
    const QSize frame = frameGeometry().size() - size();
    resize(outer - frame);
    // The desktop's frame is known only once the window is on screen.
    pendingOuterSize_ = frame.isNull() ? outer : QSize();
}

void MainWindow::applyPendingOuterSize() {
    if (!pendingOuterSize_.isValid() || !isVisible()) return;
    const QSize frame = frameGeometry().size() - size();
    if (frame.width() <= 0 && frame.height() <= 0) return;
    const QSize outer = pendingOuterSize_;
    pendingOuterSize_ = QSize();
    resize(outer - frame);
}

void MainWindow::resizeEvent(QResizeEvent* e) {
    QMainWindow::resizeEvent(e);
    applyPendingOuterSize();
    // Nothing is laid out before start-up has finished or while minimised.
    if (isMinimized() || run_.mainLoaded == 0) return;
    // The desktop is told the smallest size too, so that dragging stops there.
    const QSize frame = frameGeometry().size() - size();
    const QSize minimum = QSize(kMinWindowWidth, kMinWindowHeight) - frame;
    if (minimumSize() != minimum) setMinimumSize(minimum);
    const QSize outer = frameGeometry().size();
    const QSize snapped = snapToMinimumSize(outer);
    if (snapped != outer) resize(size() + (snapped - outer));
    run_.resizeCountdown = kResizeTicks;
    resizetimer->start();
}

void MainWindow::moveEvent(QMoveEvent* e) {
    QMainWindow::moveEvent(e);
    applyPendingOuterSize();
}

void MainWindow::showEvent(QShowEvent* e) {
    QMainWindow::showEvent(e);
    // The pictures follow the window to a screen of another pixel density.
    if (QWindow* handle = windowHandle(); handle && !followingScreen_) {
        followingScreen_ = true;
        connect(handle, &QWindow::screenChanged, this, &MainWindow::followScreen);
    }
    followScreen();
    if (!pendingOuterSize_.isValid()) return;
    // Some desktops report the frame only after the window is mapped; a
    // stored size still waiting after a short while is given up, so that it
    // never overrides what the user did with the window.
    QTimer::singleShot(0, this, &MainWindow::applyPendingOuterSize);
    QTimer::singleShot(500, this, [this] {
        applyPendingOuterSize();
        pendingOuterSize_ = QSize();
    });
}

void MainWindow::followScreen() {
    if (run_.mainLoaded == 0 || boxes.map.devicePixelRatio() == devicePixelRatioF()) return;
    if (state_.view.busy || redrawing_) {
        // Drawn again by the layout pass once the picture under way is done.
        run_.resizeCountdown = kResizeTicks;
        resizetimer->start();
        return;
    }
    setPictureRatio(boxes, devicePixelRatioF());
    navState.persistentPicture = true;
    map->setBox(&boxes.map);
    buildOverview();
    redrawView(false);
}

void MainWindow::layoutTick() {
    if (run_.mainLoaded == 0) return;
    if (redrawing_) {
        // A picture is being composed: lay out once it is done.
        run_.resizeCountdown = kResizeTicks;
        resizetimer->start();
        return;
    }
    const int16_t before = run_.resizeCountdown;
    run_.resizeCountdown = int16_t(before - 1);
    if (before != 1) return;
    state_.view.busy = true;
    resizetimer->stop();

    if (QLayout* l = layout()) l->activate();
    const int menuBottom =
        menuWidget() && menuWidget()->isVisible() ? menuWidget()->geometry().bottom() + 1 : 0;
    LayoutInput in;
    in.clientHeight = height() - menuBottom;
    in.toolbarHeight = central_->y() - menuBottom;
    in.outerWidth = width() + kLayoutFrameWidth;
    in.selstHeight = selst->height();
    in.mapLeft = 0;
    in.mapTop = selst->height();
    in.navTop = 0;
    in.findnameHeight = findname->sizeHint().height();
    const int side = sidePanelWidth(in.outerWidth);
    in.navWidth = side;
    in.navHeight = side;  // the overview stays square, the whole frame shown larger
    in.findListWidth = side;
    in.showkeyWidth = (side - kButtonGap) / 2;
    in.findkeyWidth = side - kButtonGap - in.showkeyWidth;
    in.showkeyHeight = showkey->sizeHint().height();
    in.allwindow = state_.settings.allwindow == 1;
    in.viewTop = state_.view.viewTop;
    in.viewWidth = state_.view.viewWidth;
    in.viewHeight = state_.view.viewHeight;
    const LayoutResult r = computeLayout(in);

    map->setGeometry(r.map);
    selst->setGeometry(r.selst);
    if (state_.geo) {
        const int w =
            coordst->fontMetrics().horizontalAdvance(QStringLiteral("-00.000000, -000.000000")) +
            12;
        coordst->setGeometry(r.selst.right() + 1 - w, r.selst.y(), w, r.selst.height());
        selst->setGeometry(r.selst.adjusted(0, 0, -w, 0));
    }
    for (QWidget* w : {static_cast<QWidget*>(nav), static_cast<QWidget*>(showkey),
                       static_cast<QWidget*>(findList), static_cast<QWidget*>(findkey),
                       static_cast<QWidget*>(findname)})
        w->setVisible(r.quickFindVisible);
    sidesplit->setVisible(r.quickFindVisible);
    const bool navResized = nav->size() != r.nav.size();
    if (r.quickFindVisible) {
        sidesplit->setGeometry(r.nav.x() - kSideSplitterReach, 0, kSideSplitterReach + 2,
                               r.map.bottom() + 1);
        sidesplit->raise();
        nav->setGeometry(r.nav);
        findname->setGeometry(r.findname);
        findList->setGeometry(r.findList);
        showkey->setGeometry(r.showkey);
        findkey->setGeometry(r.findkey);
    }
    const bool newRatio = setPictureRatio(boxes, devicePixelRatioF());
    boxes.map.resize(r.map.width(), r.map.height());
    if (newRatio) buildOverview();
    if (r.pageSize.width() > 0 && r.pageSize.height() > 0) {
        boxes.hidepage.resize(r.pageSize.width(), r.pageSize.height());
        boxes.originalpage.resize(r.pageSize.width(), r.pageSize.height());
    }
    state_.view.viewTop = r.viewTop;
    state_.view.viewHeight = r.viewHeight;
    // A widened or narrowed side panel has an overview of another size.
    if (r.quickFindVisible && navResized && run_.mainLoaded != 0) buildOverview();

    redrawView(true);
    state_.view.busy = false;
}

int MainWindow::sidePanelWidth(int outerWidth) const {
    return sidePanelWidthFor(state_.settings.sidePanelWidth, outerWidth);
}

void MainWindow::layoutNow() {
    run_.resizeCountdown = 1;
    layoutTick();
}

void MainWindow::storeWindowRect() {
    QRect outer = frameGeometry();
    if (isMinimized()) {
        // The rectangle the window has when restored, with its frame.
        const QRect inner = geometry();
        const QMargins frame(inner.left() - outer.left(), inner.top() - outer.top(),
                             outer.right() - inner.right(), outer.bottom() - inner.bottom());
        const QRect normal = normalGeometry();
        if (normal.isValid() && !normal.isEmpty()) outer = normal.marginsAdded(frame);
    }
    Settings& s = state_.settings;
    s.windowLeft = pixelsToTwips(outer.x());
    s.windowTop = pixelsToTwips(outer.y());
    s.windowWidth = pixelsToTwips(outer.width());
    s.windowHeight = pixelsToTwips(outer.height());
}

}  // namespace urbica
