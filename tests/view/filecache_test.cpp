// The file cache must not change a single result: the same views, picks and
// searches give the same pictures and lists byte for byte with the cache
// filling, with it filled, and with it off. Writing the tables empties it.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "dataset/listmodel.h"
#include "dataset/names.h"
#include "democity.h"
#include "view/locate.h"
#include "view/pick.h"
#include "view/redraw.h"

using namespace urbica;

namespace {

// Everything one run produces, in a form that compares byte for byte.
struct Outcome {
    std::vector<QImage> pictures;
    QStringList texts;  // list entries, picks and info lines, in order

    bool operator==(const Outcome& o) const { return pictures == o.pictures && texts == o.texts; }
};

class FileCacheTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir_ = new QTemporaryDir;
        democity::Options o;
        o.scale = 2;  // more than one house class and dense enough for every label mode
        QString error;
        ASSERT_TRUE(writeDataset(democity::buildCity(o), dir_->path(), &error))
            << error.toStdString();
    }
    static void TearDownTestSuite() {
        delete dir_;
        dir_ = nullptr;
    }

    void SetUp() override {
        s.settings.dataDirectory = dir_->path() + "/";
        s.programDirectory = dir_->path();
        ASSERT_TRUE(readCatalogue(s.settings, s.catalogue, s.tables));
        readIconTable(s.settings.dataDirectory, s.tables);
        for (PictureBox* b : {&boxes.map, &boxes.hidepage, &boxes.originalpage})
            b->resize(644, 484);
        boxes.map.backColor = s.settings.mapBackColor;
        boxes.nav.resize(204, 204);
        hooks.showObjectName = [this](const QString& t) { info << t; };
    }

    void show(double left, double top, double width, Outcome& run) {
        s.view.viewLeft = float(left);
        s.view.viewTop = float(top);
        s.view.viewWidth = float(width);
        redrawView(s, boxes, hooks, false);
        run.pictures.push_back(boxes.map.image().copy());
    }

    void list(const ListModel& l, Outcome& run) {
        run.texts << QString::number(l.count());
        for (int i = 0; i < l.count(); ++i)
            run.texts << l.text(i) + QLatin1Char('|') + QString::number(l.itemData(i));
    }

    Outcome everything() {
        Outcome run;
        info.clear();
        buildOverview(s, boxes, hooks);
        run.pictures.push_back(boxes.nav.image().copy());
        const double cx = s.catalogue.startX + s.catalogue.startWidth / 2.0;
        const double cy = s.catalogue.startY + s.catalogue.startWidth / 3.0;
        show(s.catalogue.startX, s.catalogue.startY, s.catalogue.startWidth, run);
        // Closer and closer around the centre: other grid levels, labels, icons.
        for (double w : {12000.0, 3000.0, 900.0, 300.0}) {
            show(cx - w / 2, cy - w / 3, w, run);
            for (int i = 0; i < 12; ++i) {
                const PickResult p =
                    pickAt(s, boxes, hooks, cx - w / 2 + w * i / 12.0, cy - w / 3 + w * i / 18.0);
                run.texts << QStringLiteral("%1 %2 %3").arg(p.found).arg(p.layer).arg(
                    p.objectNumber);
            }
            run.pictures.push_back(boxes.map.image().copy());
        }
        const NameContext ctx = s.names();
        std::vector<int> classes;
        for (int c = 1; c <= s.tables.classCount(); ++c) classes.push_back(c);
        for (const char* text : {"ул", "1", "ё", "Е", "парк", "нет такого"}) {
            ListModel found;
            findByText(ctx, QString::fromUtf8(text), found, classes);
            list(found, run);
            ListModel words;
            findByText(ctx, QString::fromUtf8(text), words, classes, nullptr, nullptr,
                       TextMatch::WordStart);
            list(words, run);
        }
        ListModel streets;
        fillStreetList(ctx, streets);
        list(streets, run);
        for (int c = 1; c <= s.tables.classCount(); ++c) {
            ListModel findList, nosortList;
            fillClassList(ctx, findList, c, nosortList);
            list(findList, run);
            list(nosortList, run);
            for (int32_t n : {1, 2, 7, 100})
                run.texts << objectName(ctx, c, n, true) << objectName(ctx, c, n, false);
        }
        for (int32_t n : {1, 5, 40}) {
            showNamedObject(s, boxes, hooks, democity::kStreetClass, n);
            run.pictures.push_back(boxes.map.image().copy());
        }
        nearestMetro(s, boxes, hooks, democity::kStationClass);
        run.pictures.push_back(boxes.map.image().copy());
        run.texts << info;
        return run;
    }

    static QTemporaryDir* dir_;
    AppState s;
    MapBoxes boxes;
    ViewHooks hooks;
    QStringList info;
};

