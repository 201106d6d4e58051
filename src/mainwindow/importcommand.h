// "Карта → Импорт из OpenStreetMap…": an OpenStreetMap file made into a new
// city, which is then opened.
#pragma once

#include <QString>

#include "mainwindow/dialogcommands.h"

namespace urbica {

class MainWindow;

// Runs "importosm"; false for any other name.
bool runImportCommand(MainWindow& w, const QString& name, const MessageFunction& message);

// "Импорт из OpenStreetMap": the file is read by the importer off the user
// interface thread under a progress dialog, written as a new dataset and
// opened, and the importer's summary is shown. Cancel or a failure leaves
// nothing written and the city in use open.
void importOsmCommand(MainWindow& w, const MessageFunction& message);

}  // namespace urbica
