// The ruler of the main window: "Инструменты → Линейка" and its toolbar button.
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>

#include "mainwindow/mainwindow.h"
#include "mainwindow/widgets.h"
#include "view/geoextras.h"

namespace urbica {

double MainWindow::metresPerUnit() const {
    // Map units of both our tools are metres; an imported map says so itself.
    return state_.geo && state_.geo->metresPerUnit > 0 ? state_.geo->metresPerUnit : 1.0;
}

void MainWindow::startRuler() {
    if (navState.pointerMode != kModeNormal) {  // a frame or a pan waiting is given up
        NavContext c = navContext();
        mapKeyPress(c, kKeyEscape);
        navState.pointerMode = kModeNormal;
        navState.frag.visible = false;
        syncNavigation();
    }
    ruler_.start();
    map->setFocus(Qt::OtherFocusReason);
    map->setCursor(Qt::CrossCursor);
    showRulerLength();
}

void MainWindow::stopRuler() {
    if (!ruler_.active) return;
    ruler_.stop();
    map->setCursor(Qt::ArrowCursor);
    map->update();
    selst->clear();
    run_.tickerPaused = 0;
}

void MainWindow::showRulerLength() {
    run_.tickerPaused = 1;
    selst->setTextColor(QColor(200, 0, 120));
    if (ruler_.points.empty()) {
        selst->setText(
            QStringLiteral("Линейка: щёлкните точки на карте; Backspace — убрать "
                           "точку, Esc или правая кнопка — закончить"));
    } else {
        selst->setText(QStringLiteral("Линейка: ") +
                       lengthText(ruler_.metres(metresPerUnit(), true)));
    }
    selst->setCursorPosition(0);
}

bool MainWindow::rulerEvent(QEvent* e) {
    switch (e->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick: {
            auto* me = static_cast<QMouseEvent*>(e);
            if (me->button() == Qt::RightButton) {
                stopRuler();
                return true;
            }
            if (me->button() != Qt::LeftButton) return false;
            map->setFocus(Qt::MouseFocusReason);
            const QPointF p = map->toMapUnits(me->position());
            ruler_.add(p);
            ruler_.pointer = p;
            break;
        }
        case QEvent::MouseButtonRelease:
            return true;
        case QEvent::MouseMove: {
            auto* me = static_cast<QMouseEvent*>(e);
            const QPointF p = map->toMapUnits(me->position());
            if (state_.geo) coordst->setText(coordinateText(*state_.geo, p.x(), p.y()));
            ruler_.pointer = p;
            break;
        }
        case QEvent::KeyPress: {
            auto* ke = static_cast<QKeyEvent*>(e);
            if (ke->key() == Qt::Key_Escape) {
                stopRuler();
                return true;
            }
            if (ke->key() != Qt::Key_Backspace) return false;
            ruler_.removeLast();
            break;
        }
        default:
            return false;
    }
    showRulerLength();
    map->update();
    return true;
}

}  // namespace urbica
