// Lets a window that has just been shown draw its first picture: events run
// until the view history holds a view and no resize is pending, or until the
// time runs out (the caller checks the history afterwards).
#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>

template <class State, class Window>
void waitForFirstPicture(const State& state, const Window& window, int ms = 3000) {
    QElapsedTimer t;
    t.start();
    while (!(state.history.historyPos >= 1 && !window.resizetimer->isActive()) && t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}
