#include "output.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include "dataset/tables.h"
#include "toolkit.h"

namespace urbica::osmimport {

namespace {
QString u(const char* s) { return QString::fromUtf8(s); }
bool fail(QString* error, const QString& text) {
    if (error) *error = text;
    return false;
}
}  // namespace

bool writeDatasetSafely(const DatasetData& data, const QString& dir, QString* error) {
    const QFileInfo target(QDir::cleanPath(QDir(dir).absolutePath()));
    const QString path = target.absoluteFilePath();
    QDir parent = target.absoluteDir();
    if (!parent.exists() && !QDir().mkpath(parent.absolutePath()))
        return fail(error, u("не удалось создать папку %1").arg(parent.absolutePath()));
    const bool exists = target.exists();
    if (exists) {
        if (!target.isDir()) return fail(error, u("%1 — это файл, а не папка").arg(path));
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
    if (!writeDataset(data, fresh.path(), &why))
        return fail(error, u("набор данных не записан: %1").arg(why));

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
