// One bookmark file per city, and the bookmarks of the file all cities
// shared before taken over by the city whose frame holds them.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "bookmarks/bookmarkfile.h"

using namespace urbica;

namespace {

QByteArray bytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

BookmarkRecord mark(const char* name, float left, float top, float width) {
    BookmarkRecord r;
    r.name = QString::fromUtf8(name);
    r.left = left;
    r.top = top;
    r.width = width;
    return r;
}

}  // namespace

TEST(CityBookmarks, OneFilePerCityFolder) {
    QTemporaryDir dir;
    QDir d(dir.path());
    ASSERT_TRUE(d.mkdir("minsk") && d.mkdir("moscow"));
    const QString minsk = cityBookmarkFilePath(dir.path(), "bookmark", d.filePath("minsk") + "/");
    EXPECT_EQ(cityBookmarkFilePath(dir.path(), "bookmark", d.filePath("minsk")), minsk)
        << "one folder, one file, however it is written";
    EXPECT_EQ(cityBookmarkFilePath(dir.path(), "bookmark", d.filePath("moscow/../minsk/")), minsk);
    EXPECT_NE(cityBookmarkFilePath(dir.path(), "bookmark", d.filePath("moscow")), minsk);
    EXPECT_EQ(QFileInfo(minsk).absolutePath(), QFileInfo(dir.path()).absoluteFilePath());
    EXPECT_TRUE(QFileInfo(minsk).fileName().startsWith("bookmark-"));
}

TEST(CityBookmarks, SharedFileIsTakenOverByFrameAndKept) {
    QTemporaryDir dir;
    const QString shared = bookmarkFilePath(dir.path(), QString());
    // In the frame (0,0)-(10000,8000): 1 and 4; 2 lies outside, 3 is deleted.
    for (const BookmarkRecord& r :
         {mark("Центр", 1000, 1000, 2000), mark("Далеко", 50000, 1000, 2000),
          mark("Удалена", 1000, 1000, 2000), mark("Вокзал", 7000, 6000, 3000)})
        ASSERT_TRUE(appendBookmark(shared, r));
    ASSERT_TRUE(deleteBookmark(shared, 3));
    // A torn tail is no bookmark.
    {
        QFile f(shared);
        ASSERT_TRUE(f.open(QIODevice::Append));
        f.write("torn");
    }
    const QByteArray sharedBefore = bytes(shared);
    const QString city = dir.filePath("bookmark-city");
    ASSERT_TRUE(adoptSharedBookmarks(shared, city, QRectF(0, 0, 10000, 8000)));
    const QByteArray taken = bytes(city);
    ASSERT_EQ(taken.size(), 2 * BookmarkRecord::kRecordLength);
    EXPECT_EQ(taken.left(72), sharedBefore.left(72)) << "byte for byte";
    EXPECT_EQ(taken.mid(72), sharedBefore.mid(3 * 72, 72));
    EXPECT_EQ(bytes(shared), sharedBefore) << "the shared file stays";

    // Taken once: the city's own file is not made again.
    ASSERT_TRUE(deleteBookmark(city, 1));
    const QByteArray after = bytes(city);
    ASSERT_TRUE(adoptSharedBookmarks(shared, city, QRectF(0, 0, 10000, 8000)));
    EXPECT_EQ(bytes(city), after);

    // A city whose frame holds none gets an empty file; no shared file, too.
    const QString far = dir.filePath("bookmark-far");
    ASSERT_TRUE(adoptSharedBookmarks(shared, far, QRectF(100000, 0, 1000, 1000)));
    EXPECT_TRUE(QFile::exists(far));
    EXPECT_TRUE(bytes(far).isEmpty());
    const QString none = dir.filePath("bookmark-none");
    ASSERT_TRUE(adoptSharedBookmarks(dir.filePath("missing"), none, QRectF(0, 0, 10, 10)));
    EXPECT_TRUE(bytes(none).isEmpty());

    EXPECT_TRUE(bookmarkInFrame(mark("x", 0, 0, 10000), QRectF(0, 0, 10000, 8000)));
    EXPECT_FALSE(bookmarkInFrame(mark("x", 0, 0, 20000), QRectF(0, 0, 10000, 8000)));
    EXPECT_FALSE(bookmarkInFrame(mark("x", 0, 9000, 100), QRectF(0, 0, 10000, 8000)));
}
