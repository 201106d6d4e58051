// A program killed while it writes loses nothing: a child process writes
// one file (or the dataset) by the program's own routines again and again
// and is killed with SIGKILL at a random moment; after every kill each file
// is whole, the old content or the new, and the dataset opens and draws.
// URBICA_KILL_ROUNDS sets the number of kills (200 by default).
#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <map>
#include <random>

#include "datasetcheck.h"
#include "killstates.h"
#include "view/redraw.h"

using namespace urbica;
using namespace urbica::killtest;
using namespace urbica::testing;

namespace {

// A folder in memory where there is one: the writers write thousands of files.
QString scratch() {
    return QDir(QStringLiteral("/dev/shm")).exists()
               ? QStringLiteral("/dev/shm/urbica-kill-XXXXXX")
               : QDir::temp().filePath(QStringLiteral("urbica-kill-XXXXXX"));
}

int rounds() {
    bool ok = false;
    const int n = qEnvironmentVariableIntValue("URBICA_KILL_ROUNDS", &ok);
    return ok && n > 0 ? n : 200;
}

// Starts the writer, lets it write for a random time below maxMs after it
// said it began (and after it said "written" `writes` times), and kills it.
void killWhileWriting(const QStringList& args, int maxMs, std::mt19937& rng, int writes = 0) {
    QProcess p;
    p.start(QStringLiteral(KILLDRIVER_EXE), args);
    ASSERT_TRUE(p.waitForStarted(10000));
    for (int said = -1; said < writes;) {
        while (!p.canReadLine())
            ASSERT_TRUE(p.waitForReadyRead(30000)) << p.readAllStandardError().toStdString();
        const QByteArray line = p.readLine().trimmed();
        ASSERT_EQ(line, said < 0 ? "ready" : "written");
        ++said;
    }
    QThread::usleep(std::uniform_int_distribution<unsigned>(0, unsigned(maxMs) * 1000)(rng));
    ASSERT_EQ(p.state(), QProcess::Running) << "the writer stopped: " << p.exitCode();
    p.kill();
    ASSERT_TRUE(p.waitForFinished(10000));
}

TEST(KilledWhileWriting, SettingsFileAtExit) {
    QTemporaryDir dir(scratch());
    const QString path = dir.filePath(QStringLiteral("urbica.cfg"));
    const QByteArray state[2] = {settingsText(settingsState(0, dir.path())),
                                 settingsText(settingsState(1, dir.path()))};
    ASSERT_NE(state[0], state[1]);
    ASSERT_TRUE(writeSettings(settingsState(0, dir.path()), dir.path()));
    std::mt19937 rng(1);
    int seen[2] = {};
    for (int r = 0; r < rounds(); ++r) {
        killWhileWriting({QStringLiteral("settings"), dir.path()}, 20, rng);
        const QByteArray now = bytes(path);
        ASSERT_TRUE(now == state[0] || now == state[1]) << "round " << r << ": " << now.size();
        ++seen[now == state[1]];
        Settings back;
        ASSERT_TRUE(readSettings(back, dir.path()));
    }
    EXPECT_GT(seen[0] + seen[1], 0);
}

TEST(KilledWhileWriting, BookmarkAddedAndDeleted) {
    QTemporaryDir dir(scratch());
    const QString path = dir.filePath(QStringLiteral("bookmark"));
    std::mt19937 rng(2);
    for (int r = 0; r < rounds(); ++r) {
        if (r % 25 == 0) QFile::remove(path);  // the file stays small
        killWhileWriting({QStringLiteral("bookmarks"), path}, 20, rng);
        // Killed before its first bookmark after the file was removed: none yet.
        const QByteArray now = QFile::exists(path) ? bytes(path) : QByteArray();
        ASSERT_EQ(now.size() % BookmarkRecord::kRecordLength, 0) << "round " << r;
        const qint64 n = now.size() / BookmarkRecord::kRecordLength;
        // Every bookmark added was deleted again, but perhaps the last one.
        for (qint64 k = 1; k <= n; ++k) {
            BookmarkRecord expected = bookmarkState(k);
            const BookmarkRecord got =
                BookmarkRecord::decode(now.constData() + (k - 1) * BookmarkRecord::kRecordLength);
            if (k < n || got.kind == 0) expected.kind = 0;
            ASSERT_EQ(got.encode(), expected.encode()) << "round " << r << ", record " << k;
        }
        BookmarkList list;
        ASSERT_TRUE(listBookmarks(path, list));
        ASSERT_LE(list.entries.size(), 1u);
    }
}

TEST(KilledWhileWriting, TablesAfterTheLayerOrderDialog) {
    QTemporaryDir dir(scratch());
    const QString pristine = dir.filePath(QStringLiteral("pristine"));
    const QString other = dir.filePath(QStringLiteral("other"));
    const QString city = dir.filePath(QStringLiteral("city"));
    const DatasetData data = datasetState(0);
    for (const QString& d : {pristine, other, city}) ASSERT_TRUE(writeDataset(data, d));
    Settings at;
    at.dataDirectory = other + QDir::separator();
    Catalogue catalogue;
    Tables tables;
    ASSERT_TRUE(readCatalogue(at, catalogue, tables));
    ASSERT_TRUE(saveTables(at, tablesState(1, tables)));
    const auto before = folder(pristine), after = folder(other);
    ASSERT_NE(before, after);

    std::mt19937 rng(3);
    for (int r = 0; r < rounds(); ++r) {
        killWhileWriting({QStringLiteral("tables"), pristine, city}, 20, rng);
        const auto now = folder(city);
        ASSERT_EQ(now.size(), before.size()) << "round " << r;
        for (const auto& [name, content] : now)
            ASSERT_TRUE(content == before.at(name) || content == after.at(name))
                << "round " << r << ": " << name.toStdString();
        opensAndDraws(city);
    }
}

TEST(KilledWhileWriting, DatasetImportedOverTheLastOne) {
    QTemporaryDir dir(scratch());
    const QString a = dir.filePath(QStringLiteral("a"));
    const QString b = dir.filePath(QStringLiteral("b"));
    const QString city = dir.filePath(QStringLiteral("city"));
    ASSERT_TRUE(writeDataset(datasetState(0), a));
    ASSERT_TRUE(writeDataset(datasetState(1), b));
    ASSERT_TRUE(writeDataset(datasetState(0), city));
    const auto state0 = folder(a), state1 = folder(b);
    ASSERT_NE(state0, state1);

    std::mt19937 rng(4);
    int seen[2] = {};
    for (int r = 0; r < rounds(); ++r) {
        // Some kills after a write or two, so that both datasets are met at
        // any speed of the machine.
        killWhileWriting({QStringLiteral("import"), city}, 100, rng, int(rng() % 3));
        const auto now = folder(city);
        if (!(now == state0 || now == state1)) {
            for (const auto& [name, content] : now)
                if (state0.count(name) == 0 || state0.at(name) != content)
                    ADD_FAILURE() << name.toStdString() << " " << content.size();
            FAIL() << "round " << r << ": " << now.size() << " files, " << state0.size();
        }
        ++seen[now == state1];
        opensAndDraws(city);
        // What a killed writer left beside the dataset goes with the next one.
        ASSERT_LE(
            QDir(dir.path()).entryList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot).size(), 4)
            << "round " << r;
    }
    // The kills came both before and after a dataset was put in place.
    EXPECT_GT(seen[0], 0);
    EXPECT_GT(seen[1], 0);
}

}  // namespace
