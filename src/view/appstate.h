// Everything the program knows for one run, owned by the application object
// and passed by reference to the routines that need it.
#pragma once

#include <QString>
#include <optional>

#include "dataset/datasource.h"
#include "dataset/displaynames.h"
#include "dataset/fileproblems.h"
#include "dataset/georef.h"
#include "dataset/names.h"
#include "dataset/programfolders.h"
#include "dataset/settings.h"
#include "dataset/tables.h"
#include "draw/labels.h"
#include "view/viewstate.h"

namespace urbica {

struct AppState {
    QString programDirectory;  // without a trailing separator
    ProgramFolders folders;    // the user's files, when not in the program's folder
    Settings settings;
    Catalogue catalogue;
    Tables tables;
    ViewState view;
    ViewHistory history;
    MarksList marksList;
    LabelQueue labels;       // labels queued while the layers are drawn
    int16_t pickActive = 0;  // set while a pick draws an object's parts
    // Data files and decoded names kept between calls; reading through it does
    // not change what the state says, so it may be filled from a const state.
    mutable FileCache files;
    // The damaged data files met since the city was opened, each to be named
    // to the user once; noted from const routines too, like the cache.
    mutable DatasetProblems problems;
    // Where the map lies on the Earth, when the dataset records it.
    std::optional<GeoReference> geo;
    // The whole names of names that lost letters or were cut, when the
    // dataset keeps them (urbica.dnm); shown wherever a name is shown.
    std::shared_ptr<const DisplayNames> displayNames;
    // Where the data came from, when the dataset records it: its notice is
    // drawn on the map.
    std::optional<DataSource> source;

    // The folders of urbica.cfg and of the bookmark files.
    QString settingsFolder() const {
        return folders.settings.isEmpty() ? programDirectory : folders.settings;
    }
    QString bookmarkFolder() const {
        return folders.bookmarks.isEmpty() ? programDirectory : folders.bookmarks;
    }
    // The data folder used when the settings name none.
    QString defaultDataFolder() const {
        const QString demo = folders.perUser() ? installedDemoCity(folders) : QString();
        return demo.isEmpty() ? programDirectory : demo;
    }
    // The folder a read-only file of the program is read from.
    QString programFileFolder(const char* name) const {
        return folderWithFile(programDirectory, folders, name);
    }

    NameContext names() const {
        NameContext ctx{settings.dataDirectory, catalogue, tables, &files, displayNames.get()};
        ctx.problems = &problems;
        return ctx;
    }
};

}  // namespace urbica
