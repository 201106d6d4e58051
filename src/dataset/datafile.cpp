#include "dataset/datafile.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <cstring>

#include "dataset/guardedcopy.h"

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace urbica {

namespace {
constexpr int kReadsBeforeMapping = 16;
}  // namespace

QString platformPath(const QString& storedPath) {
#ifdef Q_OS_WIN
    return storedPath;
#else
    QString p = storedPath;
    p.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return p;
#endif
}

QString dataFilePath(const QString& dataDirectory, const QString& fileName) {
    return platformPath(dataDirectory + fileName);
}

std::shared_ptr<const FileBytes> FileBytes::load(const QString& path) {
    std::shared_ptr<FileBytes> b(new FileBytes);
    b->file_.setFileName(path);
    if (!b->file_.open(QIODevice::ReadOnly)) return nullptr;
    b->size_ = b->file_.size();
    if (b->size_ > 0) {
        if (uchar* m = b->file_.map(0, b->size_)) {
            b->data_ = reinterpret_cast<const char*>(m);
            b->mapped_ = true;
        } else {
            b->copy_ = b->file_.readAll();
            if (b->copy_.size() != b->size_) return nullptr;
            b->data_ = b->copy_.constData();
        }
    }
    b->file_.close();  // the mapping outlives the descriptor
    return b;
}

bool FileBytes::read(qint64 offset, char* dst, qint64 len) const {
    if (offset < 0 || len < 0 || offset > size_ || len > size_ - offset) return false;
    if (len == 0) return true;
    if (!mapped_) {
        std::memcpy(dst, data_ + offset, size_t(len));
        return true;
    }
    if (copyFromMapping(dst, data_ + offset, size_t(len))) return true;
    cut_ = true;
    return false;
}

void FileCache::setEnabled(bool on) {
    enabled_ = on;
    if (!on) clear();
}

FileStamp FileStamp::of(const QString& path) {
    FileStamp s;
#ifdef Q_OS_UNIX
    struct stat st;
    if (::stat(QFile::encodeName(path).constData(), &st) != 0) return s;
    s.size = qint64(st.st_size);
    s.modified = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    s.identity = quint64(st.st_ino) ^ (quint64(st.st_dev) << 40);
#else
    const QFileInfo info(path);
    if (!info.exists()) return s;
    s.size = info.size();
    s.modified = info.lastModified().toMSecsSinceEpoch() * 1000000;
#endif
    return s;
}

std::shared_ptr<const FileBytes> FileCache::file(const QString& path) {
    if (!enabled_) return nullptr;
    auto it = files_.find(path);
    if (it != files_.end() && passDepth_ > 0 && it->checkedInPass == pass_) return it->bytes;
    // The stamp is taken before the file is read, so that a change made
    // while it is read shows at the next use.
    const FileStamp now = FileStamp::of(path);
    if (it != files_.end()) {
        if (it->stamp == now && !it->bytes->cut()) {
            it->checkedInPass = pass_;
            return it->bytes;
        }
        // Changed under us: whatever was derived from it goes too.
        ++changes_;
        files_.erase(it);
        derived_.clear();
    }
    // A file that cannot be read is not remembered: it may appear later.
    if (!now.valid()) return nullptr;
    std::shared_ptr<const FileBytes> b = FileBytes::load(path);
    if (b) files_.insert(path, Entry{b, now, pass_});
    return b;
}

void FileCache::invalidate(const QString& path) {
    files_.remove(path);
    derived_.clear();
}

void FileCache::clear() {
    files_.clear();
    derived_.clear();
}

DataFile::DataFile(const QString& path, FileCache* cache) : path_(path) {
    if (cache && cache->enabled()) {
        cached_ = cache->file(path);
        open_ = cached_ != nullptr;
        if (open_) size_ = cached_->size();
        return;
    }
    file_.setFileName(path);
    open_ = file_.open(QIODevice::ReadOnly);
    if (!open_) return;
    size_ = file_.size();
}

bool DataFile::readAt(qint64 offset, char* dst, qint64 len) {
    if (!open_ || offset < 0 || len < 0 || offset > size_ || len > size_ - offset) return false;
    if (len == 0) return true;
    if (cached_) return cached_->read(offset, dst, len);
    // A file read record by record is mapped after a few reads, which saves a
    // seek and a read call per record; a file read once or twice is not worth
    // the mapping. The mapping goes with the file when this object does. A
    // file cut meanwhile fails the read instead of ending the program.
    if (!mapped_ && ++reads_ == kReadsBeforeMapping) mapped_ = file_.map(0, size_);
    if (mapped_) return copyFromMapping(dst, mapped_ + offset, size_t(len));
    if (!file_.seek(offset)) return false;
    qint64 got = 0;
    while (got < len) {
        qint64 r = file_.read(dst + got, len - got);
        if (r <= 0) return false;
        got += r;
    }
    return true;
}

bool DataFile::readAt(qint64 offset, qint64 len, QByteArray& out) {
    if (!open_ || offset < 0 || len < 0 || offset > size_ || len > size_ - offset) return false;
    out.resize(len);
    return readAt(offset, out.data(), len);
}

bool DataFile::readAll(QByteArray& out) { return readAt(0, size_, out); }

WholeFile::WholeFile(const QString& path, FileCache* cache) {
    if (cache && cache->enabled()) {
        cached_ = cache->file(path);
        ok_ = cached_ != nullptr;
        if (ok_) size_ = cached_->size();
        return;
    }
    ok_ = DataFile(path).readAll(copy_);
    size_ = copy_.size();
}

bool WholeFile::read(qint64 offset, char* dst, qint64 len) const {
    if (!ok_ || offset < 0 || len < 0 || offset > size_ || len > size_ - offset) return false;
    if (cached_) return cached_->read(offset, dst, len);
    if (len > 0) std::memcpy(dst, copy_.constData() + offset, size_t(len));
    return true;
}

bool WholeFile::readAll(QByteArray& out) const {
    if (!cached_) {
        out = copy_;
        return ok_;
    }
    out.resize(size_);
    return read(0, out.data(), size_);
}

RecordFile::RecordFile(const QString& path, int recordLength, FileCache* cache)
    : file_(path, cache), length_(recordLength) {}

bool RecordFile::read(qint64 n, char* buf) {
    if (n < 1 || n > recordCount()) return false;
    return file_.readAt((n - 1) * length_, buf, length_);
}

bool RecordFile::readRange(qint64 first, qint64 count, QByteArray& out) {
    if (first < 1 || count < 0 || count > recordCount() || first - 1 > recordCount() - count)
        return false;
    return file_.readAt((first - 1) * length_, count * length_, out);
}

bool writeFileAtomically(const QString& path, const QByteArray& data, QString* error) {
    QSaveFile f(path);
    // The reason names the file: a message may come long after the write began.
    auto fail = [&] {
        if (error)
            *error = QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), f.errorString());
        return false;
    };
    if (!f.open(QIODevice::WriteOnly)) return fail();
    // A write that only filled the buffer fails at the flush; the commit
    // does not report that failure and would put an empty file in place of
    // the old one, so the flush is checked on its own.
    if (f.write(data) != data.size() || !f.flush()) {
        fail();
        f.cancelWriting();
        return false;
    }
    if (!f.commit()) return fail();
    return true;
}

}  // namespace urbica
