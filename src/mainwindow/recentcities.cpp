#include "mainwindow/recentcities.h"

#include <QDir>
#include <QFile>

#include "dataset/datafile.h"
#include "dataset/writerlock.h"

namespace urbica {

namespace {

QString filePath(const QString& settingsFolder) {
    return QDir(settingsFolder).filePath(QLatin1String(kRecentCitiesFile));
}

constexpr qint64 kMaxFileSize = 64 * 1024;

}  // namespace

RecentCities RecentCities::read(const QString& settingsFolder) {
    RecentCities r;
    QFile f(filePath(settingsFolder));
    if (!f.open(QIODevice::ReadOnly) || f.size() > kMaxFileSize) return r;
    const QStringList lines = QString::fromUtf8(f.readAll()).split(u'\n');
    for (const QString& raw : lines) {
        const QString line = raw.trimmed();
        if (line.isEmpty() || line.size() > 4096 || line.contains(QChar(0)) ||
            r.folders_.contains(line))
            continue;
        r.folders_ << line;
        if (r.folders_.size() == kKept) break;
    }
    return r;
}

bool RecentCities::write(const QString& settingsFolder, QString* error) const {
    return writeFileAtomically(filePath(settingsFolder), (folders_.join(u'\n') + u'\n').toUtf8(),
                               error);
}

bool RecentCities::remember(const QString& settingsFolder, const QString& folder, QString* error) {
    const QString path = filePath(settingsFolder);
    WriterLock lock;
    if (!lock.acquire(path, kFileLockWaitMs, fileBusyText(path), error)) return false;
    RecentCities recent = read(settingsFolder);
    recent.add(folder);
    return recent.write(settingsFolder, error);
}

void RecentCities::add(const QString& folder) {
    folders_.removeAll(folder);
    folders_.prepend(folder);
    while (folders_.size() > kKept) folders_.removeLast();
}

}  // namespace urbica
