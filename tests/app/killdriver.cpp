// Writes one file (or the dataset) over and over by the program's own
// routines until it is killed; says "ready" once it has begun.
//
//   urbica_killdriver settings PROGRAM-FOLDER
//   urbica_killdriver bookmarks FILE
//   urbica_killdriver tables PRISTINE-DATASET DATASET
//   urbica_killdriver import DATASET
//   urbica_killdriver lock DATASET      (holds the folder's writer lock until killed)
#include <QCoreApplication>
#include <QDir>
#include <QThread>
#include <cstdio>

#include "killstates.h"
#include "output.h"

using namespace urbica;
using namespace urbica::killtest;

namespace {

void ready() {
    std::fputs("ready\n", stdout);
    std::fflush(stdout);
}

int bookmarks(const QString& path) {
    // Go on from what an earlier run left: every bookmark deleted.
    BookmarkList list;
    if (!listBookmarks(path, list)) return 1;
    QFile f(path);
    qint64 k = f.exists() ? f.size() / BookmarkRecord::kRecordLength : 0;
    if (k > 0 && !list.entries.empty() && !deleteBookmark(path, k)) return 1;
    ready();
    for (;;) {
        qint64 written = 0;
        if (!appendBookmark(path, bookmarkState(++k), &written) || written != k) return 1;
        if (!deleteBookmark(path, k)) return 1;
    }
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList a = app.arguments();
    if (a.size() < 3) return 2;
    const QString mode = a[1];
    if (mode == QLatin1String("settings")) {
        const Settings s[2] = {settingsState(0, a[2]), settingsState(1, a[2])};
        ready();
        for (int i = 0;; ++i)
            if (!writeSettings(s[i % 2], a[2])) return 1;
    }
    if (mode == QLatin1String("bookmarks")) return bookmarks(a[2]);
    if (mode == QLatin1String("tables") && a.size() == 4) {
        Settings pristine;
        pristine.dataDirectory = a[2] + QDir::separator();
        Catalogue catalogue;
        Tables tables;
        if (!readCatalogue(pristine, catalogue, tables)) return 1;
        const Tables t[2] = {tablesState(0, tables), tablesState(1, tables)};
        Settings target;
        target.dataDirectory = a[3] + QDir::separator();
        ready();
        for (int i = 0;; ++i)
            if (!saveTables(target, t[i % 2])) return 1;
    }
    if (mode == QLatin1String("import")) {
        const DatasetData d[2] = {datasetState(0), datasetState(1)};
        // Ready once one dataset is in place, so that a kill may come in
        // any of the writes after it however slow the machine is.
        if (!osmimport::writeDatasetSafely(d[1], a[2])) return 1;
        ready();
        for (int i = 0;; ++i) {
            if (!osmimport::writeDatasetSafely(d[i % 2], a[2])) return 1;
            std::fputs("written\n", stdout);  // the test may wait for some
            std::fflush(stdout);
        }
    }
    if (mode == QLatin1String("lock")) {
        WriterLock lock;
        if (!lock.acquire(a[2], 0, datasetBusyText(a[2]))) return 1;
        ready();
        for (;;) QThread::sleep(60);
    }
    return 2;
}
