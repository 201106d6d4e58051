// Everything the program knows for one run, owned by the application object
// and passed by reference to the routines that need it.
#pragma once

#include <QString>

#include "dataset/settings.h"
#include "dataset/tables.h"
#include "view/viewstate.h"

namespace urbica {

struct AppState {
    QString programDirectory;  // without a trailing separator
    Settings settings;
    Catalogue catalogue;
    Tables tables;
    ViewState view;
    ViewHistory history;
    MarksList marksList;
};

}  // namespace urbica
