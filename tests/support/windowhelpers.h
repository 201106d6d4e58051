// What the window tests share: a main window's options that collect its
// messages, answer every question yes and open no browser; and the entries
// the quick find lists for a text.
#pragma once

#include <QStringList>
#include <QUrl>

template <class Options>
Options quietWindowOptions(QStringList& said) {
    Options o;
    o.showMessage = [&said](const QString& text) { said << text; };
    o.askYesNo = [](const QString&) { return true; };
    o.openUrl = [](const QUrl&) {};
    return o;
}

template <class Window>
QStringList quickFindEntries(Window& w, const QString& text) {
    w.findname->setText(text);
    w.findkey->click();
    QStringList found;
    for (int i = 0; i < w.findList->count(); ++i) found << w.findList->item(i)->text();
    return found;
}
