#include "dataset/programfolders.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include "dataset/tables.h"

#ifndef URBICA_DATA_FROM_BIN
#define URBICA_DATA_FROM_BIN "../share/urbica"
#endif

namespace urbica {

namespace {

bool usableFolder(const QString& path) {
    if (path.isEmpty() || !QDir().mkpath(path)) return false;
    const QFileInfo info(path);
    return info.isDir() && info.isWritable();
}

}  // namespace

QString installedDataFolder(const QString& programDirectory) {
    const QString folder =
        QDir::cleanPath(QDir(programDirectory).filePath(QStringLiteral(URBICA_DATA_FROM_BIN)));
    return QFileInfo(folder).isDir() ? folder : QString();
}

ProgramFolders locateProgramFolders(const QString& programDirectory) {
    ProgramFolders f;
    f.installed = installedDataFolder(programDirectory);
    const QFileInfo program(programDirectory);
    // An installed program writes nothing into its folder, even for a user
    // who could: that folder belongs to the system.
    if (f.installed.isEmpty() && program.isDir() && program.isWritable()) return f;
    f.settings = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    f.bookmarks = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    f.userFoldersWritable = usableFolder(f.settings) && usableFolder(f.bookmarks);
    return f;
}

QString folderWithFile(const QString& programDirectory, const ProgramFolders& folders,
                       const char* name) {
    const QString file = QString::fromLatin1(name);
    if (folders.installed.isEmpty() || QFileInfo::exists(QDir(programDirectory).filePath(file)))
        return programDirectory;
    return QFileInfo::exists(QDir(folders.installed).filePath(file)) ? folders.installed
                                                                     : programDirectory;
}

QString installedDemoCity(const ProgramFolders& folders) {
    if (folders.installed.isEmpty()) return QString();
    const QString demo = QDir(folders.installed).filePath(QStringLiteral("demo"));
    return QFileInfo::exists(QDir(demo).filePath(QLatin1String(kCatalogueFile))) ? demo : QString();
}

}  // namespace urbica
