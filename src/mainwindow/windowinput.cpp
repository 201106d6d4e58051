// The input of the main window: the map's and the overview's pointer and
// keys, the help key in the menus, and the input dropped while a redraw runs.
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QWheelEvent>

#include "mainwindow/help.h"
#include "mainwindow/mainwindow.h"
#include "mainwindow/widgets.h"
#include "view/geoextras.h"
#include "view/navigation.h"

namespace urbica {

namespace {

// Input that a running redraw drops.
bool isUserInput(QEvent::Type t) {
    switch (t) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::Wheel:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
            return true;
        default:
            return false;
    }
}

bool toMouseButton(Qt::MouseButton b, MouseButton& out) {
    switch (b) {
        case Qt::LeftButton:
            out = MouseButton::Left;
            return true;
        case Qt::RightButton:
            out = MouseButton::Right;
            return true;
        case Qt::MiddleButton:
            out = MouseButton::Middle;
            return true;
        default:
            return false;
    }
}

// The character code of the map's key press handler, or 0.
int keyCode(const QKeyEvent* e) {
    switch (e->key()) {
        case Qt::Key_Escape:
            return kKeyEscape;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return kKeyEnter;
        case Qt::Key_Plus:
            return '+';
        case Qt::Key_Minus:
            return '-';
        default:
            break;
    }
    const QString t = e->text();
    if (t == QLatin1String("+") || t == QLatin1String("-")) return t.at(0).unicode();
    return 0;
}

void setPointer(QWidget* w, PointerShape shape) {
    if (shape == PointerShape::SizeAll) {
        if (!w->testAttribute(Qt::WA_SetCursor) || w->cursor().shape() != Qt::SizeAllCursor)
            w->setCursor(Qt::SizeAllCursor);
    } else if (w->testAttribute(Qt::WA_SetCursor)) {
        w->unsetCursor();
    }
}

}  // namespace

void MainWindow::syncNavigation() {
    map->setBox(navState.persistentPicture ? &boxes.map : &navState.screen);
    setPointer(map, navState.mapPointer);
    setPointer(nav, navState.navPointer);
    map->update();
    nav->update();
}

bool MainWindow::mapEvent(QEvent* e) {
    if (ruler_.active && rulerEvent(e)) return true;
    switch (e->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove: {
            auto* me = static_cast<QMouseEvent*>(e);
            const QPointF p = map->toMapUnits(me->position());
            if (e->type() == QEvent::MouseMove) {
                if (state_.geo) coordst->setText(coordinateText(*state_.geo, p.x(), p.y()));
                const bool quiet = navState.pointerMode == kModeNormal && navState.pick.found != 1;
                NavContext c = navContext();
                mapMouseMove(c, p.x(), p.y());
                if (quiet)
                    setPointer(map, navState.mapPointer);  // nothing on the map changed
                else
                    syncNavigation();
                return true;
            }
            MouseButton b;
            if (!toMouseButton(me->button(), b)) return false;
            if (e->type() == QEvent::MouseButtonPress) {
                map->setFocus(Qt::MouseFocusReason);
                viewCommand([&](NavContext& c) { mapMouseDown(c, b, p.x(), p.y()); });
            } else if (e->type() == QEvent::MouseButtonRelease) {
                viewCommand([&](NavContext& c) { mapMouseUp(c, b, p.x(), p.y()); });
            } else {
                viewCommand([](NavContext& c) { mapDoubleClick(c); });
            }
            return true;
        }
        case QEvent::KeyPress: {
            auto* ke = static_cast<QKeyEvent*>(e);
            int dx = 0, dy = 0;
            switch (ke->key()) {
                case Qt::Key_Left:
                    dx = -1;
                    break;
                case Qt::Key_Right:
                    dx = 1;
                    break;
                case Qt::Key_Up:
                    dy = -1;
                    break;
                case Qt::Key_Down:
                    dy = 1;
                    break;
                default:
                    break;
            }
            if (dx != 0 || dy != 0) {
                viewCommand([&](NavContext& c) { arrowPan(c, dx, dy); });
                return true;
            }
            const int key = keyCode(ke);
            if (key == 0) return false;
            if (state_.view.busy) return true;
            NavContext c = navContext();
            mapKeyPress(c, key);
            syncNavigation();
            return true;
        }
        case QEvent::Wheel: {
            auto* we = static_cast<QWheelEvent*>(e);
            const QPointF p = map->toMapUnits(we->position());
            const int delta = we->angleDelta().y();
            viewCommand([&](NavContext& c) { wheelZoom(c, p.x(), p.y(), delta); });
            return true;
        }
        default:
            return false;
    }
}

bool MainWindow::navEvent(QEvent* e) {
    switch (e->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseMove: {
            auto* me = static_cast<QMouseEvent*>(e);
            const QPointF p = nav->toMapUnits(me->position());
            if (e->type() == QEvent::MouseMove) {
                NavContext c = navContext();
                navMouseMove(c, p.x(), p.y());
                setPointer(nav, navState.navPointer);
                if (navState.navMode != 0) nav->update();
                return true;
            }
            MouseButton b;
            if (!toMouseButton(me->button(), b)) return false;
            if (e->type() == QEvent::MouseButtonPress) {
                nav->setFocus(Qt::MouseFocusReason);
                viewCommand([&](NavContext& c) { navMouseDown(c, b, p.x(), p.y()); });
            } else {
                viewCommand([&](NavContext& c) { navMouseUp(c, b, p.x(), p.y()); });
            }
            return true;
        }
        case QEvent::KeyPress: {
            const int key = keyCode(static_cast<QKeyEvent*>(e));
            if (key != kKeyEscape) return false;
            NavContext c = navContext();
            navKeyPress(c, key);
            syncNavigation();
            return true;
        }
        default:
            return false;
    }
}

bool MainWindow::eventFilter(QObject* watched, QEvent* e) {
    // While a redraw, the start-up or a layout pass runs, the pointer, the
    // keyboard and the toolbar are not listened to: what arrives meanwhile is
    // dropped (the redraw lets it in for that), so that no redraw is entered
    // twice and nothing is replayed after it. Only a modal window opened
    // meanwhile (a message box) keeps its input.
    if (state_.view.busy && isUserInput(e->type()) && watched->isWidgetType()) {
        const QWidget* modal = QApplication::activeModalWidget();
        if (!modal || static_cast<QWidget*>(watched)->window() != modal) return true;
    }
    if (watched == map) return mapEvent(e) || QMainWindow::eventFilter(watched, e);
    if (watched == nav) return navEvent(e) || QMainWindow::eventFilter(watched, e);
    // Ctrl+V is "Сдвинуть" also while the quick-find box has the focus, where
    // it would paste; paste stays on Shift+Insert and the box's context menu.
    if (watched == findname && e->type() == QEvent::ShortcutOverride &&
        static_cast<QKeyEvent*>(e)->keyCombination() ==
            QKeyCombination(Qt::ControlModifier, Qt::Key_V)) {
        e->ignore();
        return true;
    }
    if (e->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(e)->key() == Qt::Key_F1) {
        if (auto* menu = qobject_cast<QMenu*>(watched)) {
            int topic = 0;
            if (QAction* a = menu->activeAction()) topic = a->property(kHelpTopicProperty).toInt();
            if (topic == 0) topic = menu->property(kHelpTopicProperty).toInt();
            if (topic == 0) topic = kGeneralHelpTopic;
            menu->hide();
            showHelp(topic);
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, e);
}

}  // namespace urbica
