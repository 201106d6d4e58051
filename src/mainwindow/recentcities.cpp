#include "mainwindow/recentcities.h"

#include <QDir>
#include <QFile>

#include "dataset/datafile.h"
#include "dataset/writerlock.h"

namespace urbica {

namespace {

QString filePath(const QString& programDirectory) {
    return QDir(programDirectory).filePath(QLatin1String(kRecentCitiesFile));
}

constexpr qint64 kMaxFileSize = 64 * 1024;

}  // namespace

RecentCities RecentCities::read(const QString& programDirectory) {
    RecentCities r;
    QFile f(filePath(programDirectory));
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

bool RecentCities::write(const QString& programDirectory, QString* error) const {
    return writeFileAtomically(filePath(programDirectory), (folders_.join(u'\n') + u'\n').toUtf8(),
                               error);
}

bool RecentCities::remember(const QString& programDirectory, const QString& folder,
                            QString* error) {
    const QString path = filePath(programDirectory);
    WriterLock lock;
    if (!lock.acquire(path, kFileLockWaitMs, fileBusyText(path), error)) return false;
    RecentCities recent = read(programDirectory);
    recent.add(folder);
    return recent.write(programDirectory, error);
}

void RecentCities::add(const QString& folder) {
    folders_.removeAll(folder);
    folders_.prepend(folder);
    while (folders_.size() > kKept) folders_.removeLast();
}

}  // namespace urbica
