// Two writers of one dataset folder at once never interleave: two imports
// started together leave one whole dataset (the one written last) and
// nothing beside it, and a writer killed while it holds the folder's lock
// blocks nobody. URBICA_TWO_WRITER_ROUNDS sets the rounds (50 by default).
#include <gtest/gtest.h>

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <atomic>
#include <set>
#include <thread>

#include "dataset/writerlock.h"
#include "datasetcheck.h"
#include "killstates.h"
#include "output.h"

using namespace urbica;
using namespace urbica::killtest;
using namespace urbica::testing;

namespace {

int rounds() {
    bool ok = false;
    const int n = qEnvironmentVariableIntValue("URBICA_TWO_WRITER_ROUNDS", &ok);
    return ok && n > 0 ? n : 50;
}

// A folder in memory where there is one: the rounds write many files.
QString scratch() {
    return QDir(QStringLiteral("/dev/shm")).exists()
               ? QStringLiteral("/dev/shm/urbica-two-XXXXXX")
               : QDir::temp().filePath(QStringLiteral("urbica-two-XXXXXX"));
}

QString osm(const char* name) { return QStringLiteral(OSM_TEST_DATA "/") + QLatin1String(name); }

QStringList entries(const QString& dir) {
    return QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
}

void copyFolder(const QString& from, const QString& to) {
    ASSERT_TRUE(QDir().mkpath(to));
    for (const QString& name : QDir(from).entryList(QDir::Files | QDir::Hidden))
        ASSERT_TRUE(QFile::copy(QDir(from).filePath(name), QDir(to).filePath(name)));
    for (const QString& name : QDir(from).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        copyFolder(QDir(from).filePath(name), QDir(to).filePath(name));
}

QProcess* startImport(const QString& input, const QString& out) {
    auto* p = new QProcess;
    p->start(QStringLiteral(IMPORT_EXE), {input, QStringLiteral("--out"), out});
    return p;
}

// The dataset the tool makes of one file.
std::map<QString, QByteArray> imported(const QString& input, const QString& dir) {
    std::unique_ptr<QProcess> p(startImport(input, dir));
    EXPECT_TRUE(p->waitForFinished(120000));
    EXPECT_EQ(p->exitCode(), 0) << p->readAllStandardError().toStdString();
    return folder(dir);
}

TEST(TwoWriters, TwoImportsIntoOneFolderLeaveOneWholeDataset) {
    QTemporaryDir refs(scratch()), work(scratch());
    const auto a = imported(osm("minsk-two-languages.osm"), refs.filePath(QStringLiteral("a")));
    const auto b = imported(osm("spb-gostiny-dvor.osm"), refs.filePath(QStringLiteral("b")));
    const QString old = refs.filePath(QStringLiteral("old"));
    ASSERT_TRUE(writeDataset(datasetState(0), old));
    ASSERT_NE(a, b);

    const QString city = work.filePath(QStringLiteral("city"));
    int last[2] = {};
    for (int r = 0; r < rounds(); ++r) {
        SCOPED_TRACE(r);
        // Every other round over a dataset, the others into a new folder.
        if (r % 2 == 0) copyFolder(old, city);
        // The small file is read much sooner: started second now and then, it
        // meets the other one's write.
        const bool smallFirst = r % 4 < 2;
        std::unique_ptr<QProcess> p1(startImport(
            osm(smallFirst ? "minsk-two-languages.osm" : "spb-gostiny-dvor.osm"), city));
        std::unique_ptr<QProcess> p2(startImport(
            osm(smallFirst ? "spb-gostiny-dvor.osm" : "minsk-two-languages.osm"), city));
        for (QProcess* p : {p1.get(), p2.get()}) {
            ASSERT_TRUE(p->waitForFinished(120000));
            EXPECT_EQ(p->exitStatus(), QProcess::NormalExit);
            EXPECT_EQ(p->exitCode(), 0) << p->readAllStandardError().toStdString();
        }
        const auto now = folder(city);
        ASSERT_TRUE(now == a || now == b) << now.size() << " files";
        ++last[now == b];
        opensAndDraws(city);
        // Nothing beside the dataset: no half-written folder, no lock file.
        ASSERT_EQ(entries(work.path()), QStringList{QStringLiteral("city")});
        if (r % 2 == 1) {
            ASSERT_TRUE(QDir(city).removeRecursively());
        }
    }
    EXPECT_GT(last[0] + last[1], 0);
}

TEST(TwoWriters, AWriterKilledHoldingTheFolderBlocksNobody) {
    QTemporaryDir work(scratch());
    const QString city = work.filePath(QStringLiteral("city"));
    ASSERT_TRUE(writeDataset(datasetState(0), city));
    const auto before = folder(city);
    QProcess holder;
    holder.start(QStringLiteral(KILLDRIVER_EXE), {QStringLiteral("lock"), city});
    ASSERT_TRUE(holder.waitForReadyRead(30000));
    ASSERT_EQ(holder.readLine().trimmed(), "ready");

    // Refused at once, or after a bounded wait told once; nothing written.
    WriterLock lock;
    QString error;
    EXPECT_FALSE(lock.acquire(city, 0, datasetBusyText(city), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("занята другим импортом"))) << error.toStdString();
    int told = 0;
    error.clear();
    EXPECT_FALSE(osmimport::writeDatasetSafely(datasetState(1), city, &error, nullptr, 300,
                                               [&] { ++told; }));
    EXPECT_EQ(told, 1);
    EXPECT_EQ(error, datasetBusyText(city));
    EXPECT_EQ(folder(city), before);

    // The kernel lets go of a killed holder's lock at once.
    holder.kill();
    ASSERT_TRUE(holder.waitForFinished(10000));
    ASSERT_TRUE(osmimport::writeDatasetSafely(datasetState(1), city, &error, nullptr, 2000))
        << error.toStdString();
    opensAndDraws(city);
    EXPECT_EQ(entries(work.path()), QStringList{QStringLiteral("city")});
}

// Two windows adding bookmarks at once keep all of them: each reads, adds
// and writes the file as one step.
TEST(TwoWriters, BookmarksAddedByTwoWindowsAtOnceAreAllKept) {
    QTemporaryDir dir(scratch());
    const QString path = dir.filePath(QStringLiteral("bookmark"));
    constexpr int kEach = 1000;
    std::atomic<int> started{0};
    auto add = [&](int from) {
        for (++started; started < 2;) std::this_thread::yield();
        for (int k = from; k < from + kEach; ++k)
            EXPECT_TRUE(appendBookmark(path, bookmarkState(k)));
    };
    std::thread other(add, 100000);
    add(1);
    other.join();
    BookmarkList list;
    ASSERT_TRUE(listBookmarks(path, list));
    std::set<QString> names;
    for (const auto& e : list.entries) names.insert(e.name.trimmed());
    EXPECT_EQ(names.size(), size_t(2 * kEach));
    EXPECT_EQ(QFile(path).size(), 2 * kEach * BookmarkRecord::kRecordLength);
    EXPECT_EQ(entries(dir.path()), QStringList{QStringLiteral("bookmark")});
}

}  // namespace
