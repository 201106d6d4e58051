// The city commands of the "Карта" menu: open a city's folder, the cities
// opened last, and the import of an OpenStreetMap file into a new city.
#pragma once

#include <QString>

#include "mainwindow/dialogcommands.h"

namespace urbica {

class MainWindow;

// Runs "opencity", "importosm" and the recent cities "recentcity1" ..
// "recentcity5"; false for any other name.
bool runCityCommand(MainWindow& w, const QString& name, const MessageFunction& message);

// Lists the recent cities of urbica.recent in the "Карта" menu.
void showRecentCities(MainWindow& w);
// Puts the folder first in urbica.recent and in the menu.
void rememberRecentCity(MainWindow& w, const QString& folder);

// "Импорт из OpenStreetMap": the file is read by the importer off the user
// interface thread under a progress dialog, written as a new dataset and
// opened, and the importer's summary is shown. Cancel or a failure leaves
// nothing written and the city in use open.
void importOsmCommand(MainWindow& w, const MessageFunction& message);

}  // namespace urbica
