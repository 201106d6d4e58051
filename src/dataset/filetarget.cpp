#include "filetarget.h"

#include "dataset/datafile.h"

namespace urbica {

BackgroundFileWriter::BackgroundFileWriter(qsizetype waitingBytes) : limit_(waitingBytes) {
    thread_ = std::thread([this] { run(); });
}

BackgroundFileWriter::~BackgroundFileWriter() {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
        waiting_.clear();
    }
    changed_.notify_all();
    thread_.join();
}

bool BackgroundFileWriter::failed(QString* error) const {
    if (failure_.isEmpty()) return false;
    if (error) *error = failure_;
    return true;
}

bool BackgroundFileWriter::put(const QString& path, QByteArray bytes, QString* error) {
    std::unique_lock<std::mutex> lock(mutex_);
    // One file always goes in, however large, so that nothing waits forever.
    changed_.wait(
        lock, [this] { return !failure_.isEmpty() || waiting_.empty() || waitingBytes_ < limit_; });
    if (failed(error)) return false;
    waitingBytes_ += bytes.size();
    waiting_.emplace_back(path, std::move(bytes));
    lock.unlock();
    changed_.notify_all();
    return true;
}

bool BackgroundFileWriter::finish(QString* error) {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return waiting_.empty() && !writing_; });
    return !failed(error);
}

void BackgroundFileWriter::run() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return stop_ || !waiting_.empty(); });
        if (waiting_.empty()) return;  // stopped with nothing left
        auto [path, bytes] = std::move(waiting_.front());
        waiting_.pop_front();
        writing_ = true;
        QString why;
        bool ok = true;
        if (failure_.isEmpty()) {
            lock.unlock();
            ok = writeFileAtomically(path, bytes, &why);
            lock.lock();
        }
        waitingBytes_ -= bytes.size();
        if (!ok && failure_.isEmpty()) failure_ = why;
        writing_ = false;
        lock.unlock();
        changed_.notify_all();
        bytes = QByteArray();  // freed before the next file is taken
        lock.lock();
    }
}

bool FileTarget::put(const QString& name, QByteArray bytes, QString* error) const {
    if (background_) return background_->put(path(name), std::move(bytes), error);
    return writeFileAtomically(path(name), bytes, error);
}

}  // namespace urbica
