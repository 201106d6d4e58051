// A tmpfs of a given size mounted over a temporary folder, for tests of a
// disk that fills. Mounting needs the right to mount; without it mount()
// is false and the test is skipped.
#pragma once

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

namespace urbica::testing {

class SmallTmpfs {
public:
    ~SmallTmpfs() { unmount(); }
    // size as mount takes it: "256k".
    bool mount(const char* size) {
        unmount();
        if (!dir_.isValid()) return false;
        QProcess p;
        p.start(QStringLiteral("mount"),
                {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                 QStringLiteral("size=%1").arg(QLatin1String(size)), QStringLiteral("tmpfs"),
                 dir_.path()});
        mounted_ =
            p.waitForFinished(10000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
        return mounted_;
    }
    // The same file system read-only from now on, its files kept.
    bool remountReadOnly() {
        return mounted_ && QProcess::execute(QStringLiteral("mount"),
                                             {QStringLiteral("-o"), QStringLiteral("remount,ro"),
                                              dir_.path()}) == 0;
    }
    void unmount() {
        if (mounted_) QProcess::execute(QStringLiteral("umount"), {dir_.path()});
        mounted_ = false;
    }
    QString path() const { return dir_.path(); }
    QString filePath(const QString& name) const { return dir_.filePath(name); }
    QStringList entries() const {
        return QDir(dir_.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    }
    // Fills what is left of the disk.
    void fill() const {
        QFile f(dir_.filePath(QStringLiteral("filler")));
        if (!f.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return;
        const QByteArray block(4096, 'x');
        while (f.write(block) == block.size()) {
        }
    }

private:
    QTemporaryDir dir_;
    bool mounted_ = false;
};

}  // namespace urbica::testing
