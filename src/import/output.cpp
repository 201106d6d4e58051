#include "output.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdio>
#if defined(__linux__)
#include <fcntl.h>
#endif

#include "dataset/tables.h"
#include "dataset/toolkit.h"

namespace urbica::osmimport {

namespace {
QString u(const char* s) { return QString::fromUtf8(s); }
bool fail(QString* error, const QString& text) {
    if (error) *error = text;
    return false;
}
// Puts the folder at from in the place of the one at to, and the old one at
// from, in one step, so that a program killed on the way leaves one of the
// two datasets in place, never none.
bool exchangeFolders(const QString& from, const QString& to) {
#if defined(__linux__) && defined(RENAME_EXCHANGE)
    return ::renameat2(AT_FDCWD, QFile::encodeName(from).constData(), AT_FDCWD,
                       QFile::encodeName(to).constData(), RENAME_EXCHANGE) == 0;
#else
    Q_UNUSED(from);
    Q_UNUSED(to);
    return false;
#endif
}

// Folders an earlier writer killed on the way left beside the dataset: one
// begun (".NAME-new-XXXXXX") and one the old dataset was moved to
// (".NAME-old-XXXXXX"). When the dataset itself is missing, the old one is
// put back first; then the rest go.
void tidyAfterKilledWriter(const QDir& parent, const QString& name) {
    const QString target = parent.filePath(name);
    const QStringList left = parent.entryList(
        {QStringLiteral(".%1-new-??????").arg(name), QStringLiteral(".%1-old-??????").arg(name)},
        QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot);
    if (!QFileInfo::exists(target))
        for (const QString& l : left)
            if (l.startsWith(QStringLiteral(".%1-old-").arg(name)) &&
                QFileInfo::exists(parent.filePath(l) + u("/") + QLatin1String(kCatalogueFile)) &&
                QDir().rename(parent.filePath(l), target))
                break;
    for (const QString& l : left)
        if (QFileInfo::exists(parent.filePath(l))) QDir(parent.filePath(l)).removeRecursively();
}

}  // namespace

bool writeDatasetSafely(const DatasetData& data, const QString& dir, QString* error,
                        WriterLock* lock, int waitMs, const std::function<void()>& onWait) {
    return writeFolderSafely(
        [&data](const QString& fresh, QString* why) { return writeDataset(data, fresh, why); }, dir,
        error, lock, waitMs, onWait);
}

bool writeFolderSafely(const FolderWrite& write, const QString& dir, QString* error,
                       WriterLock* lock, int waitMs, const std::function<void()>& onWait) {
    const QFileInfo target(QDir::cleanPath(QDir(dir).absolutePath()));
    const QString path = target.absoluteFilePath();
    QDir parent = target.absoluteDir();
    if (!parent.exists() && !QDir().mkpath(parent.absolutePath()))
        return fail(error, u("не удалось создать папку %1").arg(parent.absolutePath()));
    // Everything below, the tidying of what a killed writer left included,
    // is done by one writer at a time.
    WriterLock ownLock;
    if (!lock) lock = &ownLock;
    if (!lock->held() && !lock->acquire(path, waitMs, datasetBusyText(path), error, onWait))
        return false;
    tidyAfterKilledWriter(parent, target.fileName());
    const bool exists = QFileInfo::exists(path);
    if (exists) {
        if (!QFileInfo(path).isDir()) return fail(error, u("%1 — это файл, а не папка").arg(path));
        const QDir old(path);
        const bool empty =
            old.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).isEmpty();
        if (!empty && !old.exists(QString::fromLatin1(kCatalogueFile)))
            return fail(error, u("папка %1 не пуста и не содержит набора данных; укажите новую "
                                 "или пустую папку")
                                   .arg(path));
    }
    QTemporaryDir fresh(parent.filePath(QStringLiteral(".%1-new-XXXXXX").arg(target.fileName())));
    if (!fresh.isValid())
        return fail(
            error,
            u("нельзя писать в папку %1: %2").arg(parent.absolutePath(), fresh.errorString()));
    QString why;
    if (!write(fresh.path(), &why)) return fail(error, u("набор данных не записан: %1").arg(why));

    if (exists && exchangeFolders(fresh.path(), path)) {
        // fresh now holds the old dataset and goes with it.
        return true;
    }
    // Where the file system cannot exchange two folders: the old one aside,
    // the new one in its place.
    QString aside;
    if (exists) {
        QTemporaryDir slot(
            parent.filePath(QStringLiteral(".%1-old-XXXXXX").arg(target.fileName())));
        if (!slot.isValid())
            return fail(error, u("нельзя писать в папку %1").arg(parent.absolutePath()));
        aside = slot.path();
        slot.remove();
        if (!parent.rename(path, aside))
            return fail(error, u("не удалось убрать старую папку %1").arg(path));
    }
    if (!parent.rename(fresh.path(), path)) {
        if (!aside.isEmpty()) parent.rename(aside, path);
        return fail(error, u("не удалось переименовать готовый набор в %1").arg(path));
    }
    fresh.setAutoRemove(false);
    if (!aside.isEmpty()) QDir(aside).removeRecursively();
    return true;
}

bool writeProgramFiles(const QString& programDirectory, const QString& dataDirectory,
                       QString* error) {
    return toolkit::writeProgramFiles(programDirectory, dataDirectory, error, true);
}

}  // namespace urbica::osmimport
