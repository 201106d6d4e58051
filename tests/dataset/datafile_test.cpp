#include "dataset/datafile.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <limits>
#include <memory>

#include "../support/smalltmpfs.h"
#include "dataset/binary.h"
#include "dataset/fileproblems.h"
#include "dataset/filetarget.h"

using namespace urbica;

namespace {

QString writeBytes(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes) {
    QString path = dir.filePath(name);
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    return path;
}

}  // namespace

TEST(RecordFile, RefusesRecordsOutsideTheFile) {
    QTemporaryDir dir;
    // Two whole 4-byte records and a 3-byte tail that is no record.
    QString path = writeBytes(dir, "r.bin", QByteArray("AAAABBBBccc"));
    RecordFile f(path, 4);
    ASSERT_TRUE(f.isOpen());
    EXPECT_EQ(f.recordCount(), 2);
    char buf[4];
    EXPECT_FALSE(f.read(0, buf));
    EXPECT_FALSE(f.read(-1, buf));
    EXPECT_FALSE(f.read(3, buf)) << "the partial tail must not read as a record";
    EXPECT_FALSE(f.read(std::numeric_limits<qint64>::max() / 2, buf));
    ASSERT_TRUE(f.read(2, buf));
    EXPECT_EQ(QByteArray(buf, 4), QByteArray("BBBB"));

    QByteArray out;
    EXPECT_TRUE(f.readRange(1, 2, out));
    EXPECT_EQ(out, QByteArray("AAAABBBB"));
    EXPECT_FALSE(f.readRange(2, 2, out));
    EXPECT_FALSE(f.readRange(0, 1, out));
    EXPECT_FALSE(f.readRange(1, -1, out));
    EXPECT_FALSE(f.readRange(std::numeric_limits<qint64>::max(), 1, out));
    EXPECT_TRUE(f.readRange(3, 0, out)) << "an empty range just after the end is fine";
}

TEST(DataFile, ShortAndOutOfRangeReadsFail) {
    QTemporaryDir dir;
    QString path = writeBytes(dir, "d.bin", QByteArray("0123456789"));
    DataFile f(path);
    ASSERT_TRUE(f.isOpen());
    EXPECT_EQ(f.size(), 10);
    char buf[16];
    EXPECT_TRUE(f.readAt(6, buf, 4));
    EXPECT_EQ(QByteArray(buf, 4), QByteArray("6789"));
    EXPECT_FALSE(f.readAt(7, buf, 4));
    EXPECT_FALSE(f.readAt(-1, buf, 2));
    EXPECT_FALSE(f.readAt(2, buf, -2));
    EXPECT_FALSE(f.readAt(std::numeric_limits<qint64>::max(), buf, 2));
    QByteArray big;
    EXPECT_FALSE(f.readAt(0, std::numeric_limits<qint64>::max(), big))
        << "a huge length from a damaged record must not allocate";

    DataFile missing(dir.filePath("none.bin"));
    EXPECT_FALSE(missing.isOpen());
    EXPECT_FALSE(missing.readAt(0, buf, 1));
    RecordFile missingRecords(dir.filePath("none.bin"), 6);
    EXPECT_EQ(missingRecords.recordCount(), 0);
    EXPECT_FALSE(missingRecords.read(1, buf));
}

