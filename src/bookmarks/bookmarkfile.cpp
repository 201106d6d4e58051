#include "bookmarks/bookmarkfile.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <cmath>

#include "dataset/binary.h"
#include "dataset/datafile.h"
#include "dataset/writerlock.h"

namespace urbica {

namespace {

// A bookmark file is rewritten whole on every change; one past this size is
// not a file of bookmarks, and it is left alone rather than read into memory.
constexpr qint64 kMaxBookmarkFileSize = qint64(64) * 1024 * 1024;

bool readWholeFile(const QString& path, QByteArray& data, QString* error) {
    data.clear();
    if (!QFileInfo::exists(path)) return true;
    DataFile f(path);
    if (!f.isOpen()) {
        if (error)
            *error = QStringLiteral("файл %1 не открывается").arg(QDir::toNativeSeparators(path));
        return false;
    }
    if (f.size() > kMaxBookmarkFileSize) {
        if (error)
            *error = QStringLiteral("файл %1 слишком велик для файла закладок")
                         .arg(QDir::toNativeSeparators(path));
        return false;
    }
    if (!f.readAll(data)) {
        if (error)
            *error = QStringLiteral("файл %1 не читается").arg(QDir::toNativeSeparators(path));
        return false;
    }
    return true;
}

}  // namespace

BookmarkRecord BookmarkRecord::decode(const char* p) {
    BookmarkRecord r;
    r.name = getText(p, kNameLength);
    r.kind = getI16(p + 58);
    r.left = getF32(p + 60);
    r.top = getF32(p + 64);
    r.width = getF32(p + 68);
    return r;
}

QByteArray BookmarkRecord::encode() const {
    QByteArray out(kRecordLength, '\0');
    char* p = out.data();
    // Cut by characters first: one character is one byte in the code page.
    putText(p, kNameLength, name.left(kNameLength));
    putI16(p + 58, kind);
    putF32(p + 60, left);
    putF32(p + 64, top);
    putF32(p + 68, width);
    return out;
}

QString bookmarkFilePath(const QString& programDirectory, const QString& bookmarkBase) {
    const QString base =
        bookmarkBase.isEmpty() ? QString::fromLatin1(kDefaultBookmarkBase) : bookmarkBase;
    return platformPath(programDirectory + QLatin1Char('\\') + base);
}

QString cityBookmarkFilePath(const QString& bookmarkFolder, const QString& bookmarkBase,
                             const QString& dataDirectory) {
    // The folder as the file system names it, so that two spellings of one
    // folder (a trailing separator, a link) share one file.
    const QString folder = QDir::cleanPath(QDir::fromNativeSeparators(platformPath(dataDirectory)));
    const QString canonical = QFileInfo(folder).canonicalFilePath();
    const QByteArray key =
        QCryptographicHash::hash((canonical.isEmpty() ? folder : canonical).toUtf8(),
                                 QCryptographicHash::Sha1)
            .toHex()
            .left(12);
    const QString base =
        bookmarkBase.isEmpty() ? QString::fromLatin1(kDefaultBookmarkBase) : bookmarkBase;
    return bookmarkFilePath(bookmarkFolder, base + QLatin1Char('-') + QString::fromLatin1(key));
}

bool bookmarkInFrame(const BookmarkRecord& rec, const QRectF& frame) {
    if (!bookmarkUsable(rec) || frame.isEmpty()) return false;
    // A view may run a little past the frame where the window's shape made it so.
    const double slack = frame.width() / 100;
    return rec.left >= frame.left() - slack && rec.top >= frame.top() - slack &&
           rec.left + rec.width <= frame.right() + slack && rec.top <= frame.bottom() + slack;
}

bool adoptSharedBookmarks(const QString& sharedPath, const QString& cityPath, const QRectF& frame,
                          QString* error) {
    if (QFileInfo::exists(cityPath)) return true;
    QByteArray shared, kept;
    // An unreadable shared file gives nothing to take; it stays as it is.
    if (readWholeFile(sharedPath, shared, nullptr)) {
        const qint64 whole = shared.size() / BookmarkRecord::kRecordLength;
        for (qint64 n = 0; n < whole; ++n) {
            const char* p = shared.constData() + n * BookmarkRecord::kRecordLength;
            const BookmarkRecord r = BookmarkRecord::decode(p);
            if (r.kind != 0 && bookmarkInFrame(r, frame))
                kept.append(p, BookmarkRecord::kRecordLength);
        }
    }
    return writeFileAtomically(cityPath, kept, error);
}

bool listBookmarks(const QString& path, BookmarkList& out, QString* error) {
    out = BookmarkList{};
    if (!QFileInfo::exists(path)) return true;
    RecordFile f(path, BookmarkRecord::kRecordLength);
    if (!f.isOpen()) {
        if (error)
            *error = QStringLiteral("файл %1 не открывается").arg(QDir::toNativeSeparators(path));
        return false;
    }
    out.wholeRecords = f.recordCount();
    out.trailingBytes = QFileInfo(path).size() - out.wholeRecords * BookmarkRecord::kRecordLength;
    char buf[BookmarkRecord::kRecordLength];
    for (qint64 n = 1; n <= out.wholeRecords; ++n) {
        if (!f.read(n, buf)) {
            // A file that shrank under us ends the list at what was read.
            out.wholeRecords = n - 1;
            break;
        }
        const BookmarkRecord r = BookmarkRecord::decode(buf);
        if (r.kind != 0) out.entries.push_back({r.name, n});
    }
    return true;
}

bool readBookmark(const QString& path, qint64 n, BookmarkRecord& out, QString* error) {
    RecordFile f(path, BookmarkRecord::kRecordLength);
    char buf[BookmarkRecord::kRecordLength];
    if (!f.isOpen() || !f.read(n, buf)) {
        if (error) *error = QStringLiteral("закладка %1 не читается").arg(n);
        return false;
    }
    out = BookmarkRecord::decode(buf);
    return true;
}

bool appendBookmark(const QString& path, const BookmarkRecord& rec, qint64* recordNumber,
                    QString* error) {
    // Read, changed and written by one window at a time, so that two windows
    // adding at once keep both bookmarks.
    WriterLock lock;
    if (!lock.acquire(path, kFileLockWaitMs, fileBusyText(path), error)) return false;
    QByteArray data;
    if (!readWholeFile(path, data, error)) return false;
    const qint64 whole = data.size() / BookmarkRecord::kRecordLength;
    data.truncate(whole * BookmarkRecord::kRecordLength);
    data += rec.encode();
    if (!writeFileAtomically(path, data, error)) return false;
    if (recordNumber) *recordNumber = whole + 1;
    return true;
}

bool deleteBookmark(const QString& path, qint64 n, QString* error) {
    WriterLock lock;
    if (!lock.acquire(path, kFileLockWaitMs, fileBusyText(path), error)) return false;
    QByteArray data;
    if (!readWholeFile(path, data, error)) return false;
    const qint64 whole = data.size() / BookmarkRecord::kRecordLength;
    if (n < 1 || n > whole) {
        if (error) *error = QStringLiteral("закладки %1 нет в файле").arg(n);
        return false;
    }
    putI16(data.data() + (n - 1) * BookmarkRecord::kRecordLength + 58, 0);
    return writeFileAtomically(path, data, error);
}

BookmarkRecord bookmarkOfView(const QString& name, const ViewState& view) {
    BookmarkRecord r;
    r.name = name;
    r.kind = 1;
    r.left = view.viewLeft;
    r.top = view.viewTop;
    r.width = view.viewWidth;
    return r;
}

bool bookmarkUsable(const BookmarkRecord& rec) {
    return std::isfinite(rec.left) && std::isfinite(rec.top) && std::isfinite(rec.width) &&
           rec.width > 0;
}

void applyBookmark(const BookmarkRecord& rec, ViewState& v, int mapBoxWidth, int mapBoxHeight) {
    v.viewLeft = rec.left;
    v.viewTop = rec.top;
    v.viewWidth = rec.width;
    if (mapBoxWidth > 4)
        v.viewHeight = v.viewWidth * float(mapBoxHeight - 4) / float(mapBoxWidth - 4);
}

QString bookmarkFileErrorText(const QString& reason) {
    return QStringLiteral("Закладки не записаны: %1.").arg(reason);
}

QString bookmarkTornFileText(qint64 trailingBytes) {
    return QStringLiteral(
               "Файл закладок поврежден: последние %1 байт не составляют целой закладки и "
               "пропущены. Следующая закладка будет записана на их место.")
        .arg(trailingBytes);
}

QString bookmarkDamagedText() {
    return QStringLiteral("Закладка повреждена и не может быть показана.");
}

}  // namespace urbica
