#include "dataset/writerlock.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <cerrno>
#include <cstring>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace urbica {

namespace {
constexpr int kPollMs = 20;
}  // namespace

QString WriterLock::lockPathFor(const QString& target) {
    const QFileInfo info(QDir::cleanPath(QDir(target).absolutePath()));
    return info.absoluteDir().filePath(QStringLiteral(".%1.lock").arg(info.fileName()));
}

QString datasetBusyText(const QString& folder) {
    return QStringLiteral("папка %1 занята другим импортом")
        .arg(QDir::toNativeSeparators(QDir::cleanPath(QDir(folder).absolutePath())));
}

QString fileBusyText(const QString& file) {
    return QStringLiteral("файл %1 занят другой копией программы")
        .arg(QDir::toNativeSeparators(file));
}

bool WriterLock::acquire(const QString& target, int waitMs, const QString& busyText, QString* error,
                         const std::function<void()>& onWait) {
    release();
#ifdef Q_OS_UNIX
    const QString path = lockPathFor(target);
    const QByteArray name = QFile::encodeName(path);
    const QDeadlineTimer deadline(waitMs);
    bool told = false;
    for (;;) {
        int fd = ::open(name.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        // A lock file another user made may still be locked for reading.
        if (fd < 0) fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) {
            // No lock file can be made where the folder cannot be written (a
            // read-only or full disk): the write goes ahead and names its own
            // file when it fails. No writer of ours can lock there either.
            fd_ = kUnlocked;
            return true;
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            // The holder before removes the file as it lets go; a lock taken
            // on a file no longer at the path locks nothing, so try again.
            struct stat held, now;
            if (::fstat(fd, &held) == 0 && ::stat(name.constData(), &now) == 0 &&
                held.st_ino == now.st_ino && held.st_dev == now.st_dev) {
                fd_ = fd;
                path_ = name;
                return true;
            }
            ::close(fd);
            continue;
        }
        const int why = errno;
        ::close(fd);
        if (why != EWOULDBLOCK && why != EINTR) {
            if (error)
                *error = QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path),
                                                      QString::fromLocal8Bit(std::strerror(why)));
            return false;
        }
        if (deadline.hasExpired()) break;
        if (!told && onWait) onWait();
        told = true;
        QThread::msleep(kPollMs);
    }
    if (error) *error = busyText;
    return false;
#else
    Q_UNUSED(target);
    Q_UNUSED(waitMs);
    Q_UNUSED(busyText);
    Q_UNUSED(error);
    Q_UNUSED(onWait);
    fd_ = kUnlocked;
    return true;
#endif
}

void WriterLock::release() {
#ifdef Q_OS_UNIX
    if (fd_ >= 0) {
        // Removed while still held, so that nothing is left beside the target;
        // a writer waiting on the removed file sees that and opens it anew.
        ::unlink(path_.constData());
        ::close(fd_);  // closing the only descriptor drops the lock
    }
#endif
    fd_ = kNone;
    path_.clear();
}

}  // namespace urbica
