#include "mainwindow/citycommands.h"

#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QMenu>
#include <QMenuBar>

#include "dataset/cityfolder.h"
#include "mainwindow/mainwindow.h"

namespace urbica {

namespace {

const char kRecentPrefix[] = "recentcity";
const char kRecentSeparator[] = "recentcities";

QMenu* mapMenu(MainWindow& w) { return w.menuBar()->findChild<QMenu*>(QStringLiteral("karta")); }

QString chooseCityFolder(MainWindow& w) {
    if (w.options().chooseCityFolder) return w.options().chooseCityFolder();
    return QFileDialog::getExistingDirectory(
        &w, QStringLiteral("Открыть город"),
        QDir(platformPath(w.appState().settings.dataDirectory)).absolutePath());
}

}  // namespace

bool runCityCommand(MainWindow& w, const QString& name, const MessageFunction& message) {
    if (name == QLatin1String("opencity")) {
        const QString folder = chooseCityFolder(w);
        if (!folder.isEmpty()) w.openCity(folder);
    } else if (name == QLatin1String("importosm")) {
        importOsmCommand(w, message);
    } else if (name.startsWith(QLatin1String(kRecentPrefix))) {
        const QAction* item = w.menuItem(name);
        if (!item) return false;
        w.openCity(item->data().toString());
    } else {
        return false;
    }
    return true;
}

void showRecentCities(MainWindow& w) {
    QMenu* menu = mapMenu(w);
    if (!menu) return;
    for (QAction* a : menu->actions())
        if (a->objectName().startsWith(QLatin1String(kRecentPrefix)) ||
            a->objectName() == QLatin1String(kRecentSeparator))
            delete a;
    const QStringList cities = readRecentCities(w.appState().programDirectory);
    if (cities.isEmpty()) return;
    // The recent cities follow the import, before the history commands.
    QAction* before = w.menuItem(QStringLiteral("stekdown"));
    for (qsizetype i = 0; i < cities.size(); ++i) {
        const QString name = QStringLiteral("%1%2").arg(QLatin1String(kRecentPrefix)).arg(i + 1);
        auto* a = new QAction(QStringLiteral("&%1 %2").arg(i + 1).arg(
                                  QDir::toNativeSeparators(platformPath(cities[i]))),
                              menu);
        a->setObjectName(name);
        a->setData(cities[i]);
        QObject::connect(a, &QAction::triggered, &w, [&w, name] { w.menuCommand(name); });
        menu->insertAction(before, a);
    }
    QAction* separator = menu->insertSeparator(before);
    separator->setObjectName(QLatin1String(kRecentSeparator));
}

void rememberRecentCity(MainWindow& w, const QString& folder) {
    const QString program = w.appState().programDirectory;
    QString error;
    if (!writeRecentCities(program, withRecentCity(readRecentCities(program), folder), &error))
        qWarning("urbica: the recent cities not saved: %s", qPrintable(error));
    showRecentCities(w);
}

}  // namespace urbica
