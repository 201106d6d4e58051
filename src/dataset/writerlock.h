// One writer at a time for a file or a dataset folder. A writer holds an
// exclusive lock (flock) on a lock file beside its target, ".NAME.lock" in
// the folder that holds NAME, so the lock lies outside a dataset folder and
// is never exchanged or removed with it. The holder removes the file before
// it lets go, and a writer that locked a file no longer at the path tries
// again, so nothing is left beside the target and no two writers hold it.
// The kernel drops the lock when its holder ends in any way, a kill
// included, so a dead writer never blocks the next one (it only leaves the
// empty lock file, which the next writer takes and removes).
#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

namespace urbica {

// How long a writer waits for another before it gives up.
inline constexpr int kDatasetLockWaitMs = 5 * 60 * 1000;  // an import's write
inline constexpr int kFileLockWaitMs = 10 * 1000;         // settings, bookmarks, lists

class WriterLock {
public:
    WriterLock() = default;
    ~WriterLock() { release(); }
    WriterLock(const WriterLock&) = delete;
    WriterLock& operator=(const WriterLock&) = delete;

    // The lock file of a target file or folder.
    static QString lockPathFor(const QString& target);

    // Takes the lock of target, waiting up to waitMs (0: one try). onWait runs
    // once when another writer holds it. False with busyText when the wait
    // ran out. Where the lock file can be neither made nor opened (a folder
    // that cannot be written), it goes ahead unlocked: the write itself then
    // fails and names its file.
    bool acquire(const QString& target, int waitMs, const QString& busyText,
                 QString* error = nullptr, const std::function<void()>& onWait = {});
    // Also true where no lock file could be made (see acquire).
    bool held() const { return fd_ != kNone; }
    void release();

private:
    static constexpr int kNone = -1;
    static constexpr int kUnlocked = -2;  // went ahead without a lock file
    int fd_ = kNone;
    QByteArray path_;
};

// The text a dataset writer gives when another one holds its folder.
QString datasetBusyText(const QString& folder);
// The same for a file of the program (settings, bookmarks, recent cities).
QString fileBusyText(const QString& file);

}  // namespace urbica