// A mapped file cut by another program: the read past its new end fails
// (no SIGBUS), and the cache reads the file again at its next pass.
TEST(DataFile, AFileCutUnderItsMappingFailsTheReadAndIsReadAgain) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("cut.xy4"));
    const QByteArray whole(64 * 1024, 'x');
    char buf[16];
    for (const bool cached : {true, false}) {
        SCOPED_TRACE(cached ? "cached" : "own mapping");
        ASSERT_TRUE(writeFileAtomically(path, whole));
        FileCache cache;
        std::unique_ptr<FileCache::Pass> pass(new FileCache::Pass(&cache));
        DataFile f(path, cached ? &cache : nullptr);
        // Enough reads for a file of its own to be mapped.
        for (int i = 0; i < 20; ++i) ASSERT_TRUE(f.readAt(60000, buf, sizeof buf));
        ASSERT_TRUE(QFile::resize(path, 100));
        EXPECT_FALSE(f.readAt(60000, buf, sizeof buf));
        EXPECT_TRUE(f.readAt(0, buf, sizeof buf)) << "what is still there reads";
        if (cached) {
            // Within the pass the cut bytes stay what the cache has; after it,
            // the file as it is now.
            EXPECT_FALSE(DataFile(path, &cache).readAt(60000, buf, sizeof buf));
            pass.reset();
            DataFile again(path, &cache);
            EXPECT_EQ(again.size(), 100);
            EXPECT_TRUE(again.readAt(84, buf, sizeof buf));
        }
    }
}

TEST(DataFile, AtomicWriteReplacesWholeFile) {
    QTemporaryDir dir;
    QString path = writeBytes(dir, "t.bin", QByteArray(100, 'x'));
    ASSERT_TRUE(writeFileAtomically(path, QByteArray("short")));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("short"));

    QString error;
    EXPECT_FALSE(writeFileAtomically(dir.filePath("no/such/dir/t.bin"), "x", &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST(DataFile, AtomicWriteOnAFullDiskFailsAndKeepsTheOldFile) {
    urbica::testing::SmallTmpfs disk;
    if (!disk.mount("64k")) GTEST_SKIP() << "no right to mount a tmpfs here";
    const QString path = disk.filePath(QStringLiteral("urbica.cfg"));
    ASSERT_TRUE(writeFileAtomically(path, QByteArray("old settings")));
    disk.fill();
    // Small enough to sit in the write buffer, and big ones written at once.
    for (int size : {12, 100000}) {
        QString error;
        EXPECT_FALSE(writeFileAtomically(path, QByteArray(size, 'n'), &error)) << size;
        EXPECT_FALSE(error.isEmpty());
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_EQ(f.readAll(), QByteArray("old settings")) << size;
    }
    EXPECT_EQ(disk.entries(),
              (QStringList{QStringLiteral("filler"), QStringLiteral("urbica.cfg")}));
}

TEST(StoredPaths, BackslashIsThePlatformSeparator) {
    EXPECT_EQ(platformPath("icons\\ic16") + "7.msk", dataFilePath("icons\\", "ic167.msk"));
#ifndef Q_OS_WIN
    EXPECT_EQ(platformPath("icons\\ic16"), QString("icons/ic16"));
    EXPECT_EQ(dataFilePath("/data/city/", "urbica.dat"), QString("/data/city/urbica.dat"));
#endif
    // A directory without its separator runs on into the file name.
    EXPECT_EQ(dataFilePath("/data/city", "urbica.dat"), QString("/data/cityurbica.dat"));
}

TEST(Cp1251, RoundTripAndFields) {
    const QString text = QString::fromUtf8("Улица Ёлкина, дом №5 ё");
    QByteArray raw = toCp1251(text);
    EXPECT_EQ(raw.size(), text.size());
    EXPECT_EQ(uint8_t(raw[0]), 0xD3);  // У
    EXPECT_EQ(uint8_t(raw[6]), 0xA8);  // Ё
    EXPECT_EQ(fromCp1251(raw.constData(), int(raw.size())), text);

    char field[8];
    putText(field, 8, QString::fromUtf8("Дом"));
    EXPECT_EQ(getText(field, 8), QString::fromUtf8("Дом     "));
    putText(field, 8, QString::fromUtf8("Проспект Мира"));
    EXPECT_EQ(getText(field, 8), QString::fromUtf8("Проспект"));

    EXPECT_EQ(upperCp1251(QString::fromUtf8("ёлка Street")), QString::fromUtf8("ЁЛКА STREET"));
}

TEST(LittleEndian, SignedAndUnsignedFields) {
    char b[4];
    putI16(b, -2);
    EXPECT_EQ(uint8_t(b[0]), 0xFE);
    EXPECT_EQ(uint8_t(b[1]), 0xFF);
    EXPECT_EQ(getI16(b), -2);
    EXPECT_EQ(getU16(b), 65534);
    putI32(b, 0x01020304);
    EXPECT_EQ(uint8_t(b[0]), 0x04);
    EXPECT_EQ(getI32(b), 0x01020304);
    putF32(b, -1.5f);
    EXPECT_EQ(getF32(b), -1.5f);
}

// A damaged file is named once; again only when it has changed and is still
// damaged, or when the city is opened anew. Record numbers out of range are
// named whatever their sign.
TEST(DatasetProblems, EachDamagedFileIsNamedOnceUntilItChanges) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("x.cls"));
    ASSERT_TRUE(writeFileAtomically(path, QByteArray(25, ' ')));
    DatasetProblems problems;
    for (int i = 0; i < 3; ++i) problems.check(path, 10);
    problems.check(dir.filePath(QStringLiteral("whole.cls")), 0);  // missing
    QStringList named = problems.take();
    ASSERT_EQ(named.size(), 2);
    EXPECT_TRUE(named[0].contains(QStringLiteral("x.cls")) && named[0].contains(u"25"));
    EXPECT_TRUE(named[1].contains(QStringLiteral("whole.cls")));
    problems.check(path, 10);
    EXPECT_TRUE(problems.take().isEmpty());
    ASSERT_TRUE(writeFileAtomically(path, QByteArray(27, ' ')));  // changed, still damaged
    problems.check(path, 10);
    EXPECT_EQ(problems.take().size(), 1);

    ASSERT_TRUE(writeFileAtomically(path, QByteArray(20, ' ')));  // whole, two records
    problems.check(path, 10, 2);
    problems.check(path, 10, 1);
    EXPECT_TRUE(problems.take().isEmpty()) << "a whole file holding the record is no problem";
    for (int64_t n : {int64_t(3), int64_t(-1), int64_t(1) << 40}) {
        problems.clear();
        problems.check(path, 10, n);
        named = problems.take();
        ASSERT_EQ(named.size(), 1) << n;
        EXPECT_TRUE(named[0].contains(QString::number(n))) << named[0].toStdString();
    }
}

