// Folders that refuse a write: a data folder, a program folder and a user's
// folder on a disk that is full or read-only. Every write of the program
// reports a message that names the file, and every file stays as it was.
// The test mounts a small tmpfs, which needs the right to mount.
#include <gtest/gtest.h>

#include "../support/smalltmpfs.h"
#include "datasetcheck.h"
#include "killstates.h"
#include "output.h"

using namespace urbica;
using namespace urbica::killtest;
using namespace urbica::testing;

namespace {

TEST(RefusingFolders, EveryWriteSaysWhyAndKeepsTheFiles) {
    for (const bool full : {true, false}) {
        SCOPED_TRACE(full ? "full" : "read-only");
        SmallTmpfs disk;
        if (!disk.mount("8m")) GTEST_SKIP() << "no right to mount a tmpfs here";
        // The data folder, the program folder and a user's folder.
        const QString data = disk.filePath(QStringLiteral("city"));
        const QString program = disk.filePath(QStringLiteral("program"));
        const QString user = disk.filePath(QStringLiteral("user"));
        ASSERT_TRUE(writeDataset(datasetState(0), data));
        for (const QString& folder : {program, user}) {
            ASSERT_TRUE(QDir().mkpath(folder));
            ASSERT_TRUE(writeSettings(settingsState(0, data), folder));
            ASSERT_TRUE(appendBookmark(folder + QStringLiteral("/bookmark"), bookmarkState(1)));
        }
        const auto before = folder(disk.path());
        if (full)
            disk.fill();
        else
            ASSERT_TRUE(disk.remountReadOnly());

        auto refused = [](bool ok, const QString& error, const QString& file) {
            EXPECT_FALSE(ok);
            EXPECT_TRUE(error.contains(file)) << error.toStdString();
        };
        QString error;
        for (const QString& folder : {program, user}) {
            refused(writeSettings(settingsState(1, data), folder, &error), error,
                    QStringLiteral("urbica.cfg"));
            const QString bookmarks = folder + QStringLiteral("/bookmark");
            refused(appendBookmark(bookmarks, bookmarkState(2), nullptr, &error), error,
                    QStringLiteral("bookmark"));
            refused(deleteBookmark(bookmarks, 1, &error), error, QStringLiteral("bookmark"));
        }
        Settings at;
        at.dataDirectory = data + QDir::separator();
        Catalogue catalogue;
        Tables tables;
        ASSERT_TRUE(readCatalogue(at, catalogue, tables));
        refused(saveTables(at, tablesState(1, tables), &error), error, QStringLiteral("urbica"));
        EXPECT_FALSE(osmimport::writeDatasetSafely(datasetState(1), data, &error));
        EXPECT_FALSE(error.isEmpty());

        auto after = folder(disk.path());
        after.erase(QStringLiteral("filler"));
        EXPECT_EQ(after, before);
        opensAndDraws(data);
    }
}

}  // namespace
