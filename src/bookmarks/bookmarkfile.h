// The bookmark file: named views in fixed records of 72 bytes, in the
// program's folder. Deleting only clears a record's kind, so record numbers
// never change; new records go after the last whole record.
#pragma once

#include <QRectF>
#include <QString>
#include <cstdint>
#include <vector>

#include "view/viewstate.h"

namespace urbica {

struct BookmarkRecord {
    static constexpr int kRecordLength = 72;
    static constexpr int kNameLength = 58;
    QString name;      // 58 characters, blank-padded
    int16_t kind = 1;  // 1 live, 0 deleted
    float left = 0, top = 0, width = 0;

    static BookmarkRecord decode(const char* p);
    QByteArray encode() const;  // the name cut or padded to 58 characters
};

// One live bookmark as the list shows it: the stored name with its blanks.
struct BookmarkListEntry {
    QString name;
    qint64 record = 0;
};

// What listing the file found.
struct BookmarkList {
    std::vector<BookmarkListEntry> entries;
    qint64 wholeRecords = 0;
    qint64 trailingBytes = 0;  // bytes after the last whole record (a torn write)
};

inline const char kDefaultBookmarkBase[] = "bookmark";

// programDirectory + separator + base name ("bookmark" when the base is empty).
QString bookmarkFilePath(const QString& programDirectory, const QString& bookmarkBase);

// The bookmark file of one city: the base name, a dash and twelve hex digits
// made from the city's data folder as the file system names it, in
// bookmarkFolder. Each city keeps its own file of the same records.
QString cityBookmarkFilePath(const QString& bookmarkFolder, const QString& bookmarkBase,
                             const QString& dataDirectory);

// True when a bookmark's view lies in a city's frame (map units), so that it
// may have been made there.
bool bookmarkInFrame(const BookmarkRecord& rec, const QRectF& frame);

// Makes the city's file when it does not exist yet, from the file all cities
// shared before (sharedPath): its live bookmarks whose view lies in the
// city's frame, copied byte for byte in their order. The shared file stays as
// it was, so a bookmark that fits the frames of several cities is offered in
// each. An empty city file is made when there is nothing to take. False
// (with the reason) when the city's file cannot be written.
bool adoptSharedBookmarks(const QString& sharedPath, const QString& cityPath, const QRectF& frame,
                          QString* error = nullptr);

// The live bookmarks in record order. A missing file is an empty list; false
// (with the reason) only when the file exists and cannot be read.
bool listBookmarks(const QString& path, BookmarkList& out, QString* error = nullptr);

// Reads record n; false when it is outside the whole records or unreadable.
bool readBookmark(const QString& path, qint64 n, BookmarkRecord& out, QString* error = nullptr);

// Writes rec at record (whole records) + 1, replacing any part record after
// them. The file is replaced as a whole, so a failed write leaves it as it
// was. recordNumber receives the number written.
bool appendBookmark(const QString& path, const BookmarkRecord& rec, qint64* recordNumber = nullptr,
                    QString* error = nullptr);

// Sets record n's kind to 0 in place; the rest of the file stays byte for byte.
bool deleteBookmark(const QString& path, qint64 n, QString* error = nullptr);

// A bookmark of the current view.
BookmarkRecord bookmarkOfView(const QString& name, const ViewState& view);
// True when the stored view can be shown: finite values and a positive width.
bool bookmarkUsable(const BookmarkRecord& rec);
// Puts a bookmark's view into v; the height follows the map box's shape.
void applyBookmark(const BookmarkRecord& rec, ViewState& v, int mapBoxWidth, int mapBoxHeight);

// Texts the bookmark commands show.
QString bookmarkFileErrorText(const QString& reason);
QString bookmarkTornFileText(qint64 trailingBytes);
QString bookmarkDamagedText();

}  // namespace urbica