QTemporaryDir* FileCacheTest::dir_ = nullptr;

}  // namespace

TEST_F(FileCacheTest, SameResultsFillingFilledAndOff) {
    ASSERT_TRUE(s.files.enabled());
    const Outcome filling = everything();
    EXPECT_GT(s.files.fileCount(), 20);
    const Outcome filled = everything();
    s.files.setEnabled(false);
    EXPECT_EQ(s.files.fileCount(), 0);
    const Outcome off = everything();
    EXPECT_EQ(s.files.fileCount(), 0);

    ASSERT_EQ(filling.pictures.size(), off.pictures.size());
    for (size_t i = 0; i < off.pictures.size(); ++i) {
        EXPECT_TRUE(filling.pictures[i] == off.pictures[i]) << "picture " << i;
        EXPECT_TRUE(filled.pictures[i] == off.pictures[i]) << "picture " << i;
    }
    EXPECT_EQ(filling.texts, off.texts);
    EXPECT_EQ(filled.texts, off.texts);
    // The run is not trivially empty.
    EXPECT_GT(off.texts.size(), 1000);
}

TEST_F(FileCacheTest, WritingTheTablesEmptiesIt) {
    everything();
    ASSERT_GT(s.files.fileCount(), 0);
    ASSERT_TRUE(saveTables(s.settings, s.tables, nullptr, &s.files));
    EXPECT_EQ(s.files.fileCount(), 0);
}

TEST_F(FileCacheTest, ReplacedFileIsReadAgain) {
    const QString path = dir_->path() + "/scratch.bin";
    ASSERT_TRUE(writeFileAtomically(path, QByteArray("abcd")));
    FileCache cache;
    QByteArray got;
    ASSERT_TRUE(DataFile(path, &cache).readAll(got));
    EXPECT_EQ(got, "abcd");
    {
        // Within one pass the file is looked at once.
        const FileCache::Pass pass(&cache);
        ASSERT_TRUE(DataFile(path, &cache).readAll(got));
        ASSERT_TRUE(writeFileAtomically(path, QByteArray("xyz")));
        ASSERT_TRUE(DataFile(path, &cache).readAll(got));
        EXPECT_EQ(got, "abcd");
    }
    // The next use sees the new file.
    ASSERT_TRUE(DataFile(path, &cache).readAll(got));
    EXPECT_EQ(got, "xyz");
    {
        const FileCache::Pass pass(&cache);
        ASSERT_TRUE(writeFileAtomically(path, QByteArray("pqrs")));
        ASSERT_TRUE(DataFile(path, &cache).readAll(got));
        EXPECT_EQ(got, "pqrs") << "a new pass looks again";
    }
    // A file that cannot be read is not remembered as missing.
    const QString later = dir_->path() + "/later.bin";
    EXPECT_FALSE(DataFile(later, &cache).isOpen());
    ASSERT_TRUE(writeFileAtomically(later, QByteArray("1")));
    EXPECT_TRUE(DataFile(later, &cache).isOpen());
    // An empty file is open and empty.
    ASSERT_TRUE(writeFileAtomically(path, QByteArray()));
    cache.invalidate(path);
    DataFile empty(path, &cache);
    EXPECT_TRUE(empty.isOpen());
    EXPECT_EQ(empty.size(), 0);
    char c;
    EXPECT_FALSE(empty.readAt(0, &c, 1));
}

TEST_F(FileCacheTest, FileCutShortByAnotherProgramIsReadAgain) {
    const QString path = dir_->path() + "/cut.bin";
    ASSERT_TRUE(writeFileAtomically(path, QByteArray(65536, 'a')));
    FileCache cache;
    {
        DataFile f(path, &cache);
        ASSERT_EQ(f.size(), 65536);
    }
    // Cut in place, as another program might: the kept mapping now runs past
    // the end of the file, and reading it there would stop the program.
    QFile cut(path);
    ASSERT_TRUE(cut.resize(10));
    DataFile f(path, &cache);
    EXPECT_EQ(f.size(), 10);
    char buf[16];
    EXPECT_FALSE(f.readAt(60000, buf, 16));
    EXPECT_TRUE(f.readAt(0, buf, 10));
    QFile::remove(path);
    EXPECT_FALSE(DataFile(path, &cache).isOpen());
}
