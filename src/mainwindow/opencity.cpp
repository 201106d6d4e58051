// "Карта → Открыть город…": another dataset folder taken into the running
// window as at start-up, and the list of the cities opened last.
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <cmath>
#include <future>
#include <system_error>

#include "dataset/cityname.h"
#include "dataset/datafile.h"
#include "dataset/datasetstamp.h"
#include "dataset/names.h"
#include "dataset/settings.h"
#include "dataset/tables.h"
#include "mainwindow/mainwindow.h"
#include "mainwindow/recentcities.h"
#include "mainwindow/searchcommands.h"
#include "mainwindow/widgets.h"
#include "search/searchdom.h"
#include "view/geoextras.h"
#include "view/navigation.h"

namespace urbica {

namespace {

QString folderWithSeparator(const QString& folder) {
    QString dir = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    if (!dir.endsWith(u'/')) dir += u'/';
    return dir;
}

}  // namespace

// Start-up and "Открыть город" load a city through here.
void MainWindow::loadCity() {
    Settings& s = state_.settings;
    state_.view.busy = true;
    state_.problems.clear();  // the new city's damaged files are named anew
    if (!readCatalogue(s, state_.catalogue, state_.tables)) {
        message(noDataMessage());
    } else {
        // The house search loaded at start-up gets its street list from a
        // helper thread, made while the rest of the city is read and drawn.
        if (streetsAhead_) {
            try {
                startStreets_ = std::async(
                    std::launch::async, [data = s.dataDirectory, catalogue = state_.catalogue,
                                         tables = state_.tables, problems = &state_.problems] {
                        FileCache files;
                        const NameContext ctx{data, catalogue, tables, &files, nullptr, problems};
                        return streetListEntries(ctx, true);
                    });
            } catch (const std::system_error&) {
                // No thread to be had: the house search reads its streets itself.
            }
        }
        // Classes whose objects cannot be told apart in the lists are named once here.
        const QString keys = checkClassKeys({s.dataDirectory, state_.catalogue, state_.tables});
        if (!keys.isEmpty()) message(keys);
        // A damaged projection and other-names file are named in one message.
        if (const QStringList extras = readDatasetExtras(state_); !extras.isEmpty())
            message(extras.join(u'\n'));
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
    cityStamp_ = datasetStamp(s.dataDirectory);
    showCityInTitle();
}

QString MainWindow::titleFor(const QString& city) {
    return city.isEmpty() ? QStringLiteral("Urbica") : QStringLiteral("Urbica — %1").arg(city);
}

void MainWindow::showCityInTitle() {
    setWindowTitle(titleFor(state_.catalogue.gridExtent != 0
                                ? cityName(state_.catalogue, state_.settings.dataDirectory)
                                : QString()));
}

QString MainWindow::cityProblem(const QString& folder, Catalogue& catalogue, Tables& tables,
                                Settings& settings) const {
    const QFileInfo info(folder);
    if (!info.isDir())
        return QStringLiteral("Папка %1 не найдена.").arg(QDir::toNativeSeparators(folder));
    const QString dir = folderWithSeparator(folder);
    // The catalogue and the tables every picture needs, by name.
    QStringList missing;
    for (const char* name : {kCatalogueFile, kLayerFile, kDrawOrderFile, kSelectOrderFile,
                             kTypeFile, kClassFile, kClassExtraFile})
        if (!QFileInfo(dir + QLatin1String(name)).isReadable()) missing << QLatin1String(name);
    if (!missing.isEmpty())
        return QStringLiteral("В папке %1 нет карты города: не хватает файлов %2.")
            .arg(QDir::toNativeSeparators(folder), missing.join(QStringLiteral(", ")));
    settings = state_.settings;
    settings.dataDirectory = dir;
    if (!readCatalogue(settings, catalogue, tables) || tables.layerCount() < 1 ||
        catalogue.gridExtent <= 0)
        return QStringLiteral("Каталог карты в папке %1 повреждён и не читается.")
            .arg(QDir::toNativeSeparators(folder));
    return {};
}

bool MainWindow::openCity(const QString& folder) {
    if (state_.view.busy || redrawing_) return false;
    Catalogue catalogue;
    Tables tables;
    Settings settings;
    const QString problem = cityProblem(folder, catalogue, tables, settings);
    if (!problem.isEmpty()) {
        message(problem + QStringLiteral(" Открытой остаётся прежняя карта."));
        return false;
    }
    takeCity(settings, catalogue, tables, false);
    rememberCity(state_.settings.dataDirectory);
    return true;
}

void MainWindow::takeCity(const Settings& settings, const Catalogue& catalogue,
                          const Tables& tables, bool keepView) {
    const ViewState view = state_.view;
    const ViewHistory history = state_.history;
    stopRuler();
    // Nothing of the old city is kept: its files, lists, marks, history and
    // dialogs; a city read again keeps only where the user was.
    state_.files.setEnabled(false);
    state_.files.setEnabled(true);
    state_.settings = settings;
    state_.settings.dataDirFromSettings = 1;
    state_.catalogue = catalogue;
    state_.tables = tables;
    state_.geo.reset();
    state_.source.reset();
    state_.history = ViewHistory{};
    state_.marksList.clear();
    navState.pick = PickResult{};
    navState.pointerMode = kModeNormal;
    navState.frag.visible = false;
    navState.persistentPicture = true;
    navState.leftPressPending = false;
    if (auto* dialog =
            findChild<SearchDomDialog*>(QStringLiteral("searchdom"), Qt::FindDirectChildrenOnly))
        delete dialog;  // made again for the new streets on first use
    findList->clear();
    showkey->setEnabled(false);
    selst->clear();
    run_.tickerPaused = 0;

    loadCity();
    coordst->clear();
    if (keepView) {
        state_.view.viewLeft = view.viewLeft;
        state_.view.viewTop = view.viewTop;
        state_.view.viewWidth = view.viewWidth;
        state_.history = history;
    }
    redrawView(!keepView);
    updateHistoryButtons();
}

void MainWindow::checkCityOnDisk() {
    if (state_.view.busy || redrawing_ || ruler_.active || run_.mainLoaded == 0 ||
        property(kImportRunningProperty).toBool() || QApplication::activeModalWidget())
        return;
    const DatasetStamp now = datasetStamp(state_.settings.dataDirectory);
    if (now == cityStamp_) return;
    Catalogue catalogue;
    Tables tables;
    Settings settings;
    // A folder gone or holding no map now is left as shown, and not read
    // again until it changes once more.
    if (!cityProblem(platformPath(state_.settings.dataDirectory), catalogue, tables, settings)
             .isEmpty()) {
        cityStamp_ = now;
        return;
    }
    takeCity(settings, catalogue, tables, true);
}

void MainWindow::openCityCommand() {
    const QString folder = options_.chooseCityFolder
                               ? options_.chooseCityFolder()
                               : QFileDialog::getExistingDirectory(
                                     this, QStringLiteral("Открыть город: папка с картой"),
                                     state_.settings.dataDirectory);
    if (!folder.isEmpty()) openCity(folder);
}

void MainWindow::rememberCity(const QString& folder) {
    // A folder that cannot be written keeps no list.
    RecentCities::remember(state_.settingsFolder(), QDir::cleanPath(folder));
}

void MainWindow::fillRecentCities(QMenu* menu) {
    for (QAction* a : recentActions_) {
        menu->removeAction(a);
        delete a;
    }
    recentActions_.clear();
    const QStringList cities = RecentCities::read(state_.settingsFolder()).folders();
    // Listed under the two commands "Открыть город…" and "Импорт из
    // OpenStreetMap…", set off by a separator, by the cities' names; the
    // folder is the tooltip.
    const QList<QAction*> items = menu->actions();
    QAction* before = items.value(items.indexOf(menuItem(QStringLiteral("importosm"))) + 1);
    menu->setToolTipsVisible(true);
    if (!cities.isEmpty()) {
        QAction* separator = menu->insertSeparator(before);
        separator->setObjectName(QStringLiteral("recentseparator"));
        recentActions_ << separator;
    }
    int n = 0;
    for (const QString& folder : cities) {
        QString name = cityNameOfFolder(folder);
        name.replace(u'&', QStringLiteral("&&"));
        auto* a = new QAction(QStringLiteral("&%1 %2").arg(++n).arg(name), menu);
        a->setToolTip(QDir::toNativeSeparators(folder));
        a->setObjectName(QStringLiteral("recentcity%1").arg(n));
        connect(a, &QAction::triggered, this, [this, folder] { openCity(folder); });
        menu->insertAction(before, a);
        recentActions_ << a;
    }
}

std::optional<StreetListEntries> MainWindow::takeStartStreets() {
    if (!startStreets_.valid()) return std::nullopt;
    return startStreets_.get();
}

}  // namespace urbica
