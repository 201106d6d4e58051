// What the dialog tests share: the test city, a record of the messages and of
// the objects shown, and a SearchEnv that routes to them.
#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <functional>

#include "search/searchwidgets.h"
#include "searchfixture.h"

namespace urbica::testcity {

struct Shown {
    int classNumber;
    int32_t record;
    bool operator==(const Shown&) const = default;
};

struct GuiCity : City {
    QStringList messages;
    std::vector<Shown> shown;

    SearchEnv env() {
        SearchEnv e;
        e.state = &state;
        e.show = [this](int c, int32_t n) { shown.push_back({c, n}); };
        e.showMessage = [this](const QString& text) { messages << text; };
        e.pumpEvents = [] {};
        return e;
    }
};

inline QStringList listTexts(const ListModel& l) {
    QStringList out;
    for (int i = 0; i < l.count(); ++i) out << l.text(i);
    return out;
}

inline QString currentText(const ListModel& l) {
    return l.currentIndex() < 0 ? QString() : l.text(l.currentIndex());
}

// Types text key by key; Cyrillic letters have no key code of their own.
inline void typeInto(QWidget* w, const char* text) {
    for (QChar c : QString::fromUtf8(text))
        QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
}
// Lets events run until done() holds; false after ms milliseconds.
inline bool waitUntil(const std::function<bool()>& done, int ms = 3000) {
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > ms) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

inline void pressEnter(QWidget* w) { QTest::keyClick(w, Qt::Key_Return); }

}  // namespace urbica::testcity
