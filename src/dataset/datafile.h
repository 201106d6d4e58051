// The one way data files are read and written. Every read names its offset and
// length and is checked against the file, so a short or damaged file gives a
// clear failure and never garbage. Callers open, read and drop a file within
// one routine; given a FileCache, the bytes come from files it keeps mapped
// between calls, so nothing is opened again and no descriptor stays open.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QHash>
#include <QString>
#include <atomic>
#include <functional>
#include <memory>

namespace urbica {

// The whole of one file, kept in memory: mapped where the platform allows (the
// descriptor is closed once the mapping exists), read whole otherwise.
class FileBytes {
public:
    // Null when the file cannot be opened or read.
    static std::shared_ptr<const FileBytes> load(const QString& path);
    FileBytes(const FileBytes&) = delete;
    FileBytes& operator=(const FileBytes&) = delete;

    // The bytes, mapped or copied; read a mapping only through copyFromMapping
    // (read() does), since the file may be cut under it.
    const char* data() const { return data_; }
    qint64 size() const { return size_; }
    // Copies len bytes at offset; false when the range lies outside, or the file
    // was cut under the mapping (which is then marked cut).
    bool read(qint64 offset, char* dst, qint64 len) const;
    // A read ran past the file's end because the file was cut while mapped; the
    // cache then reads it again at its next use.
    bool cut() const { return cut_; }

private:
    FileBytes() = default;
    QFile file_;  // owns the mapping; closed once mapped
    QByteArray copy_;
    const char* data_ = nullptr;
    qint64 size_ = 0;
    bool mapped_ = false;
    mutable std::atomic<bool> cut_{false};
};

// What tells one version of a file from the next: size, time of the last
// change and file identity. Invalid when the file is not there.
struct FileStamp {
    qint64 size = -1;
    qint64 modified = 0;  // nanoseconds
    quint64 identity = 0;
    bool valid() const { return size >= 0; }
    bool operator==(const FileStamp&) const = default;
    static FileStamp of(const QString& path);
};

// Data files and what is derived from them, kept between calls for one run.
// Files are keyed by path; derived data (decoded names, icon pictures) by a
// key of the caller's. Each use of a kept file first looks at the file's
// stamp (no open): a file changed or removed by another program is read
// again or reported missing, never read past its new end. The program drops
// everything when it writes a file of the dataset itself (see saveTables).
// Disabled, it keeps nothing and every read goes to the file, which is how
// results are compared with and without it.
class FileCache {
public:
    bool enabled() const { return enabled_; }
    void setEnabled(bool on);
    // The bytes of the file; null when it cannot be read or the cache is off.
    std::shared_ptr<const FileBytes> file(const QString& path);
    // Derived data under key, made by make() the first time; null when make
    // gives null (nothing is kept then) or the cache is off.
    template <class T>
    std::shared_ptr<const T> derived(const QString& key,
                                     const std::function<std::shared_ptr<const T>()>& make) {
        if (!enabled_) return make();
        auto it = derived_.constFind(key);
        if (it != derived_.constEnd()) return std::static_pointer_cast<const T>(*it);
        std::shared_ptr<const T> made = make();
        if (made) derived_.insert(key, made);
        return made;
    }
    // Forgets the file and everything derived.
    void invalidate(const QString& path);

    // One redraw, pick or search: within it a kept file's stamp is looked at
    // once, not at every use (a label reads its class's names hundreds of
    // times a picture). Passes may nest; the outermost one counts.
    class Pass {
    public:
        explicit Pass(FileCache* cache) : cache_(cache) {
            if (cache_ && cache_->passDepth_++ == 0) ++cache_->pass_;
        }
        ~Pass() {
            if (cache_) --cache_->passDepth_;
        }
        Pass(const Pass&) = delete;
        Pass& operator=(const Pass&) = delete;

    private:
        FileCache* cache_;
    };
    void clear();
    int fileCount() const { return int(files_.size()); }
    // Counts the kept files found changed or cut under the cache.
    quint64 changes() const { return changes_; }

private:
    struct Entry {
        std::shared_ptr<const FileBytes> bytes;
        FileStamp stamp;
        quint64 checkedInPass = 0;
    };
    bool enabled_ = true;
    int passDepth_ = 0;
    quint64 pass_ = 0;
    quint64 changes_ = 0;
    QHash<QString, Entry> files_;
    QHash<QString, std::shared_ptr<const void>> derived_;
};

// A stored path uses '\' as its separator; on this platform it is the native one.
QString platformPath(const QString& storedPath);
// dataDirectory (which ends with its separator) followed by a bare file name.
QString dataFilePath(const QString& dataDirectory, const QString& fileName);

class DataFile {
public:
    // With a cache (enabled), the bytes come from it and no file is opened here.
    explicit DataFile(const QString& path, FileCache* cache = nullptr);
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
    std::shared_ptr<const FileBytes> cached_;
    const uchar* mapped_ = nullptr;  // the whole file, once it is read often enough
    int reads_ = 0;
    qint64 size_ = 0;
    bool open_ = false;
};

// The whole of a file for reading in place: the cache's bytes when it has
// them (nothing is copied), a copy read from the file otherwise. Its bytes are
// read through read(), which survives the file being cut meanwhile.
class WholeFile {
public:
    WholeFile(const QString& path, FileCache* cache);
    bool ok() const { return ok_; }
    qint64 size() const { return size_; }
    // len bytes at offset into dst; false when the range is outside the file
    // or the file was cut while it was read.
    bool read(qint64 offset, char* dst, qint64 len) const;
    // All of it; false as read() is.
    bool readAll(QByteArray& out) const;

private:
    std::shared_ptr<const FileBytes> cached_;
    QByteArray copy_;
    qint64 size_ = 0;
    bool ok_ = false;
};

// Fixed-length records numbered from 1.
class RecordFile {
public:
    RecordFile(const QString& path, int recordLength, FileCache* cache = nullptr);

    bool isOpen() const { return file_.isOpen(); }
    const QString& path() const { return file_.path(); }
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
