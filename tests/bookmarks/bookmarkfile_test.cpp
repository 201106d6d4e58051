#include "bookmarks/bookmarkfile.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cmath>
#include <limits>

using namespace urbica;

namespace {

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeBytes(const QString& path, const QByteArray& data) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(data);
}

BookmarkRecord mark(const QString& name, float left) {
    ViewState v;
    v.viewLeft = left;
    v.viewTop = 2 * left;
    v.viewWidth = 1000;
    return bookmarkOfView(name, v);
}

QStringList names(const QString& path) {
    BookmarkList list;
    EXPECT_TRUE(listBookmarks(path, list));
    QStringList out;
    for (const auto& e : list.entries) out << QString("%1:%2").arg(e.record).arg(e.name.trimmed());
    return out;
}

}  // namespace

TEST(BookmarkRecord, LayoutAndNameLength) {
    BookmarkRecord r = mark(QString(70, QChar(u'Ж')), 12.5f);
    const QByteArray b = r.encode();
    ASSERT_EQ(b.size(), 72);
    EXPECT_EQ(b.left(58), QByteArray(58, char(0xC6))) << "cut to 58 characters, one byte each";
    EXPECT_EQ(b[58], 1);
    EXPECT_EQ(b[59], 0);
    const BookmarkRecord back = BookmarkRecord::decode(b.constData());
    EXPECT_EQ(back.left, 12.5f);
    EXPECT_EQ(back.top, 25.f);
    EXPECT_EQ(back.width, 1000.f);

    const BookmarkRecord shortName = BookmarkRecord::decode(mark("Дом", 0).encode().constData());
    EXPECT_EQ(shortName.name, QString("Дом") + QString(55, ' ')) << "padded with blanks, kept so";
}

TEST(BookmarkFile, AddListDeleteAndAppendAfterTheGap) {
    QTemporaryDir dir;
    const QString path = bookmarkFilePath(dir.path(), QString());
    EXPECT_TRUE(path.endsWith("/bookmark"));
    EXPECT_TRUE(names(path).isEmpty()) << "a missing file is an empty list";

    qint64 n = 0;
    ASSERT_TRUE(appendBookmark(path, mark("Центр", 1), &n));
    EXPECT_EQ(n, 1);
    ASSERT_TRUE(appendBookmark(path, mark("", 2), &n)) << "an empty name is stored like any";
    ASSERT_TRUE(appendBookmark(path, mark("Вокзал", 3), &n));
    EXPECT_EQ(n, 3);
    EXPECT_EQ(names(path), QStringList({"1:Центр", "2:", "3:Вокзал"}));

    BookmarkList list;
    ASSERT_TRUE(listBookmarks(path, list));
    EXPECT_EQ(list.entries[0].name.size(), 58) << "the list shows the blanks";

    const QByteArray before = fileBytes(path);
    ASSERT_TRUE(deleteBookmark(path, 2));
    const QByteArray after = fileBytes(path);
    ASSERT_EQ(after.size(), before.size()) << "deleted records stay where they are";
    for (int i = 0; i < after.size(); ++i) {
        if (i == 72 + 58) continue;
        EXPECT_EQ(after[i], before[i]) << "byte " << i;
    }
    EXPECT_EQ(after[72 + 58], 0);
    EXPECT_EQ(names(path), QStringList({"1:Центр", "3:Вокзал"}));

    ASSERT_TRUE(appendBookmark(path, mark("Парк", 4), &n));
    EXPECT_EQ(n, 4) << "appended after the gap, never into it";
    EXPECT_EQ(names(path), QStringList({"1:Центр", "3:Вокзал", "4:Парк"}));

    BookmarkRecord r;
    ASSERT_TRUE(readBookmark(path, 4, r));
    EXPECT_EQ(r.left, 4.f);
    EXPECT_FALSE(readBookmark(path, 5, r));
    EXPECT_FALSE(readBookmark(path, 0, r));
    EXPECT_FALSE(deleteBookmark(path, 9));
}

TEST(BookmarkFile, TrailingPartRecordEndsTheListAndIsReplacedByTheNext) {
    QTemporaryDir dir;
    const QString path = bookmarkFilePath(dir.path(), "bookmark");
    const QByteArray two = mark("Один", 1).encode() + mark("Два", 2).encode();
    writeBytes(path, two + QByteArray(30, 'x'));

    BookmarkList list;
    ASSERT_TRUE(listBookmarks(path, list));
    EXPECT_EQ(list.entries.size(), 2u);
    EXPECT_EQ(list.wholeRecords, 2);
    EXPECT_EQ(list.trailingBytes, 30);

    qint64 n = 0;
    ASSERT_TRUE(appendBookmark(path, mark("Три", 3), &n));
    EXPECT_EQ(n, 3);
    const QByteArray after = fileBytes(path);
    EXPECT_EQ(after.size(), 3 * 72) << "the file is whole records again";
    EXPECT_EQ(after.left(144), two) << "the whole records are untouched";
    EXPECT_EQ(names(path), QStringList({"1:Один", "2:Два", "3:Три"}));
}

TEST(BookmarkFile, AFolderThatCannotBeWrittenLosesNothing) {
    QTemporaryDir dir;
    // A plain file where the folder should be: nothing can be created below it.
    const QString blocker = dir.filePath("prog");
    writeBytes(blocker, "x");
    QString error;
    EXPECT_FALSE(
        appendBookmark(bookmarkFilePath(blocker, QString()), mark("A", 1), nullptr, &error));
    EXPECT_FALSE(error.isEmpty());

    // A bookmark path that is a folder cannot be read or replaced; the
    // failure is reported and the folder stays.
    const QString folderPath = dir.filePath("bookmark");
    ASSERT_TRUE(QDir().mkpath(folderPath));
    EXPECT_FALSE(appendBookmark(folderPath, mark("A", 1), nullptr, &error));
    EXPECT_TRUE(QFileInfo(folderPath).isDir());
}

TEST(BookmarkFile, DamagedValuesAreNotShown) {
    BookmarkRecord r = mark("x", 1);
    EXPECT_TRUE(bookmarkUsable(r));
    r.width = 0;
    EXPECT_FALSE(bookmarkUsable(r));
    r.width = std::numeric_limits<float>::quiet_NaN();
    EXPECT_FALSE(bookmarkUsable(r));
    r.width = 100;
    r.left = std::numeric_limits<float>::infinity();
    EXPECT_FALSE(bookmarkUsable(r));
}

TEST(BookmarkFile, ShownViewTakesTheHeightFromTheMapBox) {
    ViewState v;
    applyBookmark(mark("x", 10), v, 404, 304);
    EXPECT_EQ(v.viewLeft, 10.f);
    EXPECT_EQ(v.viewTop, 20.f);
    EXPECT_EQ(v.viewWidth, 1000.f);
    EXPECT_FLOAT_EQ(v.viewHeight, 750.f);
}
