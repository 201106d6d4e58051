// The one way data files are read and written. Every read names its offset and
// length and is checked against the file, so a short or damaged file gives a
// clear failure and never garbage. Callers open, read and drop a file within
// one routine; caching or mapping can be added here without touching them.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <memory>

namespace urbica {

// A stored path uses '\' as its separator; on this platform it is the native one.
QString platformPath(const QString& storedPath);
// dataDirectory (which ends with its separator) followed by a bare file name.
QString dataFilePath(const QString& dataDirectory, const QString& fileName);

class DataFile {
public:
    explicit DataFile(const QString& path);
    DataFile(const DataFile&) = delete;
    DataFile& operator=(const DataFile&) = delete;

    bool isOpen() const { return open_; }
    qint64 size() const { return size_; }
    const QString& path() const { return path_; }
    // Reads exactly len bytes starting at byte offset. False when the range
    // is not wholly inside the file or the read comes back short.
    bool readAt(qint64 offset, char* dst, qint64 len);
    bool readAt(qint64 offset, qint64 len, QByteArray& out);
    // The whole file; false when it cannot be opened or read.
    bool readAll(QByteArray& out);

private:
    QString path_;
    QFile file_;
    const uchar* mapped_ = nullptr;  // the whole file, once it is read often enough
    int reads_ = 0;
    qint64 size_ = 0;
    bool open_ = false;
};

// Fixed-length records numbered from 1.
class RecordFile {
public:
    RecordFile(const QString& path, int recordLength);

    bool isOpen() const { return file_.isOpen(); }
    int recordLength() const { return length_; }
    // Whole records in the file; a trailing part record does not count.
    qint64 recordCount() const { return length_ > 0 ? file_.size() / length_ : 0; }
    // Record n into buf (recordLength bytes); false when n is outside 1..recordCount.
    bool read(qint64 n, char* buf);
    // Records first .. first+count-1 into out; false when any lies outside the file.
    bool readRange(qint64 first, qint64 count, QByteArray& out);

private:
    DataFile file_;
    int length_;
};

// Replaces a whole file so that a crash never leaves half of it.
bool writeFileAtomically(const QString& path, const QByteArray& data, QString* error = nullptr);

}  // namespace urbica
