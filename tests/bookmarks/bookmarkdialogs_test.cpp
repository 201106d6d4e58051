#include "bookmarks/bookmarkdialogs.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

using namespace urbica;

namespace {

// Runs f on the modal dialog once it is up.
template <class Dialog, class F>
void whenShown(F f) {
    QTimer::singleShot(0, [f] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* d = qobject_cast<Dialog*>(w); d && d->isVisible()) {
                f(d);
                return;
            }
    });
}

ViewState viewAt(float left) {
    ViewState v;
    v.viewLeft = left;
    v.viewTop = 50;
    v.viewWidth = 2000;
    return v;
}

}  // namespace

TEST(AddBookmark, StoresTheNamedViewOrNothingOnCancel) {
    QTemporaryDir dir;
    const QString path = bookmarkFilePath(dir.path(), QString());
    QStringList messages;
    auto message = [&](const QString& t) { messages << t; };

    whenShown<InputStringDialog>([](InputStringDialog* d) {
        EXPECT_EQ(d->windowTitle(), "Добавление новой закладки");
        EXPECT_EQ(d->capt->text(), "Под каким именем записать?");
        d->inptext->setText("Набережная");
        d->cancelkey->click();
    });
    EXPECT_FALSE(addBookmarkCommand(nullptr, path, viewAt(100), message));
    EXPECT_FALSE(QFile::exists(path));

    whenShown<InputStringDialog>([](InputStringDialog* d) {
        d->inptext->setText("Набережная");
        Q_EMIT d->inptext->returnPressed();  // Enter in the line accepts it
    });
    EXPECT_TRUE(addBookmarkCommand(nullptr, path, viewAt(100), message));
    BookmarkRecord r;
    ASSERT_TRUE(readBookmark(path, 1, r));
    EXPECT_EQ(r.name.trimmed(), "Набережная");
    EXPECT_EQ(r.left, 100.f);
    EXPECT_EQ(r.width, 2000.f);
    EXPECT_TRUE(messages.isEmpty());
}

TEST(AddBookmark, AFailedWriteIsReported) {
    QTemporaryDir dir;
    QFile blocker(dir.filePath("prog"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    QStringList messages;
    whenShown<InputStringDialog>([](InputStringDialog* d) { d->okkey->click(); });
    EXPECT_FALSE(addBookmarkCommand(nullptr, bookmarkFilePath(dir.filePath("prog"), QString()),
                                    viewAt(1), [&](const QString& t) { messages << t; }));
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].startsWith("Закладки не записаны"));
}

TEST(BookmarkList, ShowsDeletesAndPicks) {
    QTemporaryDir dir;
    const QString path = bookmarkFilePath(dir.path(), QString());
    for (int i = 1; i <= 3; ++i)
        ASSERT_TRUE(appendBookmark(path, bookmarkOfView(QString("Место %1").arg(i), viewAt(i))));
    QStringList messages;
    BookmarkListDialog d(path, [&](const QString& t) { messages << t; });
    d.load();
    ASSERT_EQ(d.booklist->count(), 3);
    EXPECT_EQ(d.booklist->item(0)->text().size(), 58);
    EXPECT_EQ(d.booklist->currentRow(), 0) << "the first is selected";

    d.booklist->setCurrentRow(1);
    d.delkey->click();
    ASSERT_EQ(d.booklist->count(), 2);
    EXPECT_EQ(d.booklist->item(1)->data(Qt::UserRole).toLongLong(), 3);
    EXPECT_EQ(d.booklist->currentRow(), 0);
    BookmarkRecord r;
    ASSERT_TRUE(readBookmark(path, 2, r));
    EXPECT_EQ(r.kind, 0) << "deleted in the file";

    d.booklist->setCurrentRow(1);
    d.showkey->click();
    ASSERT_TRUE(d.chosen().has_value());
    EXPECT_EQ(d.chosen()->left, 3.f);
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_TRUE(messages.isEmpty());
}

TEST(BookmarkList, EmptyListAndTornFile) {
    QTemporaryDir dir;
    const QString path = bookmarkFilePath(dir.path(), QString());
    QStringList messages;
    {
        BookmarkListDialog d(path, [&](const QString& t) { messages << t; });
        d.load();
        EXPECT_EQ(d.booklist->count(), 0);
        d.showkey->click();  // nothing to show
        d.delkey->click();   // nothing to delete
        EXPECT_FALSE(d.chosen().has_value());
        EXPECT_FALSE(QFile::exists(path)) << "opening the list creates nothing";
    }
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    BookmarkRecord bad = bookmarkOfView("Испорчена", viewAt(1));
    bad.width = -5;
    f.write(bad.encode() + QByteArray(10, 'z'));
    f.close();
    BookmarkListDialog d(path, [&](const QString& t) { messages << t; });
    d.load();
    ASSERT_EQ(messages.size(), 1) << "the torn end is reported";
    EXPECT_TRUE(messages[0].contains("10 байт"));
    ASSERT_EQ(d.booklist->count(), 1);
    d.showkey->click();
    EXPECT_FALSE(d.chosen().has_value()) << "a damaged view is not shown";
    EXPECT_EQ(messages.size(), 2);
}

TEST(BookmarkList, CommandPutsThePickedViewWithTheBoxShape) {
    QTemporaryDir dir;
    const QString path = bookmarkFilePath(dir.path(), QString());
    ASSERT_TRUE(appendBookmark(path, bookmarkOfView("A", viewAt(700))));
    ViewState v = viewAt(0);
    whenShown<BookmarkListDialog>([](BookmarkListDialog* d) { d->cancelkey->click(); });
    EXPECT_FALSE(showBookmarksCommand(nullptr, path, v, 204, 104, {}));
    EXPECT_EQ(v.viewLeft, 0.f);
    whenShown<BookmarkListDialog>(
        [](BookmarkListDialog* d) { Q_EMIT d->booklist->itemDoubleClicked(d->booklist->item(0)); });
    EXPECT_TRUE(showBookmarksCommand(nullptr, path, v, 204, 104, {}));
    EXPECT_EQ(v.viewLeft, 700.f);
    EXPECT_FLOAT_EQ(v.viewHeight, 1000.f);
}
