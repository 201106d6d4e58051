// Where a writer's finished files go: a folder, each file written whole
// before put() returns, or, with a BackgroundFileWriter, handed to a thread
// that writes them while the caller makes the next.
#pragma once

#include <QByteArray>
#include <QString>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <utility>

namespace urbica {

// Writes whole files (as writeFileAtomically does) on a thread of its own, in
// the order they come. put() waits while more than a limit of bytes is still
// to be written; after a failed write it refuses every file with that
// failure, which finish() reports too.
class BackgroundFileWriter {
public:
    explicit BackgroundFileWriter(qsizetype waitingBytes = qsizetype(16) << 20);
    ~BackgroundFileWriter();  // drops the files not begun; finish() writes them
    BackgroundFileWriter(const BackgroundFileWriter&) = delete;
    BackgroundFileWriter& operator=(const BackgroundFileWriter&) = delete;

    bool put(const QString& path, QByteArray bytes, QString* error);
    // Waits until every file handed over is written; false with the first failure.
    bool finish(QString* error);

private:
    void run();
    bool failed(QString* error) const;  // with mutex_ held

    const qsizetype limit_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::pair<QString, QByteArray>> waiting_;
    qsizetype waitingBytes_ = 0;
    bool writing_ = false;
    bool stop_ = false;
    QString failure_;
    std::thread thread_;
};

class FileTarget {
public:
    // A folder written in place (the usual case, hence not explicit).
    FileTarget(const QString& dir, BackgroundFileWriter* background = nullptr)
        : dir_(dir), background_(background) {}

    const QString& dir() const { return dir_; }
    QString path(const QString& name) const { return dir_ + QLatin1Char('/') + name; }
    // The folder name inside this one, written the same way.
    FileTarget sub(const QString& name) const { return FileTarget(path(name), background_); }
    bool put(const QString& name, QByteArray bytes, QString* error) const;

private:
    QString dir_;
    BackgroundFileWriter* background_;
};

}  // namespace urbica