TEST(BackgroundFileWriter, WritesEveryFileAndReportsTheFirstFailure) {
    QTemporaryDir dir;
    {
        // Files larger than the waiting limit, and many of them: all written whole.
        BackgroundFileWriter writer(1000);
        const FileTarget out(dir.path(), &writer);
        for (int i = 0; i < 20; ++i)
            ASSERT_TRUE(
                out.put(QString("f%1").arg(i), QByteArray(3000 + i, char('a' + i)), nullptr));
        QString error;
        ASSERT_TRUE(writer.finish(&error)) << error.toStdString();
        for (int i = 0; i < 20; ++i) {
            QFile f(dir.filePath(QString("f%1").arg(i)));
            ASSERT_TRUE(f.open(QIODevice::ReadOnly));
            EXPECT_EQ(f.readAll(), QByteArray(3000 + i, char('a' + i)));
        }
    }
    // A write that fails is reported by finish and refuses the files after it.
    BackgroundFileWriter writer;
    const FileTarget out(dir.filePath("no/such/dir"), &writer);
    QString first, later;
    out.put("a.bin", "x", nullptr);
    EXPECT_FALSE(writer.finish(&first));
    EXPECT_TRUE(first.contains("a.bin")) << first.toStdString();
    EXPECT_FALSE(FileTarget(dir.path(), &writer).put("b.bin", "y", &later));
    EXPECT_EQ(later, first);
    EXPECT_FALSE(QFile::exists(dir.filePath("b.bin")));
}
