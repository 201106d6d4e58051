// Where the program keeps its user's files and finds its own.
//
// A program folder that can be written (a portable copy, the demo set-up)
// holds everything. An installed program, or one whose
// folder cannot be written, keeps the settings file, the recent cities and
// the bookmark files in the user's own folders, and reads the files it was
// installed with (the ticker text, the overview marker, the demo city) from
// its installed data folder when its own folder lacks them.
#pragma once

#include <QString>

namespace urbica {

struct ProgramFolders {
    QString settings;   // urbica.cfg and urbica.recent; empty: the program's folder
    QString bookmarks;  // the bookmark files; empty: the program's folder
    QString installed;  // the installed data folder; empty when there is none
    // The user's folders exist and can be written; always true when they are
    // the program's folder.
    bool userFoldersWritable = true;

    bool perUser() const { return !settings.isEmpty(); }
};

// The installed data folder of a program in programDirectory (share/urbica
// beside its bin folder), or an empty string when it is not there.
QString installedDataFolder(const QString& programDirectory);

// Decides where the files go for a program in programDirectory, and creates
// the user's folders when they are used and missing.
ProgramFolders locateProgramFolders(const QString& programDirectory);

// The folder a read-only program file is read from: the program's folder when
// it has the file, the installed data folder when only that one has it.
QString folderWithFile(const QString& programDirectory, const ProgramFolders& folders,
                       const char* name);

// The folder of the demo city installed with the program, or an empty string
// when it is not installed.
QString installedDemoCity(const ProgramFolders& folders);

}  // namespace urbica
