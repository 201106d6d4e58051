#include "dataset/datafile.h"

#include <QDir>
#include <QSaveFile>
#include <cstring>

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

DataFile::DataFile(const QString& path) : path_(path), file_(path) {
    open_ = file_.open(QIODevice::ReadOnly);
    if (!open_) return;
    size_ = file_.size();
}

bool DataFile::readAt(qint64 offset, char* dst, qint64 len) {
    if (!open_ || offset < 0 || len < 0 || offset > size_ || len > size_ - offset) return false;
    if (len == 0) return true;
    // A file read record by record is mapped after a few reads, which saves a
    // seek and a read call per record; a file read once or twice is not worth
    // the mapping. The mapping goes with the file when this object does.
    if (!mapped_ && ++reads_ == kReadsBeforeMapping) mapped_ = file_.map(0, size_);
    if (mapped_) {
        std::memcpy(dst, mapped_ + offset, size_t(len));
        return true;
    }
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

RecordFile::RecordFile(const QString& path, int recordLength)
    : file_(path), length_(recordLength) {}

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
    if (!f.open(QIODevice::WriteOnly)) {
        if (error) *error = f.errorString();
        return false;
    }
    if (f.write(data) != data.size()) {
        if (error) *error = f.errorString();
        f.cancelWriting();
        return false;
    }
    if (!f.commit()) {
        if (error) *error = f.errorString();
        return false;
    }
    return true;
}

}  // namespace urbica
