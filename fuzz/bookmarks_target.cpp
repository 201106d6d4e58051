// The bookmark file: listed, every record read, and a bookmark added and one
// deleted, with the other bytes of the file left as they were.
#include <QFile>
#include <cmath>

#include "bookmarks/bookmarkfile.h"
#include "support.h"
#include "targets.h"

namespace urbica::fuzz {

namespace {

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace

int fuzzBookmarks(const uint8_t* data, size_t size) {
    const QString& folder = targetFolder("bookmarks");
    const QString path = bookmarkFilePath(folder.chopped(1), QString());
    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    putFile(path, input);
    constexpr int kLength = BookmarkRecord::kRecordLength;
    const qint64 whole = input.size() / kLength;

    BookmarkList list;
    QString error;
    FUZZ_CHECK(listBookmarks(path, list, &error));
    FUZZ_CHECK(list.wholeRecords == whole && list.trailingBytes == input.size() % kLength);
    for (const BookmarkListEntry& e : list.entries) {
        BookmarkRecord r;
        FUZZ_CHECK(e.record >= 1 && e.record <= whole);
        FUZZ_CHECK(readBookmark(path, e.record, r, &error));
        FUZZ_CHECK(r.kind != 0 && r.name == e.name);
        if (!bookmarkUsable(r)) continue;
        ViewState v;
        applyBookmark(r, v, 640, 480);
        FUZZ_CHECK(std::isfinite(v.viewLeft) && std::isfinite(v.viewTop) && v.viewWidth > 0);
    }
    BookmarkRecord r;
    FUZZ_CHECK(!readBookmark(path, 0, r) && !readBookmark(path, whole + 1, r));

    // A new bookmark goes after the whole records, replacing a torn tail.
    BookmarkRecord added;
    added.name = QStringLiteral("Новая закладка");
    added.left = 10;
    added.top = 20;
    added.width = 300;
    qint64 number = 0;
    FUZZ_CHECK(appendBookmark(path, added, &number, &error));
    FUZZ_CHECK(number == whole + 1);
    QByteArray expected = input.left(whole * kLength) + added.encode();
    FUZZ_CHECK(fileBytes(path) == expected);

    // Deleting record 1 clears its kind and nothing else.
    FUZZ_CHECK(deleteBookmark(path, 1, &error));
    expected[58] = 0;
    expected[59] = 0;
    FUZZ_CHECK(fileBytes(path) == expected);
    FUZZ_CHECK(!deleteBookmark(path, whole + 2, &error));
    return 0;
}

}  // namespace urbica::fuzz
