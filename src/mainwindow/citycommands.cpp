#include "mainwindow/citycommands.h"

#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <cmath>

#include "dataset/cityfolder.h"
#include "dataset/names.h"
#include "dataset/tables.h"
#include "mainwindow/mainwindow.h"
#include "mainwindow/searchcommands.h"
#include "mainwindow/widgets.h"
#include "view/geoextras.h"
#include "view/navigation.h"

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

// Start-up and "Открыть город" load a city through here.
void MainWindow::loadCity() {
    Settings& s = state_.settings;
    state_.view.busy = true;
    if (!readCatalogue(s, state_.catalogue, state_.tables)) {
        message(noDataMessage());
    } else {
        // Classes whose objects cannot be told apart in the lists are named once here.
        const QString keys = checkClassKeys({s.dataDirectory, state_.catalogue, state_.tables});
        if (!keys.isEmpty()) message(keys);
        for (const QString& problem : readDatasetExtras(state_)) message(problem);
    }
    coordst->setVisible(state_.geo.has_value());
    readIconTable(s.dataDirectory, state_.tables);
    buildOverview();

    map->setBackground(colorFromRgbValue(s.mapBackColor));
    boxes.map.backColor = s.mapBackColor;
    boxes.map.cls();
    QFont f = map->font();
    if (std::isfinite(s.labelFontSize) && s.labelFontSize > 0 && s.labelFontSize < 500)
        f.setPointSizeF(s.labelFontSize);
    f.setBold(s.labelFontBold == 1);
    map->setFont(f);

    // Help pages are built in; nothing to register beyond the owner window.

    state_.view.viewLeft = float(state_.catalogue.startX);
    state_.view.viewTop = float(state_.catalogue.startY);
    state_.view.viewWidth = float(state_.catalogue.startWidth);
    state_.view.busy = false;
}

void MainWindow::useCityFolder(const QString& folder) {
    Settings& s = state_.settings;
    s.dataDirFromSettings = 1;
    s.dataDirectory = cityDirectory(folder);
    s.line17Text = s.dataDirectory;
    rememberRecentCity(*this, s.dataDirectory);
}

bool MainWindow::openCity(const QString& folder) {
    const QString problem = cityFolderProblem(folder);
    if (!problem.isEmpty()) {
        message(problem);
        return false;
    }
    useCityFolder(folder);
    // Nothing of the old city is kept: its files, views, marks and picks.
    state_.files.clear();
    state_.history = ViewHistory{};
    state_.marksList.clear();
    state_.geo.reset();
    navState.pointerMode = kModeNormal;
    navState.persistentPicture = true;
    navState.navMode = 0;
    navState.frag.visible = false;
    navState.nfrag.visible = false;
    navState.pick = PickResult{};
    map->setBox(&boxes.map);
    syncNavigation();
    findname->clear();
    findList->clear();
    dropHouseSearch(*this);
    loadCity();
    if (state_.settings.aboutshow == 1)
        preloadHouseSearch(
            *this, [this](const QString& text) { message(text); },
            [this](int c, int32_t n) { showNamedObject(c, n); });
    updateHistoryButtons();
    layoutNow();
    return true;
}

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
